#include "app/WorkingPicture.h"

#include "framework/Image.h"

namespace mirth {

std::unique_ptr<TBitmap> WhiteBitmap(int32_t width, int32_t height)
{
    auto bitmap = std::make_unique<TBitmap>();
    // The layout first, so that the pixels are made once, already in it.
    bitmap->SetPixelLayout(pl24Bit);
    bitmap->SetWidth(width);
    bitmap->SetHeight(height);
    return bitmap;
}

void ReplaceWorkingPicture(TImage& working, TImage& reference, TBitmap& picture)
{
    working.SetAutoSize(true);
    reference.SetAutoSize(true);
    working.Picture().SetContent(&picture);
    reference.Picture().CopyFrom(working.Picture());
    working.SetAutoSize(false);
    reference.SetAutoSize(false);
}

} // namespace mirth
