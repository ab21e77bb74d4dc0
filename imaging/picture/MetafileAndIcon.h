#pragma once
#include "imaging/bitmap/Graphic.h"

namespace mirth {

// The program reads only BMP and JPEG pictures; metafiles and icons have classes
// so that their extensions and clipboard formats resolve to something that says
// clearly why it cannot be read. Such a graphic is always empty.
class TUnreadableGraphic : public TGraphic {
public:
    // Another graphic of the same class: nothing to copy, both are empty.
    void CopyFrom(TGraphic* source) override;
    void Render(TCanvas&, const TRect&) override {}
    bool Empty() const override { return true; }
    int32_t Height() const override { return 0; }
    int32_t Width() const override { return 0; }
    void SetHeight(int32_t) override {}
    void SetWidth(int32_t) override {}

    void LoadStream(TStream& stream) override;
    void SaveStream(TStream&) override {}
    // Without data: "Unsupported clipboard format"; with data: the class's own message.
    void LoadFromClipboardFormat(TClipboardFormat format, const std::vector<uint8_t>& data,
                                 const TPalette& palette) override;
    // An empty graphic offers nothing.
    void SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data,
                               TPalette& palette) override;

protected:
    // The message of a failed load, in the class's own words.
    virtual const char* InvalidMessage() const = 0;
};

class TMetafile : public TUnreadableGraphic {
public:
    static const TGraphicClass Class;
    const TGraphicClass& ClassType() const override { return Class; }

protected:
    const char* InvalidMessage() const override { return "Metafile is not valid"; }
};

class TIcon : public TUnreadableGraphic {
public:
    static const TGraphicClass Class;
    const TGraphicClass& ClassType() const override { return Class; }

protected:
    const char* InvalidMessage() const override { return "Icon image is not valid"; }
};

} // namespace mirth
