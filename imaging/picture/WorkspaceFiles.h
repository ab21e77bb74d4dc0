#pragma once
// How the workspace reads a picture file and writes its working picture, for
// the window and the command-line tool alike.
#include <memory>
#include <string>

#include "imaging/bitmap/Bitmap.h"

namespace mirth {

class TPicture;

// Turns what a picture loaded into the working picture: a JPEG image is drawn
// into a new 24-bit bitmap (decoding it) and turned upright as its EXIF
// orientation asks, a picture read by another codec becomes a plain bitmap of its
// pixels, a bitmap of any layout is converted to 24 bits, and anything else leaves
// an empty bitmap. Decoding failures pass on.
void MakeWorkingBitmap(TPicture& picture);

// The whole load: the picture container picks the class by extension, then
// MakeWorkingBitmap. Failures pass on with the system's messages.
std::unique_ptr<TBitmap> LoadWorkingBitmap(const std::string& path);

// Saves the working picture under path, the format chosen by the name's extension
// in any letter case: ".jpg", ".jpeg", ".jpe" and ".jfif" give a baseline JPEG of
// quality 60 from 24-bit output, ".png" an 8-bit RGB PNG, ".webp" a lossy WebP of
// quality 75, any other name a 24-bit BMP. An existing file is replaced only by a
// complete new one.
void SaveWorkingBitmap(TBitmap& working, const std::string& path);

} // namespace mirth
