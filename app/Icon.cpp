#include "app/Icon.h"

#include <QPainter>
#include <QPainterPath>

namespace mirth {

QImage MirthlensIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    // The photograph: a sky over a green hill.
    const QRectF photo(1, 3, 30, 24);
    painter.fillRect(photo, QColor(120, 180, 235));
    QPainterPath hill;
    hill.moveTo(1, 22);
    hill.cubicTo(10, 14, 20, 26, 31, 18);
    hill.lineTo(31, 27);
    hill.lineTo(1, 27);
    painter.fillPath(hill, QColor(70, 160, 70));
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.drawRect(photo);

    // The lens: a glass disc with a bright bulge, and its handle.
    painter.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(22, 22), QPointF(29, 29));
    QRadialGradient glass(QPointF(13, 13), 10, QPointF(10, 10));
    glass.setColorAt(0, QColor(255, 255, 200, 230));
    glass.setColorAt(1, QColor(255, 200, 60, 120));
    painter.setBrush(glass);
    painter.setPen(QPen(QColor(60, 60, 60), 2));
    painter.drawEllipse(QPointF(14, 14), 9, 9);
    return image;
}

QIcon MirthlensIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(MirthlensIconImage(size)));
    return icon;
}

} // namespace mirth
