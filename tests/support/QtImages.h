#pragma once
// Pictures as other programs exchange them: Qt images and their encoded files.
#include <QBuffer>
#include <QImage>

#include <cstring>
#include <vector>

#include "imaging/bitmap/Bitmap.h"

namespace mirth::testing {

// An image's pixels as a 24-bit bitmap's blue-green-red rows, without padding.
inline std::vector<uint8_t> ImageBytes(const QImage& image)
{
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    std::vector<uint8_t> bytes;
    for (int y = 0; y < bgr.height(); ++y)
        bytes.insert(bytes.end(), bgr.constScanLine(y), bgr.constScanLine(y) + 3 * bgr.width());
    return bytes;
}

// A 24-bit bitmap encoded by Qt as an image file ("PNG", "BMP", ...).
inline QByteArray EncodedImage(const TBitmap& bitmap, const char* format)
{
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_BGR888);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), bitmap.ReadOnlyRow(y), 3 * size_t(image.width()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace mirth::testing
