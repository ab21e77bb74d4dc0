#include "framework/ImagePainting.h"

#include <cstdint>
#include <vector>

#include "imaging/bitmap/Bitmap.h"

namespace mirth {

namespace {

inline uint32_t DisplayPixel(const uint8_t* bgr)
{
    return 0xFF000000u | uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0];
}

// floor((d - start) * source / span) for every view coordinate d of [from, to).
std::vector<int32_t> SourceIndices(int from, int to, int start, int span, int32_t source)
{
    std::vector<int32_t> indices;
    indices.reserve(static_cast<size_t>(to - from));
    for (int d = from; d < to; ++d)
        indices.push_back(static_cast<int32_t>(int64_t(d - start) * source / span));
    return indices;
}

} // namespace

QImage DisplayRows(const TBitmap& bitmap, const QRect& area, const QRect& exposed)
{
    const QRect shown = exposed & area;
    QImage image(shown.size(), QImage::Format_RGB32);
    // A null image is what Qt gives when it cannot allocate the pixels: nothing is shown.
    if (image.isNull() || bitmap.Empty())
        return QImage();
    const int32_t width = bitmap.Width();
    const int32_t height = bitmap.Height();
    const bool unscaled = area.width() == width && area.height() == height;
    const std::vector<int32_t> columns =
        SourceIndices(shown.left(), shown.right() + 1, area.left(), area.width(), width);
    for (int y = shown.top(); y <= shown.bottom(); ++y) {
        const int32_t sourceRow = static_cast<int32_t>(int64_t(y - area.top()) * height / area.height());
        const uint8_t* source = bitmap.ReadOnlyRow(sourceRow);
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y - shown.top()));
        if (unscaled) {
            const uint8_t* pixel = source + 3 * columns.front();
            for (size_t k = 0; k < columns.size(); ++k, pixel += 3)
                out[k] = DisplayPixel(pixel);
        } else {
            for (size_t k = 0; k < columns.size(); ++k)
                out[k] = DisplayPixel(source + 3 * columns[k]);
        }
    }
    return image;
}

} // namespace mirth
