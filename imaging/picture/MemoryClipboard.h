#pragma once
#include <utility>
#include <vector>

#include "imaging/picture/ClipboardBinding.h"

namespace mirth {

// A clipboard inside the process, for the tests and the command-line tool. It
// insists on the open-close discipline a desktop clipboard expects: opening it
// twice, closing it when closed, or touching its data while closed is a fault
// of the caller and throws std::logic_error.
class MemoryClipboardBinding : public ClipboardBinding {
public:
    bool Open() override;
    void Close() override;
    void Empty() override;
    void SetData(TClipboardFormat format, std::vector<uint8_t> data) override;
    std::vector<uint8_t> Data(TClipboardFormat format) override;
    std::vector<TClipboardFormat> OfferedFormats() override;
    bool Offers(TClipboardFormat format) override;
    TClipboardFormat RegisterFormat(const std::string& name) override;

    // Plays another program that holds the clipboard open.
    void SetRefusingOpen(bool refusing) { refusingOpen_ = refusing; }
    bool IsOpen() const { return open_; }

private:
    void RequireOpen() const;

    std::vector<std::pair<TClipboardFormat, std::vector<uint8_t>>> offered_;
    TFormatNameTable names_;
    bool open_ = false;
    bool refusingOpen_ = false;
};

} // namespace mirth
