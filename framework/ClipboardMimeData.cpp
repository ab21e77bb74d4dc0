#include "framework/ClipboardMimeData.h"

#include <QBuffer>
#include <QImage>

#include "framework/ImagePainting.h"
#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/ClipboardFormats.h"
#include "runtime/Exceptions.h"

namespace mirth {

namespace {

const QString kBmpType = QStringLiteral("image/bmp");
const QString kPngType = QStringLiteral("image/png");
const QString kQtImageType = QStringLiteral("application/x-qt-image");

// Read with our own reader rather than Qt's, which refuses pictures above its own
// allocation limit that our bitmaps allow.
QImage ImageOfBmpFile(const std::vector<uint8_t>& bmpFile)
{
    TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(cfBitmap, bmpFile, {});  // 24-bit pixels, as the copy wrote them
    const QRect whole(0, 0, bitmap.Width(), bitmap.Height());
    return DisplayRows(bitmap, whole, whole);
}

QByteArray PngOf(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace

QStringList TClipboardMimeData::formats() const
{
    QStringList offered;
    if (!bitmap_.empty())
        offered << kBmpType << kPngType << kQtImageType;
    return offered + QMimeData::formats();
}

QVariant TClipboardMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (bitmap_.empty() || (mimeType != kBmpType && mimeType != kPngType && mimeType != kQtImageType))
        return QMimeData::retrieveData(mimeType, type);
    if (mimeType == kBmpType)
        return QByteArray(reinterpret_cast<const char*>(bitmap_.data()), qsizetype(bitmap_.size()));
    // Another program is asking from inside Qt's event handling, where no failure may
    // escape: a picture that cannot be converted is simply not handed out.
    try {
        const QImage image = ImageOfBmpFile(bitmap_);
        return mimeType == kPngType ? QVariant(PngOf(image)) : QVariant(image);
    } catch (const Exception&) {
        return {};
    }
}

} // namespace mirth
