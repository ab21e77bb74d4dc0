// The stream forms of a bitmap: a BMP file, and the persisted form of a 4-byte
// length followed by that file.
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"
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
    uint8_t length[4];
    stream.ReadBuffer(length, sizeof length);
    const int64_t size = length[0] | length[1] << 8 | length[2] << 16 | int64_t(length[3]) << 24;
    if (size > stream.Remaining())
        throw EReadError("Stream read error");
    const int64_t end = stream.Position() + size;
    Load(*this, stream, size);
    stream.SetPosition(end);
}

void TBitmap::WriteData(TStream& stream)
{
    const auto size = static_cast<uint32_t>(BmpFileSize(*image_));
    const uint8_t length[4] = {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)};
    stream.WriteBuffer(length, sizeof length);
    WriteBmp(*image_, stream);
}

} // namespace mirth
