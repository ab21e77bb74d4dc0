#include "imaging/picture/Picture.h"

#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/ClipboardFormats.h"
#include "imaging/picture/FileFormats.h"
#include "runtime/Exceptions.h"
#include "runtime/FileNames.h"

namespace mirth {

TPicture::TPicture()
{
    FileFormats();
    ClipboardFormats();
}

TPicture::~TPicture() = default;

void TPicture::SetContent(TGraphic* graphic)
{
    std::unique_ptr<TGraphic> copy;
    if (graphic != nullptr) {
        copy = graphic->ClassType().create();
        copy->CopyFrom(graphic);
    }
    Adopt(std::move(copy));
}

TBitmap& TPicture::AsBitmap()
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(content_.get()))
        return *bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    TBitmap& result = *bitmap;
    Adopt(std::move(bitmap));
    return result;
}

void TPicture::SetAsBitmap(TBitmap* bitmap) { SetContent(bitmap); }

void TPicture::LoadFile(const std::string& path)
{
    const std::string dotted = ExtractFileExt(path);
    const std::string extension = dotted.empty() ? dotted : dotted.substr(1);
    const TGraphicClass* graphicClass = FileFormats().FindExtension(extension);
    if (graphicClass == nullptr)
        throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", extension));
    auto graphic = MakeForLoading(*graphicClass);
    graphic->LoadFile(path);
    Adopt(std::move(graphic));
}

void TPicture::LoadStream(TStream& stream) { AsBitmap().LoadStream(stream); }

void TPicture::SaveStream(TStream& stream) { AsBitmap().SaveStream(stream); }

void TPicture::CopyTo(TGraphic& destination) const
{
    if (content_ == nullptr || !content_->ClassType().InheritsFrom(&destination.ClassType()))
        TGraphic::FailAssign("TPicture", destination.ClassName());
    destination.CopyFrom(content_.get());
}

void TPicture::LoadFromClipboardFormat(TClipboardFormat format, const std::vector<uint8_t>& data,
                                       const TPalette& palette)
{
    const TGraphicClass* graphicClass = ClipboardFormats().FindFormat(format);
    if (graphicClass == nullptr)
        throw EInvalidGraphic("Unsupported clipboard format");
    auto graphic = MakeForLoading(*graphicClass);
    graphic->LoadFromClipboardFormat(format, data, palette);
    Adopt(std::move(graphic));
}

void TPicture::SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data,
                                     TPalette& palette) const
{
    if (content_ != nullptr) {
        content_->SaveToClipboardFormat(format, data, palette);
        return;
    }
    format = 0;
    data.clear();
    palette.clear();
}

bool TPicture::SupportsClipboardFormat(TClipboardFormat format)
{
    return ClipboardFormats().FindFormat(format) != nullptr;
}

void TPicture::RegisterExtension(const std::string& extension, const std::string& description,
                                 const TGraphicClass& graphicClass)
{
    FileFormats().Add(extension, description, graphicClass);
}

void TPicture::RegisterClipboardFormat(TClipboardFormat format, const TGraphicClass& graphicClass)
{
    ClipboardFormats().Add(format, graphicClass);
}

void TPicture::UnregisterGraphicClass(const TGraphicClass& graphicClass)
{
    FileFormats().Remove(graphicClass);
    // A unit unregistering at shutdown must not bring the clipboard registry,
    // and with it the system clipboard, to life.
    if (TClipboardFormats* formats = ExistingClipboardFormats())
        formats->Remove(graphicClass);
}

std::unique_ptr<TGraphic> TPicture::MakeForLoading(const TGraphicClass& graphicClass)
{
    // Decoders report progress while loading; changes count only once the load
    // has succeeded and the graphic has become the content.
    auto graphic = graphicClass.create();
    PassProgressOn(*graphic);
    return graphic;
}

void TPicture::PassProgressOn(TGraphic& graphic)
{
    graphic.OnProgress = [this](TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                                const TRect& rect, const std::string& message) {
        if (OnProgress)
            OnProgress(sender, stage, percentDone, redrawNow, rect, message);
    };
}

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic)
{
    if (graphic != nullptr) {
        PassProgressOn(*graphic);
        graphic->OnChange = [this](TObject*) { Changed(); };
    }
    content_ = std::move(graphic);
    Changed();
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

} // namespace mirth
