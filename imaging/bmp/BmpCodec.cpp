#include "imaging/bmp/BmpCodec.h"

#include <algorithm>
#include <array>
#include <vector>

#include "runtime/Exceptions.h"

namespace mirth {

namespace {

constexpr int64_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
// The shortest info header that still reaches the bit count; the fields it
// lacks read as 0.
constexpr uint32_t kShortestInfoHeader = 16;
// Longer headers have the three colour masks at bytes 40 to 51; what follows
// them (colour spaces, profiles) does not concern a picture of plain pixels.
constexpr uint32_t kHeaderBytesKept = 52;
constexpr int64_t kMaskBytes = 12;
constexpr uint32_t kMaxColors = 256;

[[noreturn]] void FailInvalid() { throw EInvalidGraphic("Bitmap image is not valid"); }
[[noreturn]] void FailRead() { throw EReadError("Stream read error"); }

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v);
    Put16(out, v >> 16);
}

// The bytes of one file at a stream's position: reading past them is a read
// error even when the stream goes on.
class FileBytes {
public:
    FileBytes(TStream& stream, int64_t size) : stream_(stream), left_(size) {}

    void Read(void* buffer, int64_t count)
    {
        if (count > left_)
            FailRead();
        stream_.ReadBuffer(buffer, count);
        left_ -= count;
    }
    void Skip(int64_t count)
    {
        if (count > left_)
            FailRead();
        stream_.Seek(count, TSeekOrigin::Current);
        left_ -= count;
    }
    int64_t Left() const { return left_; }
    TStream& Stream() { return stream_; }

private:
    TStream& stream_;
    int64_t left_;
};

// What comes before the pixels: the layout and the colour table.
struct BmpHeaders {
    TBitmapHeader header;
    bool core = false;
    TPalette colors;
};

bool IsDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// Refuses what no store can hold before anything is allocated for it.
void CheckLayout(const TBitmapHeader& h)
{
    if (!IsDepth(h.bitCount) || h.width <= 0 || h.height == 0 || h.height == INT32_MIN)
        FailInvalid();
    switch (h.compression) {
    case kCompressionNone: return;
    // Compressed rows cannot run top-down: the format has no such order.
    case kCompressionRle8: if (h.bitCount == 8 && h.height > 0) return; break;
    case kCompressionRle4: if (h.bitCount == 4 && h.height > 0) return; break;
    case kCompressionBitFields: if (h.bitCount == 16 || h.bitCount == 32) return; break;
    }
    FailInvalid();
}

TBitmapHeader CoreHeader(const uint8_t* b)
{
    TBitmapHeader h;
    h.width = Get16(b + 4);
    h.height = Get16(b + 6);
    h.bitCount = Get16(b + 10);
    return h;
}

TBitmapHeader InfoHeader(const uint8_t* b)
{
    TBitmapHeader h;
    h.width = static_cast<int32_t>(Get32(b + 4));
    h.height = static_cast<int32_t>(Get32(b + 8));
    h.bitCount = Get16(b + 14);
    h.compression = Get32(b + 16);
    h.imageSize = Get32(b + 20);
    h.xPelsPerMeter = static_cast<int32_t>(Get32(b + 24));
    h.yPelsPerMeter = static_cast<int32_t>(Get32(b + 28));
    h.colorsUsed = Get32(b + 32);
    h.colorsImportant = Get32(b + 36);
    for (int i = 0; i < 3; ++i)
        h.masks[i] = Get32(b + 40 + 4 * i);
    return h;
}

// Keeps the first 256 entries of a longer table and steps over the rest, so
// that the pixels are still found right after the whole table.
TPalette ReadColorTable(FileBytes& file, uint32_t count, int entryBytes)
{
    if (int64_t(count) * entryBytes > file.Left())
        FailRead();
    const uint32_t kept = std::min(count, kMaxColors);
    std::array<uint8_t, kMaxColors * 4> table;
    file.Read(table.data(), int64_t(kept) * entryBytes);
    file.Skip(int64_t(count - kept) * entryBytes);
    TPalette colors(kept);
    for (uint32_t i = 0; i < kept; ++i) {
        const uint8_t* e = table.data() + i * entryBytes;
        colors[i] = TColorEntry{e[0], e[1], e[2], 0};
    }
    return colors;
}

