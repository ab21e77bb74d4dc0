#pragma once
#include <QImage>
#include <QRect>

namespace mirth {

class TBitmap;

// What a 24-bit bitmap shown scaled (nearest neighbour) over `area` puts on the pixels
// of `exposed` that lie in the area, as a display image of their size. Only the pixels on
// screen are converted, so a 24-megapixel picture in a small view costs what the view
// shows. View pixel d of the area shows picture pixel
// floor((d - area.left) * pictureWidth / areaWidth), likewise for rows. A null image when
// there is nothing to show or its pixels cannot be allocated.
QImage DisplayRows(const TBitmap& bitmap, const QRect& area, const QRect& exposed);

} // namespace mirth
