#pragma once
#include <vector>

#include "imaging/bitmap/Graphic.h"

namespace mirth {

// Which graphic class reads a clipboard format.
class TClipboardFormats {
public:
    // Metafile pictures, enhanced metafiles, bitmaps and the private icon format.
    TClipboardFormats();

    void Add(TClipboardFormat format, const TGraphicClass& graphicClass);
    // Removes every row whose class is graphicClass or derives from it.
    void Remove(const TGraphicClass& graphicClass);
    // The class registered last for format, or none.
    const TGraphicClass* FindFormat(TClipboardFormat format) const;

private:
    struct Row {
        TClipboardFormat format;
        const TGraphicClass* graphicClass;
    };
    std::vector<Row> rows_;
};

// The one registry, made on first use and kept to the end of the process. Making
// it registers the private format names through the system clipboard binding, so
// a program installs its binding before the first picture exists.
TClipboardFormats& ClipboardFormats();
// The registry when it has been made, else none.
TClipboardFormats* ExistingClipboardFormats();

// The numbers the system clipboard binding gave the private names "Vantor
// Picture" and "Vantor Icon".
TClipboardFormat PictureFormatId();
TClipboardFormat IconFormatId();

} // namespace mirth
