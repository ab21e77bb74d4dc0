#include "imaging/picture/Clipboard.h"

#include <algorithm>
#include <utility>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/ClipboardFormats.h"
#include "imaging/picture/MetafileAndIcon.h"
#include "imaging/picture/Picture.h"
#include "runtime/Exceptions.h"

namespace mirth {

namespace {

// The palette format holds colour-table entries of four bytes.
std::vector<uint8_t> PaletteBytes(const TPalette& palette)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(4 * palette.size());
    for (const TColorEntry& entry : palette)
        bytes.insert(bytes.end(), {entry.blue, entry.green, entry.red, 0});
    return bytes;
}

TPalette PaletteOf(const std::vector<uint8_t>& bytes)
{
    // No colour table holds more than 256 entries; a trailing partial entry is
    // no entry at all.
    const size_t count = std::min<size_t>(bytes.size() / 4, 256);
    TPalette palette(count);
    for (size_t i = 0; i < count; ++i)
        palette[i] = TColorEntry{bytes[4 * i], bytes[4 * i + 1], bytes[4 * i + 2], 0};
    return palette;
}

} // namespace

void TClipboard::Open()
{
    if (openCount_ == 0) {
        if (!binding_.Open())
            throw Exception("Cannot open clipboard");
        emptied_ = false;
    }
    ++openCount_;
}

void TClipboard::Close()
{
    if (openCount_ == 0)
        return;
    if (--openCount_ == 0)
        binding_.Close();
}

void TClipboard::Clear()
{
    OpenClipboard open(*this);
    binding_.Empty();
}

bool TClipboard::ContainsFormat(TClipboardFormat format)
{
    if (binding_.Offers(format))
        return true;
    if (format != PictureFormatId())
        return false;
    OpenClipboard open(*this);
    const std::vector<TClipboardFormat> offered = binding_.OfferedFormats();
    return std::any_of(offered.begin(), offered.end(), TPicture::SupportsClipboardFormat);
}

void TClipboard::CopyFrom(const TPicture& source)
{
    if (source.Content() != nullptr)
        CopyFrom(*source.Content());
    else
        Put(0, {}, {});
}

void TClipboard::CopyFrom(TGraphic& source)
{
    // The data is made before the clipboard is touched, so a graphic that fails
    // to produce it leaves the clipboard as it was.
    TClipboardFormat format = 0;
    std::vector<uint8_t> data;
    TPalette palette;
    source.SaveToClipboardFormat(format, data, palette);
    Put(format, std::move(data), palette);
}

void TClipboard::Put(TClipboardFormat format, std::vector<uint8_t> data, const TPalette& palette)
{
    OpenClipboard open(*this);
    if (!emptied_) {
        binding_.Empty();
        emptied_ = true;
    }
    if (data.empty())
        return;
    binding_.SetData(format, std::move(data));
    if (!palette.empty())
        binding_.SetData(cfPalette, PaletteBytes(palette));
}

void TClipboard::CopyTo(TPicture& destination)
{
    OpenClipboard open(*this);
    for (TClipboardFormat format : binding_.OfferedFormats()) {
        if (TPicture::SupportsClipboardFormat(format)) {
            destination.LoadFromClipboardFormat(format, binding_.Data(format), PaletteOf(binding_.Data(cfPalette)));
            return;
        }
    }
    throw Exception("Invalid clipboard format");
}

void TClipboard::CopyTo(TGraphic& destination)
{
    const TGraphicClass& target = destination.ClassType();
    TClipboardFormat format = 0;
    if (target.InheritsFrom(&TBitmap::Class))
        format = cfBitmap;
    else if (target.InheritsFrom(&TMetafile::Class))
        format = cfMetafilePicture;
    else
        TGraphic::FailAssign("TClipboard", destination.ClassName());
    OpenClipboard open(*this);
    destination.LoadFromClipboardFormat(format, binding_.Data(format), PaletteOf(binding_.Data(cfPalette)));
}

TClipboard& SystemClipboard()
{
    // Never destroyed, like the binding it works through.
    static auto* clipboard = new TClipboard(SystemClipboardBinding());
    return *clipboard;
}

} // namespace mirth
