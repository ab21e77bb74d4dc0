#pragma once
// How the commands that compute a new picture (crop, resize, rotation, paste) hand it
// to the workspace.
#include <cstdint>
#include <memory>

#include "imaging/bitmap/Bitmap.h"

namespace mirth {

class TImage;

// A 24-bit bitmap of the size, all white, as every computed picture starts.
std::unique_ptr<TBitmap> WhiteBitmap(int32_t width, int32_t height);

// Makes a copy of `picture` the working picture of `working` and a copy of that the
// reference of `reference`, both views taking its size unless aligned to their parent.
// Both views are left without AutoSize.
void ReplaceWorkingPicture(TImage& working, TImage& reference, TBitmap& picture);

} // namespace mirth
