#include "controls/SliderPictures.h"

#include <QPainter>
#include <QPolygon>

namespace mirth {
namespace {

// The background colour of the built-in pictures, left out when they are drawn.
const QColor kKey(255, 0, 255);
const QColor kFace(192, 192, 192);
const QColor kPressedFace(160, 160, 160);
const QColor kHighlight(255, 255, 255);
const QColor kLight(223, 223, 223);
const QColor kShadow(128, 128, 128);
const QColor kDark(0, 0, 0);

QImage Blank(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kKey);
    return image;
}

// One thumb state: a body with a point towards the tick marks, outlined light above and
// to the left, dark below and to the right; pressed, the face darkens and the edges swap.
void DrawThumbState(QPainter& painter, const QPolygon& outline, int litEdges, bool pressed)
{
    painter.setBrush(pressed ? kPressedFace : kFace);
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(outline);
    const int count = outline.size();
    for (int k = 0; k < count; ++k) {
        const bool lit = k < litEdges || k == count - 1;
        painter.setPen(lit != pressed ? kHighlight : kDark);
        painter.drawLine(outline[k], outline[(k + 1) % count]);
    }
}

QImage HorizontalThumb()
{
    QImage image = Blank(18, 17);
    QPainter painter(&image);
    for (int state = 0; state < 2; ++state) {
        const int x = 9 * state;
        // Points in order, so that the first edge (top) and the last (left) are lit.
        const QPolygon outline({QPoint(x, 0), QPoint(x + 8, 0), QPoint(x + 8, 12), QPoint(x + 4, 16), QPoint(x, 12)});
        DrawThumbState(painter, outline, 1, state == 1);
    }
    return image;
}

QImage VerticalThumb()
{
    QImage image = Blank(38, 9);
    QPainter painter(&image);
    for (int state = 0; state < 2; ++state) {
        const int x = 19 * state;
        // Cut corners on the flat side keep the bottom-left pixel background.
        const QPolygon outline({QPoint(x, 1), QPoint(x + 1, 0), QPoint(x + 14, 0), QPoint(x + 18, 4),
                                QPoint(x + 14, 8), QPoint(x + 1, 8), QPoint(x, 7)});
        DrawThumbState(painter, outline, 2, state == 1);
    }
    return image;
}

// A sunken groove across the picture, with its ends closed in the first and last two columns.
QImage HorizontalRuler()
{
    QImage image = Blank(10, 8);
    QPainter painter(&image);
    painter.fillRect(1, 1, 8, 6, kHighlight);
    painter.setPen(kShadow);
    painter.drawLine(0, 1, 9, 1);
    painter.drawLine(0, 1, 0, 6);
    painter.setPen(kDark);
    painter.drawLine(1, 2, 8, 2);
    painter.drawLine(1, 2, 1, 5);
    painter.setPen(kLight);
    painter.drawLine(1, 5, 8, 5);
    painter.drawLine(8, 2, 8, 5);
    painter.setPen(kHighlight);
    painter.drawLine(0, 6, 9, 6);
    painter.drawLine(9, 1, 9, 6);
    return image;
}

QImage Transposed(const QImage& image)
{
    return image.transformed(QTransform(0, 1, 1, 0, 0, 0));
}

} // namespace

QImage DefaultSliderPicture(TSliderPicture which)
{
    switch (which) {
    case spHorizontalThumb:
        return HorizontalThumb();
    case spHorizontalRuler:
        return HorizontalRuler();
    case spVerticalThumb:
        return VerticalThumb();
    case spVerticalRuler:
        return Transposed(HorizontalRuler());
    }
    return {};
}

QImage StretchRuler(const QImage& original, int edge, int length, Qt::Orientation orientation)
{
    const QImage picture = original.convertToFormat(QImage::Format_ARGB32);
    const bool horizontal = orientation == Qt::Horizontal;
    const int pictureLength = horizontal ? picture.width() : picture.height();
    const int across = horizontal ? picture.height() : picture.width();
    if (length <= 0 || pictureLength <= 0)
        return {};
    if (2 * edge >= pictureLength)
        edge = 0;
    const int middle = pictureLength - 2 * edge;
    QImage ruler = horizontal ? QImage(length, across, QImage::Format_ARGB32) : QImage(across, length, QImage::Format_ARGB32);
    QPainter painter(&ruler);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // Copies `count` pixels along the ruler from `from` in the picture to `to` in the result.
    auto copy = [&](int from, int to, int count) {
        if (horizontal)
            painter.drawImage(QPoint(to, 0), picture, QRect(from, 0, count, across));
        else
            painter.drawImage(QPoint(0, to), picture, QRect(0, from, across, count));
    };
    for (int at = edge; at < length - edge; at += middle)
        copy(edge, at, std::min(middle, length - edge - at));
    copy(0, 0, edge);
    copy(pictureLength - edge, length - edge, edge);
    return ruler;
}

QImage WithTransparentColor(const QImage& picture)
{
    if (picture.isNull())
        return picture;
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if (row[x] == key)
                row[x] = 0;
    }
    return result;
}

} // namespace mirth
