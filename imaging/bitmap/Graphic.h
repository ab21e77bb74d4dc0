#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/pixels/GraphicsTypes.h"
#include "runtime/Streams.h"

namespace mirth {

class TGraphic;
class TCanvas;

// A class reference: lets the registries map a file extension or a clipboard
// format to a graphic class and make empty instances of it.
struct TGraphicClass {
    const char* name;
    std::unique_ptr<TGraphic> (*create)();  // null for abstract classes
    const TGraphicClass* parent;

    bool InheritsFrom(const TGraphicClass* ancestor) const;
};

using TClipboardFormat = uint32_t;

// The desktop's standard clipboard format numbers.
constexpr TClipboardFormat cfBitmap = 2;
constexpr TClipboardFormat cfMetafilePicture = 3;
constexpr TClipboardFormat cfPalette = 9;
constexpr TClipboardFormat cfEnhancedMetafile = 14;

// The abstract picture content: a bitmap, a JPEG image, an icon or a metafile.
class TGraphic : public TPersistent {
public:
    static const TGraphicClass Class;

    ~TGraphic() override = default;
    virtual const TGraphicClass& ClassType() const = 0;
    std::string ClassName() const { return ClassType().name; }

    // Copies source into this graphic; the base hands over to source's CopyTo.
    virtual void CopyFrom(TGraphic* source);
    // The fallback of CopyFrom: the base refuses with "Cannot assign a %s to a %s".
    virtual void CopyTo(TGraphic& destination);
    virtual void Changed();
    virtual void Render(TCanvas& canvas, const TRect& rect) = 0;
    // Equal when both are empty, or of one class with identical persisted bytes.
    virtual bool Equals(TGraphic* other);
    virtual bool Empty() const = 0;
    virtual int32_t Height() const = 0;
    virtual int32_t Width() const = 0;
    virtual void SetHeight(int32_t height) = 0;
    virtual void SetWidth(int32_t width) = 0;
    virtual TPalette Palette() const { return {}; }
    virtual void SetPalette(const TPalette&) {}
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool transparent);
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // The persisted "Data" property: the base writes exactly the stream form.
    virtual void ReadData(TStream& stream) { LoadStream(stream); }
    virtual void WriteData(TStream& stream) { SaveStream(stream); }

    virtual void LoadFile(const std::string& path);
    // Never damages an existing file: the new bytes replace it only once complete.
    virtual void SaveFile(const std::string& path);
    virtual void LoadStream(TStream& stream) = 0;
    virtual void SaveStream(TStream& stream) = 0;
    virtual void LoadFromClipboardFormat(TClipboardFormat format, const std::vector<uint8_t>& data,
                                         const TPalette& palette) = 0;
    virtual void SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data,
                                       TPalette& palette) = 0;

    // EConvertError "Cannot assign a %s to a %s": the refusal of every copy
    // between objects that cannot take each other's content.
    [[noreturn]] static void FailAssign(const std::string& sourceName, const std::string& targetName);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    void Progress(TProgressStage stage, uint8_t percentDone, bool redrawNow, const TRect& rect,
                  const std::string& message);

    bool transparent_ = false;

private:
    bool modified_ = false;
};

} // namespace mirth
