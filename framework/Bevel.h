#pragma once
#include <QPainter>
#include <QRect>

namespace mirth {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// The 1-pixel 3-D frame along the inside of `bounds`: light on the top and left edges for a
// raised frame, dark there for a lowered one.
void DrawBevel(QPainter& painter, const QRect& bounds, TBevelCut cut);

// A raised (or, when `sunken`, a pressed) button face filling `bounds`, with the classic
// two-pixel edge.
void DrawButtonFace(QPainter& painter, const QRect& bounds, bool sunken);

} // namespace mirth
