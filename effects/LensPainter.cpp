#include "effects/LensPainter.h"

namespace mirth {

bool TLensPainter::StillShows(const TBitmap& reference, const TBitmap& working) const
{
    return drawn_ && drawn_->reference == &reference && drawn_->referenceStamp == reference.ChangeStamp() &&
           drawn_->working == &working && drawn_->workingStamp == working.ChangeStamp();
}

std::vector<TRect> TLensPainter::Draw(TBitmap& reference, TBitmap& working, TPoint centre, int strength)
{
    const TLensDrawing next{centre, strength};
    const bool redraw = StillShows(reference, working);
    const TLensDrawing previous = redraw ? drawn_->lens : TLensDrawing{};
    // Until the pass is through, a failure may have left any mixture of old and new.
    drawn_.reset();
    std::vector<TRect> changed;
    if (redraw) {
        RedrawLens(reference, working, previous, next);
        changed = {LensBounds(previous, working.Width(), working.Height()),
                   LensBounds(next, working.Width(), working.Height())};
    } else {
        DrawLens(reference, working, centre, strength);
        changed = {TRect{0, 0, working.Width(), working.Height()}};
    }
    // Only a picture of the reference's size and layout is the reference with one lens
    // everywhere; anything else goes the whole way next time too.
    if (working.Width() == reference.Width() && working.Height() == reference.Height() &&
        working.PixelLayout() == pl24Bit && reference.PixelLayout() == pl24Bit)
        drawn_ = Drawn{&reference, reference.ChangeStamp(), &working, working.ChangeStamp(), next};
    return changed;
}

} // namespace mirth
