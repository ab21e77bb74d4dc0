#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "imaging/bitmap/Graphic.h"

namespace mirth {

// The system clipboard by numbered formats, as the clipboard object needs it.
// Data travels as bytes: the bitmap format holds one BMP file (as a bitmap's
// SaveStream writes it), the palette format a colour table of four-byte
// entries (blue, green, red, 0), registered formats whatever their writer put.
class ClipboardBinding {
public:
    virtual ~ClipboardBinding() = default;

    // False when the system refuses, for example while another program holds
    // the clipboard open.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // Empty, SetData, Data and OfferedFormats need the clipboard open.
    virtual void Empty() = 0;
    virtual void SetData(TClipboardFormat format, std::vector<uint8_t> data) = 0;
    // Empty when the format is not offered.
    virtual std::vector<uint8_t> Data(TClipboardFormat format) = 0;
    // The offered formats, in the clipboard's own order.
    virtual std::vector<TClipboardFormat> OfferedFormats() = 0;
    // Needs no open clipboard.
    virtual bool Offers(TClipboardFormat format) = 0;
    // The same name always gives the same number.
    virtual TClipboardFormat RegisterFormat(const std::string& name) = 0;
};

// Numbers for registered format names the way a desktop hands them out: from
// 0xC000 upwards, one per name, so they never meet the standard formats.
class TFormatNameTable {
public:
    TClipboardFormat Register(const std::string& name);

private:
    std::map<std::string, TClipboardFormat> numbers_;
};

// The binding of the one system clipboard: an in-memory clipboard unless a
// program installs its own before the first use.
ClipboardBinding& SystemClipboardBinding();
// EInvalidOperation "Clipboard binding is already in use" once the system
// clipboard binding has been asked for.
void InstallSystemClipboardBinding(std::unique_ptr<ClipboardBinding> binding);

} // namespace mirth
