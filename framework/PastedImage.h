#pragma once
#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <vector>

namespace mirth {

// Images that other programs offer, made into the bitmap format's BMP file of 24-bit
// pixels. Whatever the image's own depth, pixels with alpha are laid over white, as a
// transparent picture shows on a page. Nothing (an empty vector) when there is no image.

// From an encoded file (PNG, BMP, JPEG, ...): the size is read from its header first,
// so any picture a bitmap may hold decodes, beyond Qt's own smaller default limit, and
// one it may not fails with EOutOfResources "Out of system resources" before decoding.
std::vector<uint8_t> BmpFileOfEncoded(const QByteArray& encoded);

// From an image Qt has already decoded.
std::vector<uint8_t> BmpFileOf(QImage image);

} // namespace mirth
