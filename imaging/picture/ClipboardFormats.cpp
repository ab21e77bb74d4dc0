#include "imaging/picture/ClipboardFormats.h"

#include <algorithm>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/ClipboardBinding.h"
#include "imaging/picture/MetafileAndIcon.h"

namespace mirth {

namespace {

struct RegisteredFormats {
    TClipboardFormat picture;
    TClipboardFormat icon;
};

const RegisteredFormats& Registered()
{
    static const RegisteredFormats formats = [] {
        ClipboardBinding& binding = SystemClipboardBinding();
        RegisteredFormats registered{};
        registered.picture = binding.RegisterFormat("Vantor Picture");
        // The format of copied components: registered like the others, never used here.
        binding.RegisterFormat("Vantor Component");
        registered.icon = binding.RegisterFormat("Vantor Icon");
        return registered;
    }();
    return formats;
}

TClipboardFormats*& Instance()
{
    static TClipboardFormats* formats = nullptr;
    return formats;
}

} // namespace

TClipboardFormat PictureFormatId() { return Registered().picture; }
TClipboardFormat IconFormatId() { return Registered().icon; }

TClipboardFormats::TClipboardFormats()
{
    Add(cfMetafilePicture, TMetafile::Class);
    Add(cfEnhancedMetafile, TMetafile::Class);
    Add(cfBitmap, TBitmap::Class);
    Add(IconFormatId(), TIcon::Class);
}

void TClipboardFormats::Add(TClipboardFormat format, const TGraphicClass& graphicClass)
{
    rows_.push_back(Row{format, &graphicClass});
}

void TClipboardFormats::Remove(const TGraphicClass& graphicClass)
{
    std::erase_if(rows_, [&](const Row& row) { return row.graphicClass->InheritsFrom(&graphicClass); });
}

const TGraphicClass* TClipboardFormats::FindFormat(TClipboardFormat format) const
{
    auto row = std::find_if(rows_.rbegin(), rows_.rend(), [&](const Row& r) { return r.format == format; });
    return row == rows_.rend() ? nullptr : row->graphicClass;
}

TClipboardFormats& ClipboardFormats()
{
    // Never destroyed, like the file-format registry.
    if (Instance() == nullptr)
        Instance() = new TClipboardFormats;
    return *Instance();
}

TClipboardFormats* ExistingClipboardFormats() { return Instance(); }

} // namespace mirth
