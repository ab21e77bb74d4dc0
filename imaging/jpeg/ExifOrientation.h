#pragma once
#include <cstddef>
#include <cstdint>

namespace mirth {

// How a camera says its picture must be turned to show upright: the EXIF
// orientation, 1 (as stored) to 8.
using TExifOrientation = int;
constexpr TExifOrientation kUprightAsStored = 1;

// The orientation tag of the first EXIF block of a JPEG stream, read from the
// markers before the first scan. Missing, damaged or out-of-range tags give
// kUprightAsStored; nothing is read past size.
TExifOrientation ExifOrientation(const uint8_t* jpeg, size_t size);

} // namespace mirth
