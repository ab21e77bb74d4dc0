#pragma once
// A graphic class the tests control: it holds a few bytes, reads and writes
// them as its stream and clipboard forms, and fails where a test asks it to.
#include <memory>
#include <string>
#include <vector>

#include "imaging/bitmap/Graphic.h"
#include "imaging/picture/Picture.h"
#include "runtime/Exceptions.h"

namespace mirth::testing {

class TFakeGraphic : public TGraphic {
public:
    static constexpr TClipboardFormat kFormat = 0xBEEF;
    static const TGraphicClass Class;

    explicit TFakeGraphic(std::string text = "") : bytes_(text.begin(), text.end()) {}
    const TGraphicClass& ClassType() const override { return Class; }

    std::string Text() const { return std::string(bytes_.begin(), bytes_.end()); }
    TPalette Palette() const override { return palette_; }
    void SetPalette(const TPalette& palette) override { palette_ = palette; }
    // Copying from, or putting on the clipboard, this graphic fails.
    bool refusing = false;

    void CopyFrom(TGraphic* source) override
    {
        auto* fake = dynamic_cast<TFakeGraphic*>(source);
        if (fake == nullptr)
            return TGraphic::CopyFrom(source);
        if (fake->refusing)
            throw EConvertError("Fake refuses to be copied");
        bytes_ = fake->bytes_;
        palette_ = fake->palette_;
        Changed();
    }
    void Render(TCanvas&, const TRect&) override {}
    bool Empty() const override { return bytes_.empty(); }
    int32_t Width() const override { return static_cast<int32_t>(bytes_.size()); }
    int32_t Height() const override { return bytes_.empty() ? 0 : 1; }
    void SetWidth(int32_t) override {}
    void SetHeight(int32_t) override {}

    // Text starting with "bad" does not read; reading reports progress and a change.
    void LoadStream(TStream& stream) override
    {
        std::vector<uint8_t> bytes(static_cast<size_t>(stream.Remaining()));
        stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        Progress(psStarting, 0, false, TRect{}, "reading");
        Take(bytes);
        Progress(psEnding, 100, false, TRect{}, "read");
        Changed();
    }
    void SaveStream(TStream& stream) override
    {
        stream.WriteBuffer(bytes_.data(), static_cast<int64_t>(bytes_.size()));
    }
    void LoadFromClipboardFormat(TClipboardFormat, const std::vector<uint8_t>& data,
                                 const TPalette& palette) override
    {
        Take(data);
        palette_ = palette;
        Changed();
    }
    void SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data, TPalette& palette) override
    {
        if (refusing)
            throw EInvalidGraphic("Fake refuses the clipboard");
        format = ClipboardFormatOf();
        data = bytes_;
        palette = palette_;
    }

protected:
    virtual TClipboardFormat ClipboardFormatOf() const { return kFormat; }

private:
    void Take(const std::vector<uint8_t>& bytes)
    {
        if (std::string(bytes.begin(), bytes.end()).starts_with("bad"))
            throw EInvalidGraphic("Fake image is not valid");
        bytes_ = bytes;
    }

    std::vector<uint8_t> bytes_;
    TPalette palette_;
};

// A class derived from the fake, with a clipboard format of its own.
class TFakeGraphicChild : public TFakeGraphic {
public:
    static constexpr TClipboardFormat kFormat = 0xBEF0;
    static const TGraphicClass Class;

    using TFakeGraphic::TFakeGraphic;
    const TGraphicClass& ClassType() const override { return Class; }

protected:
    TClipboardFormat ClipboardFormatOf() const override { return kFormat; }
};

inline const TGraphicClass TFakeGraphic::Class{
    "TFakeGraphic", [] { return std::unique_ptr<TGraphic>(new TFakeGraphic); }, &TGraphic::Class};
inline const TGraphicClass TFakeGraphicChild::Class{
    "TFakeGraphicChild", [] { return std::unique_ptr<TGraphic>(new TFakeGraphicChild); }, &TFakeGraphic::Class};

// Registers the fake class for the extension "fake" and both fake clipboard
// formats for the lifetime of a test.
struct FakeRegistration {
    FakeRegistration()
    {
        TPicture::RegisterExtension("fake", "Fake pictures", TFakeGraphic::Class);
        TPicture::RegisterClipboardFormat(TFakeGraphic::kFormat, TFakeGraphic::Class);
        TPicture::RegisterClipboardFormat(TFakeGraphicChild::kFormat, TFakeGraphicChild::Class);
    }
    ~FakeRegistration() { TPicture::UnregisterGraphicClass(TFakeGraphic::Class); }
};

} // namespace mirth::testing
