#pragma once
// The frames of the two playbacks as a saved animation holds them: the frames the window
// shows, scaled down to fit a longest side.
#include <memory>
#include <vector>

#include "effects/AreaShrink.h"
#include "imaging/animation/AnimatedFile.h"

namespace mirth {

// Frames of one full size, scaled down to fit a longest side once that is chosen.
class TScaledFrames : public TFrameSource {
public:
    TFrameSize FullSize() const { return full_; }
    // Frames larger than maxSide on their longest side are made that size.
    void FitWithin(int32_t maxSide) { size_ = FitLongestSide(full_, maxSide); }
    int32_t Width() const override { return size_.width; }
    int32_t Height() const override { return size_.height; }

protected:
    explicit TScaledFrames(TFrameSize full) : full_(full), size_(full) {}
    TFrameSize full_, size_;
};

// The morph's 21 blends from first to last at first's size, last read from its top-left.
// Scaled frames come from first and last scaled down once, and blended at the small size, which
// matches the scaled full-size blend to within rounding (the average is linear) at a
// fraction of the work; a morph that fits is blended byte for byte as the window does.
// EInvalidOperation "Invalid image size" when last is narrower or lower than first.
class TMorphFrames : public TScaledFrames {
public:
    TMorphFrames(TBitmap& first, TBitmap& last);
    int32_t Count() const override;
    std::unique_ptr<TBitmap> Frame(int32_t index) override;

private:
    std::unique_ptr<TBitmap> first_, last_;
};

// The pictures in order, each as its top-left part of the first one's size, as the
// animation's frame list takes them.
// EInvalidOperation "Invalid image size" when a picture is narrower or lower than the first.
// At least one picture.
class TAnimationFrames : public TScaledFrames {
public:
    explicit TAnimationFrames(const std::vector<TBitmap*>& pictures);
    int32_t Count() const override { return static_cast<int32_t>(pictures_.size()); }
    std::unique_ptr<TBitmap> Frame(int32_t index) override;

private:
    std::vector<std::unique_ptr<TBitmap>> pictures_;
};

} // namespace mirth
