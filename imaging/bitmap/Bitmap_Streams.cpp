// The stream forms of a bitmap: a BMP file, and the persisted form of a 4-byte
// length followed by that file.
#include "imaging/bitmap/Bitmap.h"
#include "imaging/bmp/BmpCodec.h"
#include "runtime/Exceptions.h"

namespace mirth {

namespace {

// The bitmap keeps its store until the whole file has been read. Loading no
// bytes empties it silently: whoever asked for the load reports that change.
void Load(TBitmap& bitmap, TStream& stream, int64_t size)
{
    auto image = ReadBmp(stream, size);
    const bool loaded = image->HasPixels();
    bitmap.AdoptImage(std::move(image));
    if (loaded)
        bitmap.Changed();
}

} // namespace

void TBitmap::LoadStream(TStream& stream) { Load(*this, stream, stream.Remaining()); }

void TBitmap::SaveStream(TStream& stream) { WriteBmp(*image_, stream); }

void TBitmap::ReadData(TStream& stream)
{
    const int64_t size = ReadCount32(stream);
    if (size > stream.Remaining())
        throw EReadError("Stream read error");
    const int64_t end = stream.Position() + size;
    Load(*this, stream, size);
    stream.SetPosition(end);
}

void TBitmap::WriteData(TStream& stream)
{
    WriteCount32(stream, static_cast<uint32_t>(BmpFileSize(*image_)));
    WriteBmp(*image_, stream);
}

} // namespace mirth
