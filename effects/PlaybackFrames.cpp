#include "effects/PlaybackFrames.h"

#include "effects/Blend.h"
#include "runtime/Exceptions.h"

namespace mirth {

namespace {

TFrameSize SizeOf(const TBitmap& picture)
{
    return {picture.Width(), picture.Height()};
}

void CheckCovers(const TBitmap& picture, TFrameSize frame)
{
    if (picture.Width() < frame.width || picture.Height() < frame.height)
        throw EInvalidOperation("Invalid image size");
}

// A copy sharing the picture's pixels: the caller's bitmap may change or go while the
// frames are made, possibly on another thread.
std::unique_ptr<TBitmap> Shared(TBitmap& picture)
{
    auto copy = std::make_unique<TBitmap>();
    copy->CopyFrom(&picture);
    copy->SetPixelLayout(pl24Bit);
    return copy;
}

} // namespace

TMorphFrames::TMorphFrames(TBitmap& first, TBitmap& last) : TScaledFrames(SizeOf(first))
{
    CheckCovers(last, full_);
    first_ = Shared(first);
    last_ = Shared(last);
}

int32_t TMorphFrames::Count() const
{
    return kMorphFrames;
}

std::unique_ptr<TBitmap> TMorphFrames::Frame(int32_t index)
{
    // Scaled once, by the first frame asked for: that is on the thread doing the work.
    if (SizeOf(*first_) != size_) {
        first_ = ShrinkByAreaAverage(*first_, full_, size_);
        last_ = ShrinkByAreaAverage(*last_, full_, size_);
    }
    auto frame = std::make_unique<TBitmap>();
    BlendBitmaps(*first_, *last_, *frame, MorphFactor(index));
    return frame;
}

TAnimationFrames::TAnimationFrames(const std::vector<TBitmap*>& pictures)
    : TScaledFrames(SizeOf(*pictures.at(0)))
{
    for (TBitmap* picture : pictures) {
        CheckCovers(*picture, full_);
        pictures_.push_back(Shared(*picture));
    }
}

std::unique_ptr<TBitmap> TAnimationFrames::Frame(int32_t index)
{
    return ShrinkByAreaAverage(*pictures_.at(static_cast<size_t>(index)), full_, size_);
}

} // namespace mirth