BmpHeaders ReadHeaders(FileBytes& file)
{
    uint8_t fileHeader[kFileHeaderBytes];
    file.Read(fileHeader, kFileHeaderBytes);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        FailInvalid();

    uint8_t bytes[kHeaderBytesKept] = {};
    file.Read(bytes, 4);
    const uint32_t headerBytes = Get32(bytes);
    BmpHeaders result;
    if (headerBytes == kCoreHeaderBytes) {
        file.Read(bytes + 4, kCoreHeaderBytes - 4);
        result.header = CoreHeader(bytes);
        result.core = true;
    } else {
        if (headerBytes < kShortestInfoHeader)
            FailInvalid();
        const uint32_t kept = std::min(headerBytes, kHeaderBytesKept);
        file.Read(bytes + 4, kept - 4);
        file.Skip(int64_t(headerBytes) - kept);
        result.header = InfoHeader(bytes);
    }
    TBitmapHeader& h = result.header;
    if (Get16(bytes + (result.core ? 8 : 12)) != 1)
        FailInvalid();

    // Headers up to 40 bytes have the masks after them, longer ones inside.
    const bool masked = h.compression == kCompressionBitFields && (h.bitCount == 16 || h.bitCount == 32);
    if (masked && headerBytes <= kInfoHeaderBytes) {
        uint8_t masks[kMaskBytes];
        file.Read(masks, kMaskBytes);
        for (int i = 0; i < 3; ++i)
            h.masks[i] = Get32(masks + 4 * i);
    } else if (!masked) {
        std::fill(std::begin(h.masks), std::end(h.masks), 0u);
    }
    if (h.colorsUsed == 0 && (h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8))
        h.colorsUsed = 1u << h.bitCount;
    result.colors = ReadColorTable(file, h.colorsUsed, result.core ? 3 : 4);
    h.colorsUsed = static_cast<uint32_t>(result.colors.size());
    // Only now: a file with a short colour table fails on that, however else it is wrong.
    CheckLayout(h);
    return result;
}

// Blue, green, red bytes for every index a run can name; indices past the
// file's colour table read black.
using ColorLookup = std::array<std::array<uint8_t, 3>, 256>;

ColorLookup LookupOf(const TPalette& colors)
{
    ColorLookup lookup{};
    for (size_t i = 0; i < colors.size(); ++i)
        lookup[i] = {colors[i].blue, colors[i].green, colors[i].red};
    return lookup;
}

// Decodes run-length pixels into a bottom-up device-form store, whose rows lie
// in the file's order. Pixels that runs or skips put outside the picture are
// dropped rather than wrapped; skipped pixels and everything after data that
// ends early stay black.
class RleDecoder {
public:
    RleDecoder(TBitmapImage& image, const TPalette& colors, bool fourBit)
        : image_(image), lookup_(LookupOf(colors)), fourBit_(fourBit)
    {
    }

    void Decode(const uint8_t* data, int64_t size)
    {
        int64_t at = 0;
        while (at + 2 <= size && y_ < image_.Height()) {
            const uint8_t count = data[at];
            const uint8_t value = data[at + 1];
            at += 2;
            if (count > 0) {
                Run(count, value);
            } else if (value == 0) {
                x_ = 0;
                ++y_;
            } else if (value == 1) {
                return;
            } else if (value == 2) {
                if (at + 2 > size)
                    return;
                x_ += data[at];
                y_ += data[at + 1];
                at += 2;
            } else {
                const int64_t bytes = fourBit_ ? (value + 1) / 2 : value;
                const int64_t present = std::min(bytes, size - at);
                Literal(data + at, value, present);
                at += bytes + (bytes & 1);
            }
        }
    }

private:
    // Where the next pixel goes; only asked for while it lies inside the picture.
    uint8_t* PixelAt() { return image_.Pixels() + size_t(y_) * image_.Stride() + 3 * size_t(x_); }

    // How many of the next count pixels land inside the current row.
    int64_t Visible(int64_t count) const { return std::clamp<int64_t>(image_.Width() - x_, 0, count); }

