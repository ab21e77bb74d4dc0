#pragma once
// The BMP file format: reading a file into a pixel store and writing a store back.
#include <cstdint>
#include <memory>

#include "imaging/pixels/BitmapImage.h"
#include "runtime/Streams.h"

namespace mirth {

// Reads the BMP file that fills the next size bytes of stream into a new store;
// no bytes at all give an empty store. Fails with EReadError "Stream read error"
// when the headers or the colour table are cut short, and with EInvalidGraphic
// "Bitmap image is not valid" for everything else it cannot make a picture of,
// a declared picture larger than any store may be included.
// Run-length files decode into a device-form store that keeps the file's bytes.
std::shared_ptr<TBitmapImage> ReadBmp(TStream& stream, int64_t size);

// Writes image as one BMP file: its saved file bytes while it keeps them,
// nothing when it has no pixels, else its pixels in the header variant it was
// read in.
void WriteBmp(const TBitmapImage& image, TStream& stream);
// The number of bytes WriteBmp writes.
int64_t BmpFileSize(const TBitmapImage& image);

} // namespace mirth
