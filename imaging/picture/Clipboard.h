#pragma once
#include <cstdint>

#include "imaging/picture/ClipboardBinding.h"
#include "imaging/bitmap/Graphic.h"

namespace mirth {

class TPicture;

// Pictures to and from the system clipboard. Open and Close nest: only the
// outermost pair opens and closes the system clipboard, and every operation
// that opens it closes it again, on failure as well.
class TClipboard : public TPersistent {
public:
    explicit TClipboard(ClipboardBinding& binding) : binding_(binding) {}
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    // Exception "Cannot open clipboard" when the system refuses.
    void Open();
    void Close();
    void Clear();

    // Whether the clipboard offers format; for PictureFormatId, whether it
    // offers any format a picture can load.
    bool ContainsFormat(TClipboardFormat format);

    // Replaces everything on the clipboard with the graphic's data (for a
    // picture, its content's). A picture without content leaves it empty.
    void CopyFrom(const TPicture& source);
    void CopyFrom(TGraphic& source);
    // Loads the first offered format that has a graphic class.
    // Exception "Invalid clipboard format" when none has.
    void CopyTo(TPicture& destination);
    // A bitmap loads the bitmap format, a metafile the metafile picture format,
    // with the clipboard's palette; other graphics cannot be copied to.
    void CopyTo(TGraphic& destination);

private:
    void Put(TClipboardFormat format, std::vector<uint8_t> data, const TPalette& palette);

    ClipboardBinding& binding_;
    int32_t openCount_ = 0;
    bool emptied_ = false;  // during the current open
};

// Keeps a clipboard open for as long as it lives.
class OpenClipboard {
public:
    explicit OpenClipboard(TClipboard& clipboard) : clipboard_(clipboard) { clipboard_.Open(); }
    ~OpenClipboard() { clipboard_.Close(); }
    OpenClipboard(const OpenClipboard&) = delete;
    OpenClipboard& operator=(const OpenClipboard&) = delete;

private:
    TClipboard& clipboard_;
};

// The one clipboard object over the system clipboard binding.
TClipboard& SystemClipboard();

} // namespace mirth
