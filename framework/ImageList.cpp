#include "framework/ImageList.h"

#include "imaging/bitmap/Bitmap.h"
#include "runtime/Exceptions.h"

namespace mirth {

TImageList::TImageList(int32_t width, int32_t height) : width_(width), height_(height) {}

TImageList::~TImageList() = default;

void TImageList::SetWidth(int32_t width)
{
    SetSide(width_, width);
}

void TImageList::SetHeight(int32_t height)
{
    SetSide(height_, height);
}

void TImageList::SetSide(int32_t& side, int32_t value)
{
    if (value != side)
        Clear();
    side = value;
}

void TImageList::Add(TBitmap& picture)
{
    if (picture.Width() < width_ || picture.Height() < height_)
        throw EInvalidOperation("Invalid image size");
    auto frame = std::make_unique<TBitmap>();
    frame->CopyFrom(&picture);
    frame->SetPixelLayout(pl24Bit);
    // Resizing keeps the top-left pixels, and a store of the frame size stays shared.
    frame->SetWidth(width_);
    frame->SetHeight(height_);
    frames_.push_back(std::move(frame));
}

void TImageList::Clear()
{
    frames_.clear();
}

void TImageList::CopyFrame(int32_t index, TBitmap& target) const
{
    if (index >= 0 && index < Count())
        target.CopyFrom(frames_[static_cast<size_t>(index)].get());
}

} // namespace mirth
