#pragma once
// What a codec adapter and the picture layer hand each other: rows of 8-bit samples
// in blue, green, red (and alpha) order, the order our bitmaps store.
#include <cstddef>
#include <cstdint>

namespace mirth {

enum class TRasterChannels : uint8_t { Bgr, Bgra };

constexpr int BytesPerPixel(TRasterChannels channels) { return channels == TRasterChannels::Bgra ? 4 : 3; }

// Rows of a picture: row y starts at top + y * stride. The stride is negative when
// the rows lie bottom-up in memory, as in our stores.
template <typename Byte>
struct TRasterRowsOf {
    Byte* top = nullptr;
    ptrdiff_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;

    Byte* Row(int32_t y) const { return top + y * stride; }
};

using TRasterRows = TRasterRowsOf<uint8_t>;
using TRasterView = TRasterRowsOf<const uint8_t>;  // 24-bit rows a writer reads

// Where a reader puts the picture it decodes. The reader calls Begin once, with the
// size the file declares, before it allocates anything for the pixels itself; Begin
// refuses a size above the store's cap by throwing, and otherwise gives rows for
// exactly width pixels of the requested channels, zero-filled.
class TRasterTarget {
public:
    virtual ~TRasterTarget() = default;
    virtual TRasterRows Begin(int32_t width, int32_t height, TRasterChannels channels) = 0;
};

} // namespace mirth
