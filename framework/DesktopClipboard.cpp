#include "framework/DesktopClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

#include "framework/PastedImage.h"
#include "imaging/picture/ClipboardFormats.h"

namespace mirth {

namespace {

const QString kFormatPrefix = QStringLiteral("application/x-mirthlens-format-");
const QString kNamePrefix = QStringLiteral("application/x-mirthlens-name-");
const QString kQtImageType = QStringLiteral("application/x-qt-image");

// The image types other programs put on the desktop clipboard, in the order they are
// read: their bytes are decoded here, within the bitmap's own size cap.
const QStringList& ImageTypes()
{
    static const QStringList types{"image/png", "image/bmp", "image/jpeg"};
    return types;
}

QClipboard& Desktop() { return *QGuiApplication::clipboard(); }

bool OffersImage(const QStringList& offered)
{
    const auto isOffered = [&](const QString& type) { return offered.contains(type); };
    return isOffered(kQtImageType) || std::any_of(ImageTypes().begin(), ImageTypes().end(), isOffered);
}

// The first offered image type whose bytes decode. An owner that hands out nothing for a
// type it offered is not asked again: it may have stopped answering.
std::vector<uint8_t> BmpFileOfOffered(const QMimeData& mime, const QStringList& offered)
{
    for (const QString& type : ImageTypes()) {
        if (!offered.contains(type))
            continue;
        const QByteArray encoded = mime.data(type);
        if (encoded.isEmpty())
            return {};
        if (std::vector<uint8_t> bmpFile = BmpFileOfEncoded(encoded); !bmpFile.empty())
            return bmpFile;
    }
    // Where the platform offers only Qt's own image type, Qt decodes it.
    if (offered.contains(kQtImageType))
        return BmpFileOf(qvariant_cast<QImage>(mime.imageData()));
    return {};
}

} // namespace

bool DesktopClipboardBinding::Open()
{
    open_ = true;
    return true;
}

void DesktopClipboardBinding::Close()
{
    open_ = false;
    offered_.reset();
}

QStringList DesktopClipboardBinding::Offered()
{
    if (offered_)
        return *offered_;
    const QMimeData* mime = Desktop().mimeData();
    QStringList offered = mime != nullptr ? mime->formats() : QStringList{};
    if (open_)
        offered_ = offered;
    return offered;
}

void DesktopClipboardBinding::Empty()
{
    offered_.reset();
    Desktop().clear();
}

void DesktopClipboardBinding::SetData(TClipboardFormat format, std::vector<uint8_t> data)
{
    offered_.reset();
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
    // Our own copy pasted back needs no trip through an image.
    if (const TClipboardMimeData* ours = Published(); ours != nullptr && format == cfBitmap)
        return ours->Bitmap();
    const QStringList offered = Offered();
    const QMimeData* mime = Desktop().mimeData();
    if (mime == nullptr)
        return {};
    if (format == cfBitmap)
        return BmpFileOfOffered(*mime, offered);
    if (!offered.contains(PrivateType(format)))
        return {};
    const QByteArray bytes = mime->data(PrivateType(format));
    return {bytes.begin(), bytes.end()};
}

std::vector<TClipboardFormat> DesktopClipboardBinding::OfferedFormats()
{
    const QStringList offered = Offered();
    std::vector<TClipboardFormat> formats;
    if (OffersImage(offered))
        formats.push_back(cfBitmap);
    for (const QString& type : offered)
        if (const std::optional<TClipboardFormat> format = FormatOfPrivateType(type))
            formats.push_back(*format);
    return formats;
}

bool DesktopClipboardBinding::Offers(TClipboardFormat format)
{
    const QStringList offered = Offered();
    return format == cfBitmap ? OffersImage(offered) : offered.contains(PrivateType(format));
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
