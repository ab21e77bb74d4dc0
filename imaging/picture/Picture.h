#pragma once
#include <memory>
#include <string>
#include <vector>

#include "imaging/bitmap/Graphic.h"

namespace mirth {

class TBitmap;

// Holds at most one graphic and tells its one subscriber, the image view, of
// every change of the graphic and every replacement of it. Copying a graphic
// in always copies it (for a bitmap: shares its pixels copy-on-write); a load
// that fails leaves the old graphic in place.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    // The graphic reports to this picture by address.
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TGraphic* Content() const { return content_.get(); }
    // Stores a copy of graphic; none empties the picture. A copy that fails
    // leaves the picture as it was.
    void SetContent(TGraphic* graphic);
    // The content as a bitmap. Other content (or none) is first replaced by a
    // new empty bitmap.
    TBitmap& AsBitmap();
    void SetAsBitmap(TBitmap* bitmap);
    int32_t Width() const { return content_ ? content_->Width() : 0; }
    int32_t Height() const { return content_ ? content_->Height() : 0; }

    // Loads path with the class registered for its extension.
    // EInvalidGraphic "Unknown picture file extension (.%s)" when there is none.
    void LoadFile(const std::string& path);
    // BMP data, through AsBitmap.
    void LoadStream(TStream& stream);
    void SaveStream(TStream& stream);

    void CopyFrom(const TPicture& source) { SetContent(source.Content()); }
    void CopyFrom(TGraphic* source) { SetContent(source); }
    // Gives the content to destination when it is of destination's class or
    // derives from it; otherwise "Cannot assign a TPicture to a ...".
    void CopyTo(TGraphic& destination) const;

    // Replaces the content with the class registered for format.
    // EInvalidGraphic "Unsupported clipboard format" when there is none.
    void LoadFromClipboardFormat(TClipboardFormat format, const std::vector<uint8_t>& data,
                                 const TPalette& palette);
    // The content's clipboard data; no data at all without content.
    void SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data, TPalette& palette) const;
    static bool SupportsClipboardFormat(TClipboardFormat format);

    // Both registries. A later registration of an extension or a format wins.
    static void RegisterExtension(const std::string& extension, const std::string& description,
                                  const TGraphicClass& graphicClass);
    static void RegisterClipboardFormat(TClipboardFormat format, const TGraphicClass& graphicClass);
    // Removes every row of both registries whose class is graphicClass or derives from it.
    static void UnregisterGraphicClass(const TGraphicClass& graphicClass);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

private:
    std::unique_ptr<TGraphic> MakeForLoading(const TGraphicClass& graphicClass);
    void PassProgressOn(TGraphic& graphic);
    // Makes graphic the content, subscribed to this picture, and notifies.
    void Adopt(std::unique_ptr<TGraphic> graphic);
    void Changed();

    std::unique_ptr<TGraphic> content_;
};

} // namespace mirth