    void Put(uint8_t*& pixel, uint8_t index)
    {
        const auto& bgr = lookup_[index];
        pixel[0] = bgr[0];
        pixel[1] = bgr[1];
        pixel[2] = bgr[2];
        pixel += 3;
    }

    void Run(int count, uint8_t value)
    {
        const uint8_t first = fourBit_ ? value >> 4 : value;
        const uint8_t second = fourBit_ ? value & 0x0F : value;
        if (const int64_t n = Visible(count); n > 0) {
            uint8_t* pixel = PixelAt();
            for (int64_t i = 0; i < n; ++i)
                Put(pixel, (i & 1) ? second : first);
        }
        x_ += count;
    }

    // count pixels from bytes, of which only present bytes exist.
    void Literal(const uint8_t* bytes, int count, int64_t present)
    {
        const int64_t available = fourBit_ ? 2 * present : present;
        if (const int64_t n = std::min(Visible(count), available); n > 0) {
            uint8_t* pixel = PixelAt();
            for (int64_t i = 0; i < n; ++i)
                Put(pixel, fourBit_ ? ((i & 1) ? bytes[i / 2] & 0x0F : bytes[i / 2] >> 4) : bytes[i]);
        }
        x_ += count;
    }

    TBitmapImage& image_;
    const ColorLookup lookup_;
    const bool fourBit_;
    int64_t x_ = 0;
    int64_t y_ = 0;   // file row, 0 at the bottom
};

// The store for the file's picture. However large the file says its picture is, what
// fails is this file, not the machine: a caller catching invalid pictures catches it.
std::shared_ptr<TBitmapImage> MakeStore(const TBitmapHeader& header, bool deviceForm)
{
    try {
        return TBitmapImage::Make(header, deviceForm);
    } catch (const EOutOfResources&) {
        FailInvalid();
    }
}

// The rows go straight into the store. A short pixel block is no failure: the
// rest of the store stays zero, and a declared size beyond the store is no
// licence to write past it.
std::shared_ptr<TBitmapImage> ReadRows(FileBytes& file, const TBitmapHeader& header)
{
    auto image = MakeStore(header, false);
    const auto blockBytes = static_cast<int64_t>(image->PixelBytes());
    image->header.imageSize = static_cast<uint32_t>(blockBytes);
    const int64_t declared = header.imageSize == 0 ? blockBytes : header.imageSize;
    file.Read(image->Pixels(), std::min({declared, blockBytes, file.Left()}));
    return image;
}

std::shared_ptr<TBitmapImage> ReadRunLengths(FileBytes& file, const BmpHeaders& headers, int64_t fileSize)
{
    auto image = MakeStore(headers.header, true);
    // The file is kept whole for writing back, so the headers are read again.
    const int64_t pixelStart = fileSize - file.Left();
    std::vector<uint8_t> bytes(static_cast<size_t>(fileSize));
    file.Stream().Seek(-pixelStart, TSeekOrigin::Current);
    file.Stream().ReadBuffer(bytes.data(), fileSize);

    const int64_t declared = headers.header.imageSize;
    const int64_t present = fileSize - pixelStart;
    RleDecoder(*image, headers.colors, headers.header.compression == kCompressionRle4)
        .Decode(bytes.data() + pixelStart, declared == 0 ? present : std::min(declared, present));
    image->savedFileBytes = std::move(bytes);
    return image;
}

} // namespace

std::shared_ptr<TBitmapImage> ReadBmp(TStream& stream, int64_t size)
{
    if (size <= 0)
        return TBitmapImage::Make(TBitmapHeader{});
    FileBytes file(stream, size);
    BmpHeaders headers = ReadHeaders(file);
    const bool runLengths =
        headers.header.compression == kCompressionRle8 || headers.header.compression == kCompressionRle4;
    auto image = runLengths ? ReadRunLengths(file, headers, size) : ReadRows(file, headers.header);
    image->palette = std::move(headers.colors);
    image->coreHeader = headers.core;
    return image;
}

