#pragma once
// The window with pictures put on show and kept, the way a user builds up a strip.
#include <QAction>

#include "support/Pictures.h"
#include "support/WindowTesting.h"

namespace mirth::testing {

class ThumbnailTest : public WindowTest {
protected:
    // Shows `picture`: the first is loaded, later ones are written over the loaded file
    // and reloaded, which leaves the strip alone.
    void Show(TBitmap& picture)
    {
        if (form->od.FileName().empty()) {
            Load("shown.bmp", picture);
            return;
        }
        picture.SaveFile(form->od.FileName());
        Key(Qt::Key_R, Qt::ControlModifier);
    }
    void ShowAndKeep(TBitmap& picture)
    {
        Show(picture);
        Key(Qt::Key_K, Qt::ControlModifier);
    }
    std::vector<TImage*> Thumbs() const { return form->Thumbnails(); }
    std::vector<uint8_t> Shown() const { return PixelBytes(form->Working()); }
    std::vector<uint8_t> ThumbPixels(size_t index) const
    {
        return PixelBytes(Thumbs().at(index)->Picture().AsBitmap());
    }
};

} // namespace mirth::testing
