#include "framework/PastedImage.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/DecodedImage.h"

namespace mirth {

namespace {

// Qt refuses to decode an image above its own allocation limit (128 MB by default). For
// one read it is raised to what the image's size needs in the widest form Qt decodes
// into, 8 bytes a pixel, once a bitmap of that size has been allowed.
class AllocationLimit {
public:
    explicit AllocationLimit(QSize size) : saved_(QImageReader::allocationLimit())
    {
        const int64_t megabytes = (int64_t{size.width()} * size.height() * 8 >> 20) + 1;
        QImageReader::setAllocationLimit(static_cast<int>(std::max<int64_t>(saved_, megabytes)));
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(saved_); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    int saved_;
};

// A 24-bit bitmap of the size: the model's own cap decides what it may hold.
void SizeFor(TBitmap& bitmap, QSize size)
{
    bitmap.SetPixelLayout(pl24Bit);
    bitmap.SetWidth(size.width());
    bitmap.SetHeight(size.height());
}

// Fills a bitmap of the image's size with its pixels over white; the image is let go of
// before the BMP file is made, so that a photograph is not held three times at once.
std::vector<uint8_t> FilledBmpFile(TBitmap& bitmap, QImage image)
{
    // In memory, Qt's 32-bit ARGB pixels are blue, green, red, alpha on this platform.
    image.convertTo(QImage::Format_ARGB32);
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        ComposeOverWhite(image.constScanLine(y), bitmap.ScanRow(y), bitmap.Width());
    image = QImage();
    std::vector<uint8_t> bmpFile;
    TClipboardFormat format = 0;
    TPalette palette;
    bitmap.SaveToClipboardFormat(format, bmpFile, palette);
    return bmpFile;
}

} // namespace

std::vector<uint8_t> BmpFileOfEncoded(const QByteArray& encoded)
{
    QBuffer buffer;
    buffer.setData(encoded);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isEmpty())
        return {};
    TBitmap bitmap;
    SizeFor(bitmap, size);
    QImage image;
    {
        AllocationLimit limit(size);
        image = reader.read();
    }
    if (image.size() != size)
        return {};
    return FilledBmpFile(bitmap, std::move(image));
}

std::vector<uint8_t> BmpFileOf(QImage image)
{
    if (image.isNull())
        return {};
    TBitmap bitmap;
    SizeFor(bitmap, image.size());
    return FilledBmpFile(bitmap, std::move(image));
}

} // namespace mirth
