#pragma once
#include <memory>

#include "imaging/jpeg/ExifOrientation.h"
#include "imaging/pixels/BitmapImage.h"

namespace mirth {

// A 24-bit store turned and mirrored as an EXIF orientation asks, so that it shows
// upright: orientations 5 to 8 swap width and height. The result is a new store.
std::shared_ptr<TBitmapImage> Upright(const TBitmapImage& stored, TExifOrientation orientation);

} // namespace mirth