namespace {

// The core header holds no masks, no row order and only 16-bit sizes: a store
// it cannot describe is written with an info header rather than misdescribed.
bool FitsCoreHeader(const TBitmapImage& image)
{
    return image.coreHeader && image.Width() <= 0xFFFF && image.Height() <= 0xFFFF && !image.TopDown() &&
           (image.deviceForm || image.header.compression != kCompressionBitFields);
}

// Device-form pixels are blue, green, red bytes, so they are written as a
// 24-bit file; only bit fields survive as a compression.
struct FileLayout {
    bool core = false;
    int bits = 0;
    uint32_t compression = kCompressionNone;
    uint32_t maskBytes = 0;
    uint32_t entries = 0;
    int64_t pixelOffset = 0;
    int64_t pixelBytes = 0;
};

FileLayout FileLayoutOf(const TBitmapImage& image)
{
    FileLayout f;
    f.core = FitsCoreHeader(image);
    f.bits = image.Bits();
    if (!image.deviceForm && image.header.compression == kCompressionBitFields)
        f.compression = kCompressionBitFields;
    f.pixelBytes = static_cast<int64_t>(image.PixelBytes());
    const auto tableSize = static_cast<uint32_t>(std::min<size_t>(image.palette.size(), kMaxColors));
    if (f.core) {
        f.entries = f.bits <= 8 ? 1u << f.bits : 0;
        f.pixelOffset = kFileHeaderBytes + kCoreHeaderBytes + 3 * f.entries;
        return f;
    }
    f.maskBytes = f.compression == kCompressionBitFields ? kMaskBytes : 0;
    f.entries = tableSize;
    if (f.bits <= 8 && image.header.colorsUsed != 0)
        f.entries = std::min(f.entries, image.header.colorsUsed);
    f.pixelOffset = kFileHeaderBytes + kInfoHeaderBytes + f.maskBytes + 4 * f.entries;
    return f;
}

std::vector<uint8_t> HeadersOf(const TBitmapImage& image, const FileLayout& f)
{
    const TBitmapHeader& h = image.header;
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(f.pixelOffset));
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<uint32_t>(f.pixelOffset + f.pixelBytes));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(f.pixelOffset));
    if (f.core) {
        Put32(out, kCoreHeaderBytes);
        Put16(out, static_cast<uint16_t>(image.Width()));
        Put16(out, static_cast<uint16_t>(image.Height()));
        Put16(out, 1);
        Put16(out, static_cast<uint16_t>(f.bits));
    } else {
        Put32(out, kInfoHeaderBytes);
        Put32(out, static_cast<uint32_t>(h.width));
        Put32(out, static_cast<uint32_t>(h.height));
        Put16(out, 1);
        Put16(out, static_cast<uint16_t>(f.bits));
        Put32(out, f.compression);
        Put32(out, static_cast<uint32_t>(f.pixelBytes));
        Put32(out, static_cast<uint32_t>(h.xPelsPerMeter));
        Put32(out, static_cast<uint32_t>(h.yPelsPerMeter));
        Put32(out, f.entries > 0 ? f.entries : h.colorsUsed);
        Put32(out, h.colorsImportant);
        if (f.maskBytes > 0)
            for (uint32_t mask : h.masks)
                Put32(out, mask);
    }
    for (uint32_t i = 0; i < f.entries; ++i) {
        const TColorEntry e = i < image.palette.size() ? image.palette[i] : TColorEntry{};
        out.insert(out.end(), {e.blue, e.green, e.red});
        if (!f.core)
            out.push_back(0);
    }
    return out;
}

} // namespace

int64_t BmpFileSize(const TBitmapImage& image)
{
    if (!image.savedFileBytes.empty())
        return static_cast<int64_t>(image.savedFileBytes.size());
    if (!image.HasPixels())
        return 0;
    const FileLayout f = FileLayoutOf(image);
    return f.pixelOffset + f.pixelBytes;
}

void WriteBmp(const TBitmapImage& image, TStream& stream)
{
    if (!image.savedFileBytes.empty()) {
        stream.WriteBuffer(image.savedFileBytes.data(), static_cast<int64_t>(image.savedFileBytes.size()));
        return;
    }
    if (!image.HasPixels())
        return;
    const FileLayout f = FileLayoutOf(image);
    const std::vector<uint8_t> headers = HeadersOf(image, f);
    stream.WriteBuffer(headers.data(), static_cast<int64_t>(headers.size()));
    stream.WriteBuffer(image.Pixels(), f.pixelBytes);
}

} // namespace mirth
