#pragma once
#include <QPointer>

#include <map>
#include <optional>

#include "framework/ClipboardMimeData.h"
#include "imaging/picture/ClipboardBinding.h"

namespace mirth {

// The desktop clipboard through Qt. The bitmap format is the desktop's images: what the
// program copies is offered as image/bmp and image/png (see TClipboardMimeData), and an
// image another program put there as PNG, BMP, JPEG or Qt's image type reads as a BMP
// file of 24-bit pixels, laid over white where it has alpha (see PastedImage.h). Every
// other format travels as a private type: a standard number as
// "application/x-mirthlens-format-N", a registered name as
// "application/x-mirthlens-name-NAME", since registered numbers differ between processes.
//
// Another program that owns the clipboard answers each question itself, and one that has
// stopped answering makes Qt wait out its timeout on every question. So while the
// clipboard is open the offered types are asked once and remembered, and no data is
// asked of an owner that has not told what it offers: one paste waits one timeout at most.
class DesktopClipboardBinding : public ClipboardBinding {
public:
    // Qt owns the clipboard for the whole process: nothing can refuse an open.
    bool Open() override;
    void Close() override;
    void Empty() override;
    void SetData(TClipboardFormat format, std::vector<uint8_t> data) override;
    std::vector<uint8_t> Data(TClipboardFormat format) override;
    std::vector<TClipboardFormat> OfferedFormats() override;
    bool Offers(TClipboardFormat format) override;
    TClipboardFormat RegisterFormat(const std::string& name) override;

private:
    QString PrivateType(TClipboardFormat format) const;
    std::optional<TClipboardFormat> FormatOfPrivateType(const QString& type);
    // The data this binding put on the clipboard, while it is still there.
    TClipboardMimeData* Published() const;
    // The types on the clipboard: once per open, or afresh for a question outside one.
    QStringList Offered();

    bool open_ = false;
    std::optional<QStringList> offered_;  // while open, once asked

    TFormatNameTable numbers_;
    std::map<TClipboardFormat, std::string> names_;
    QPointer<TClipboardMimeData> published_;
};

} // namespace mirth
