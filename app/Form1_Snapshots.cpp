// Snapshots: keep, undo and the thumbnail strip.
#include <QAction>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

#include "app/Form1.h"
#include "imaging/bitmap/Bitmap.h"

namespace mirth {

namespace {

constexpr int kThumbHeight = 80;
constexpr int kThumbLeft = 5;
constexpr int kThumbPitch = 85;  // a thumbnail's height and the gap below it
constexpr int kStripMargin = 10; // room beside the widest thumbnail

// 80 / h is formed first, then scaled by w, each step in extended precision, and the
// product rounds half to even: 161 x 160 gives 80, 163 x 160 gives 82.
int ThumbWidth(int32_t width, int32_t height)
{
    const long double scale = static_cast<long double>(kThumbHeight) / height;
    const long double product = scale * width;
    return static_cast<int>(std::lrintl(product));
}

// The width inside the strip's frame that its content may use: less the vertical scroll
// bar when the content is higher than the strip. Worked out from the strip's own size,
// which setFixedWidth keeps current even while the strip is hidden.
int StripClientWidth(const QScrollArea& strip)
{
    const QSize room = strip.maximumViewportSize();
    const bool scrolls = strip.widget()->height() > room.height();
    return room.width() - (scrolls ? strip.verticalScrollBar()->sizeHint().width() : 0);
}

void SetStripClientWidth(QScrollArea& strip, int clientWidth)
{
    strip.setFixedWidth(strip.width() - StripClientWidth(strip) + clientWidth);
}

} // namespace

std::vector<TImage*> TForm1::Thumbnails() const
{
    std::vector<TImage*> thumbs;
    for (QObject* child : ThumbStrip->children())
        if (auto* thumb = dynamic_cast<TImage*>(child))
            thumbs.push_back(thumb);
    return thumbs;
}

void TForm1::DeleteThumbsFrom(size_t first)
{
    const std::vector<TImage*> thumbs = Thumbnails();
    for (size_t k = thumbs.size(); k > first; --k) {
        if (Workspace.NewThumb == thumbs[k - 1])
            Workspace.NewThumb = nullptr;
        delete thumbs[k - 1];
    }
    FitThumbStrip();
    UpdatePlaybackSaving();
}

void TForm1::FitThumbStrip()
{
    const QRect held = ThumbStrip->childrenRect();
    ThumbStrip->resize(std::max(held.right() + 1, 0), std::max(held.bottom() + 1, 0));
}

void TForm1::Keep1Click(TObject*)
{
    if (WorkingEmpty() || Timer1.Enabled() || Timer2.Enabled())
        return;
    Reference().CopyFrom(&Working());
    Workspace.LensPoint = {0, 0};
    AddThumb();
}

void TForm1::AddThumb()
{
    Workspace.ThumbCount = static_cast<int32_t>(Thumbnails().size());
    auto* thumb = new TImage(ThumbStrip);
    Workspace.NewThumb = thumb;
    // Back to the top of the content, where the first thumbnail starts, so that the new one's
    // top counts from there. Asking for the first thumbnail to be made visible would centre
    // it instead when it is taller than a short strip.
    ScrollBox2->verticalScrollBar()->setValue(0);
    ScrollBox2->horizontalScrollBar()->setValue(0);
    const int width = ThumbWidth(Working().Width(), Working().Height());
    thumb->SetStretch(true);
    thumb->SetCachesRendition(true);
    thumb->setGeometry(kThumbLeft, Workspace.ThumbCount * kThumbPitch, width, kThumbHeight);
    ++Workspace.ThumbCount;
    thumb->Picture().SetContent(&Working());
    // Thumbnails are only ever deleted from the newest back, so the number is also the place in the strip.
    thumb->setAccessibleName(QStringLiteral("Snapshot %1").arg(Thumbnails().size()));
    thumb->show();
    FitThumbStrip();
    if (StripClientWidth(*ScrollBox2) < width + kStripMargin)
        SetStripClientWidth(*ScrollBox2, width + kStripMargin);
    thumb->OnClick = [this](TObject* sender) { ThumbClick(sender); };
    UpdatePlaybackSaving();
}

void TForm1::ThumbClick(TObject* Sender)
{
    const auto& thumb = dynamic_cast<const TImage&>(*Sender);
    Image1->SetAutoSize(true);
    Image2->SetAutoSize(true);
    Image2->Picture().CopyFrom(Image1->Picture());
    Image1->Picture().CopyFrom(thumb.Picture());
    Image1->SetAutoSize(false);
    Image2->SetAutoSize(false);
}

void TForm1::Undo1Click(TObject*)
{
    if (Timer1.Enabled() || Timer2.Enabled())
        return;
    Image1->Picture().CopyFrom(Image2->Picture());
}

// With no thumbnail at all there is no first one to size the strip by: nothing happens.
void TForm1::DeleteThumbs1Click(TObject*)
{
    const std::vector<TImage*> thumbs = Thumbnails();
    if (thumbs.empty())
        return;
    DeleteThumbsFrom(1);
    Workspace.ThumbCount = 1;
    ScrollBox2->setFixedWidth(thumbs.front()->width() + kStripMargin);
}

void TForm1::ShowThumbs1Click(TObject*)
{
    ScrollBox2->setVisible(ShowThumbs1->isChecked());
}

} // namespace mirth
