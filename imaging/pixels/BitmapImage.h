#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "imaging/pixels/GraphicsTypes.h"

namespace mirth {

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;

// The layout header of a pixel store, as a BMP info header holds it.
struct TBitmapHeader {
    int32_t width = 0;
    int32_t height = 0;        // positive: rows stored bottom-up; negative: top-down
    uint16_t bitCount = 0;     // 0: the store has never had a layout
    uint32_t compression = kCompressionNone;
    uint32_t masks[3] = {};    // red, green, blue; meaningful with bit fields
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t colorsUsed = 0;
    uint32_t colorsImportant = 0;
};

// Bytes per row: every row is padded to a multiple of 4 bytes.
constexpr int64_t RowStride(int64_t width, int bits) { return 4 * ((width * bits + 31) / 32); }

// The largest pixel block any store may hold, so that a tiny hostile file can
// never make the program allocate gigabytes. Fuzz builds allow less: a few bytes
// declaring a large but allowed picture would otherwise cost each run seconds.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr int64_t kMaxPixelBytes = int64_t(1) << 26;
#else
constexpr int64_t kMaxPixelBytes = int64_t(1) << 30;
#endif

// The pixels of a device-form store: blue, green, red bytes like the 24-bit layout.
constexpr int kDeviceBits = 24;

// An empty byte vector with room for `bytes` without reallocating; room of a
// photograph's size comes in huge pages, as pixel blocks do, which makes filling it
// several times cheaper.
std::vector<uint8_t> RoomForBytes(size_t bytes);

// Gives a store's pixel block back the way it was taken: mapped or from the heap.
struct TPixelBlockRelease {
    size_t mappedBytes = 0;   // 0: taken from the heap
    void operator()(uint8_t* block) const;
};

// How a new store's pixels start: zeros, or whatever its block last held, for a maker
// that writes every pixel byte itself and so is spared a pass over them. Row padding
// starts zeroed either way.
enum class TPixelStart { Zeroed, Unset };

// One pixel store, shared copy-on-write between bitmaps (see TBitmap).
class TBitmapImage {
public:
    // A store for header: pixels as `start` says when the header gives any, else none.
    // EOutOfResources "Out of system resources" when the block would pass the cap.
    static std::shared_ptr<TBitmapImage> Make(const TBitmapHeader& header, bool deviceForm = false,
                                              TPixelStart start = TPixelStart::Zeroed);
    std::shared_ptr<TBitmapImage> Clone() const;

    TBitmapHeader header;
    bool deviceForm = false;   // pixels in the display's form rather than the header's
    TPalette palette;
    bool coreHeader = false;   // read from a file with the 12-byte header
    std::vector<uint8_t> savedFileBytes;

    int Bits() const { return deviceForm ? kDeviceBits : header.bitCount; }
    int32_t Width() const { return header.width; }
    int32_t Height() const { return header.height < 0 ? -header.height : header.height; }
    bool TopDown() const { return header.height < 0; }
    size_t Stride() const { return static_cast<size_t>(RowStride(header.width, Bits())); }
    bool HasPixels() const { return pixels_ != nullptr; }
    uint8_t* Pixels() { return pixels_.get(); }
    const uint8_t* Pixels() const { return pixels_.get(); }
    size_t PixelBytes() const { return pixelBytes_; }

    // Picture row y, 0 at the top, whatever the stored row order. No bounds check.
    uint8_t* Row(int32_t y) { return pixels_.get() + MemoryRowOf(y) * Stride(); }
    const uint8_t* Row(int32_t y) const { return pixels_.get() + MemoryRowOf(y) * Stride(); }

private:
    using Block = std::unique_ptr<uint8_t, TPixelBlockRelease>;
    static Block AllocateBlock(size_t bytes, bool zeroed);
    void ZeroRowPadding();
    size_t MemoryRowOf(int32_t y) const { return static_cast<size_t>(TopDown() ? y : Height() - 1 - y); }

    Block pixels_;
    size_t pixelBytes_ = 0;
};

} // namespace mirth
