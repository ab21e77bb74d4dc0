#include "framework/Bevel.h"

#include <QPalette>

namespace mirth {
namespace {

void DrawFrame(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    painter.setPen(topLeft);
    painter.drawLine(r.left(), r.bottom(), r.left(), r.top());
    painter.drawLine(r.left(), r.top(), r.right(), r.top());
    painter.setPen(bottomRight);
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
}

} // namespace

void DrawBevel(QPainter& painter, const QRect& bounds, TBevelCut cut)
{
    if (cut == bvNone || cut == bvSpace || bounds.isEmpty())
        return;
    const QPalette palette;
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    painter.save();
    if (cut == bvRaised)
        DrawFrame(painter, bounds, light, dark);
    else
        DrawFrame(painter, bounds, dark, light);
    painter.restore();
}

void DrawButtonFace(QPainter& painter, const QRect& bounds, bool sunken)
{
    if (bounds.isEmpty())
        return;
    const QPalette palette;
    painter.save();
    painter.fillRect(bounds, palette.color(QPalette::Button));
    if (sunken) {
        DrawFrame(painter, bounds, palette.color(QPalette::Shadow), palette.color(QPalette::Light));
        DrawFrame(painter, bounds.adjusted(1, 1, -1, -1), palette.color(QPalette::Dark), palette.color(QPalette::Midlight));
    } else {
        DrawFrame(painter, bounds, palette.color(QPalette::Light), palette.color(QPalette::Shadow));
        DrawFrame(painter, bounds.adjusted(1, 1, -1, -1), palette.color(QPalette::Midlight), palette.color(QPalette::Dark));
    }
    painter.restore();
}

} // namespace mirth
