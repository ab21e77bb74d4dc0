#pragma once
#include <QImage>

namespace mirth {

enum TSliderPicture { spHorizontalThumb, spHorizontalRuler, spVerticalThumb, spVerticalRuler };

// The built-in pictures in a classic raised style: horizontal thumb 18 x 17 (two states of
// 9 x 17), horizontal ruler 10 x 8, vertical thumb 38 x 9 (two states of 19 x 9), vertical
// ruler 8 x 10. Their bottom-left pixel is background.
QImage DefaultSliderPicture(TSliderPicture which);

// The ruler picture stretched to `length` along the ruler: its first `edge` columns (rows,
// when vertical), then its middle repeated, the last repetition cut so that the result
// ends with its last `edge` columns.
QImage StretchRuler(const QImage& picture, int edge, int length, Qt::Orientation orientation);

// The picture with every pixel of its bottom-left pixel's colour made transparent, the
// way a bitmap's automatic transparent colour works.
QImage WithTransparentColor(const QImage& picture);

} // namespace mirth
