#pragma once
#include <memory>

#include "imaging/bitmap/Bitmap.h"

namespace mirth {

// A new bitmap holding source turned a quarter clockwise: the top edge becomes
// the right edge. The caller owns it; source is left as it was.
std::unique_ptr<TBitmap> RotateBitmapClockwise(const TBitmap& source);

// The same, turned counter-clockwise: the top edge becomes the left edge.
std::unique_ptr<TBitmap> RotateBitmapCounterClockwise(const TBitmap& source);

} // namespace mirth
