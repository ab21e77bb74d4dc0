// Saving the morph and the animation as animated files.
#include <QAction>
#include <QCheckBox>

#include <algorithm>

#include "app/Form1.h"
#include "controls/SpinEdit.h"
#include "effects/PlaybackFrames.h"
#include "framework/BackgroundWork.h"
#include "framework/BusyCursor.h"
#include "framework/SizeDialog.h"
#include "runtime/FileNames.h"

namespace mirth {

namespace {

// Big enough for any chat program or web page, small enough to stay a few megabytes.
constexpr int32_t kProposedLongestSide = 1080;

std::vector<TBitmap*> ThumbPictures(const std::vector<TImage*>& thumbs)
{
    std::vector<TBitmap*> pictures;
    for (TImage* thumb : thumbs)
        pictures.push_back(&thumb->Picture().AsBitmap());
    return pictures;
}

} // namespace

void TForm1::UpdatePlaybackSaving()
{
    const size_t thumbs = Thumbnails().size();
    SaveMorph1->setEnabled(thumbs >= 2);
    SaveAnimation1->setEnabled(thumbs >= 1);
}

void TForm1::SaveMorph1Click(TObject*)
{
    const std::vector<TImage*> thumbs = Thumbnails();
    if (thumbs.size() < 2)
        return;
    TMorphFrames frames(thumbs.front()->Picture().AsBitmap(), thumbs.back()->Picture().AsBitmap());
    SavePlayback(frames, "Save Morph", {SpinEdit1->Value(), looper->isChecked()});
}

void TForm1::SaveAnimation1Click(TObject*)
{
    const std::vector<TImage*> thumbs = Thumbnails();
    if (thumbs.empty())
        return;
    TAnimationFrames frames(ThumbPictures(thumbs));
    SavePlayback(frames, "Save Animation", {SpinEdit2->Value(), looper->isChecked()});
}

// The frames were taken when the command began: whatever plays or changes on screen
// meanwhile, the file holds them.
void TForm1::SavePlayback(TScaledFrames& frames, const char* caption, TAnimationTiming timing)
{
    sdPlayback.SetFileName(WithoutFileExt(od.FileName()));
    if (!sdPlayback.Execute())
        return;
    const std::string path = AnimationFileName(sdPlayback.FileName());
    const int32_t longest = std::max(frames.FullSize().width, frames.FullSize().height);
    const std::optional<int32_t> side = AskLongestSide({std::min(longest, kProposedLongestSide), longest});
    if (!side)
        return;
    frames.FitWithin(*side);
    std::optional<std::vector<uint8_t>> bytes;
    const bool finished = RunWithProgress(this, QString::fromUtf8(caption), frames.Count(),
                                          [&](const TStepReport& step) {
                                              bytes = EncodeAnimation(frames, AnimationFormatOf(path), timing, step);
                                          });
    if (!finished || !bytes)
        return;
    TBusyCursor busy;
    SaveAnimationFile(path, *bytes);
}

} // namespace mirth
