#include "framework/DesktopClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QUrl>

#include <algorithm>
#include <cstring>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/ClipboardFormats.h"

namespace mirth {

namespace {

const QString kFormatPrefix = QStringLiteral("application/x-mirthlens-format-");
const QString kNamePrefix = QStringLiteral("application/x-mirthlens-name-");

// The image types other programs put on the desktop clipboard, for a platform that does
// not already turn them into Qt's image type.
const QStringList& ImageTypes()
{
    static const QStringList types{"image/png", "image/bmp", "image/jpeg"};
    return types;
}

QClipboard& Desktop() { return *QGuiApplication::clipboard(); }

bool OffersImage(const QMimeData& mime)
{
    if (mime.hasImage())
        return true;
    const QStringList offered = mime.formats();
    return std::any_of(ImageTypes().begin(), ImageTypes().end(),
                       [&](const QString& type) { return offered.contains(type); });
}

// Null when nothing offered reads as an image.
QImage ImageOf(const QMimeData& mime)
{
    if (mime.hasImage()) {
        const QImage image = qvariant_cast<QImage>(mime.imageData());
        if (!image.isNull())
            return image;
    }
    for (const QString& type : ImageTypes())
        if (mime.hasFormat(type))
            if (const QImage image = QImage::fromData(mime.data(type)); !image.isNull())
                return image;
    return {};
}

// The bitmap format's BMP file of an image's pixels; nothing for a null image.
std::vector<uint8_t> BmpFileOf(const QImage& image)
{
    std::vector<uint8_t> bmpFile;
    if (image.isNull())
        return bmpFile;
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    TBitmap bitmap;
    bitmap.SetPixelLayout(pl24Bit);
    bitmap.SetWidth(bgr.width());
    bitmap.SetHeight(bgr.height());
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        std::memcpy(bitmap.ScanRow(y), bgr.constScanLine(y), 3 * size_t(bgr.width()));
    TClipboardFormat format = 0;
    TPalette palette;
    bitmap.SaveToClipboardFormat(format, bmpFile, palette);
    return bmpFile;
}

} // namespace

void DesktopClipboardBinding::Empty()
{
    Desktop().clear();
}

void DesktopClipboardBinding::SetData(TClipboardFormat format, std::vector<uint8_t> data)
{
    TClipboardMimeData* mime = Published();
    const bool fresh = mime == nullptr;
    if (fresh)
        mime = new TClipboardMimeData;
    if (format == cfBitmap)
        mime->SetBitmap(std::move(data));
    else
        mime->setData(PrivateType(format), QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size())));
    if (fresh) {
        // Handed over complete, so that whoever hears of the change sees all of it.
        published_ = mime;
        Desktop().setMimeData(mime);
    }
}

std::vector<uint8_t> DesktopClipboardBinding::Data(TClipboardFormat format)
{
    const QMimeData* mime = Desktop().mimeData();
    if (mime == nullptr)
        return {};
    if (format != cfBitmap) {
        const QByteArray bytes = mime->data(PrivateType(format));
        return {bytes.begin(), bytes.end()};
    }
    // Our own copy pasted back needs no trip through an image.
    if (const TClipboardMimeData* ours = Published())
        return ours->Bitmap();
    return BmpFileOf(ImageOf(*mime));
}

std::vector<TClipboardFormat> DesktopClipboardBinding::OfferedFormats()
{
    std::vector<TClipboardFormat> offered;
    const QMimeData* mime = Desktop().mimeData();
    if (mime == nullptr)
        return offered;
    if (OffersImage(*mime))
        offered.push_back(cfBitmap);
    for (const QString& type : mime->formats())
        if (const std::optional<TClipboardFormat> format = FormatOfPrivateType(type))
            offered.push_back(*format);
    return offered;
}

bool DesktopClipboardBinding::Offers(TClipboardFormat format)
{
    const QMimeData* mime = Desktop().mimeData();
    if (mime == nullptr)
        return false;
    return format == cfBitmap ? OffersImage(*mime) : mime->hasFormat(PrivateType(format));
}

TClipboardFormat DesktopClipboardBinding::RegisterFormat(const std::string& name)
{
    const TClipboardFormat format = numbers_.Register(name);
    names_.emplace(format, name);
    return format;
}

QString DesktopClipboardBinding::PrivateType(TClipboardFormat format) const
{
    const auto name = names_.find(format);
    if (name == names_.end())
        return kFormatPrefix + QString::number(format);
    return kNamePrefix + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(name->second)));
}

std::optional<TClipboardFormat> DesktopClipboardBinding::FormatOfPrivateType(const QString& type)
{
    if (type.startsWith(kNamePrefix))
        return RegisterFormat(QUrl::fromPercentEncoding(type.mid(kNamePrefix.size()).toLatin1()).toStdString());
    if (!type.startsWith(kFormatPrefix))
        return std::nullopt;
    bool number = false;
    const uint format = type.mid(kFormatPrefix.size()).toUInt(&number);
    // The bitmap format travels as the desktop's images, never under a private type.
    if (!number || format == cfBitmap)
        return std::nullopt;
    return format;
}

TClipboardMimeData* DesktopClipboardBinding::Published() const
{
    // The pointer guard notices when the clipboard let go of our data for another's.
    return published_ != nullptr && Desktop().mimeData() == published_.data() ? published_.data() : nullptr;
}

} // namespace mirth
