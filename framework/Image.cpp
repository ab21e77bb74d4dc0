#include "framework/Image.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "framework/AccessibleEvents.h"
#include "framework/ImagePainting.h"
#include "imaging/bitmap/Bitmap.h"
#include "runtime/Exceptions.h"

namespace mirth {

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    picture_.OnChange = [this](TObject*) { PictureChanged(); };
    // Moves without a button must arrive too: Alt-moves draw the lens.
    setMouseTracking(true);
}

TImage::~TImage()
{
    picture_.OnChange = nullptr;
}

TCanvas& TImage::Canvas()
{
    return picture_.AsBitmap().Canvas();
}

void TImage::SetStretch(bool stretch)
{
    if (stretch_ == stretch)
        return;
    stretch_ = stretch;
    ForgetRendition();
    update();
}

void TImage::SetCachesRendition(bool caches)
{
    cachesRendition_ = caches;
    ForgetRendition();
}

void TImage::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    if (autoSize_)
        TakePictureSize();
}

void TImage::SetAlign(TAlign align)
{
    if (align_ == align)
        return;
    if (parentWidget() != nullptr) {
        if (align == alClient)
            parentWidget()->installEventFilter(this);
        else
            parentWidget()->removeEventFilter(this);
    }
    align_ = align;
    // Back from filling the parent, a view that sizes itself takes its picture's size again.
    if (align_ == alClient)
        FillParent();
    else if (autoSize_)
        TakePictureSize();
}

// Overlapping areas are painted as one rectangle, the others one by one.
void TImage::Repaint(const std::vector<TRect>& areas)
{
    // A picture scaled to the view: each of its pixels may cover several of the view's.
    if (PictureArea() != QRect(0, 0, picture_.Width(), picture_.Height())) {
        Repaint();
        return;
    }
    ForgetRendition();
    std::vector<QRect> parts;
    for (const TRect& area : areas) {
        QRect part(area.left, area.top, int(area.Width()), int(area.Height()));
        if (part.isEmpty())
            continue;
        for (auto other = parts.begin(); other != parts.end();)
            if (other->intersects(part)) {
                part |= *other;
                other = parts.erase(other);
            } else {
                ++other;
            }
        parts.push_back(part);
    }
    for (const QRect& part : parts)
        repaint(part);
}

void TImage::PictureChanged()
{
    if (autoSize_ && picture_.Width() > 0 && picture_.Height() > 0)
        TakePictureSize();
    ForgetRendition();
    update();
    // The view is named with its picture's size.
    AnnounceNameChange(this);
}

void TImage::TakePictureSize()
{
    if (align_ != alClient)
        resize(picture_.Width(), picture_.Height());
}

void TImage::FillParent()
{
    if (align_ == alClient && parentWidget() != nullptr)
        setGeometry(parentWidget()->contentsRect());
}

void TImage::resizeEvent(QResizeEvent*)
{
    ForgetRendition();
}

bool TImage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        FillParent();
    return false;
}

QRect TImage::PictureArea() const
{
    return stretch_ ? rect() : QRect(0, 0, picture_.Width(), picture_.Height());
}

void TImage::paintEvent(QPaintEvent* event)
{
    TGraphic* content = picture_.Content();
    if (content == nullptr || content->Empty())
        return;
    const QRect area = PictureArea();
    const QRect part = event->rect() & area;
    if (part.isEmpty())
        return;
    QPainter painter(this);
    if (!cachesRendition_) {
        painter.drawImage(part.topLeft(), Rendition(part));
        return;
    }
    // Only what can be on screen is kept: a thin picture's thumbnail may be a million
    // pixels wide, of which a strip shows a few hundred.
    if (rendition_.isNull() || !renditionArea_.contains(part)) {
        renditionArea_ = (visibleRegion().boundingRect() | part) & area;
        rendition_ = Rendition(renditionArea_);
    }
    painter.drawImage(part.topLeft(), rendition_, part.translated(-renditionArea_.topLeft()));
}

QImage TImage::Rendition(const QRect& part)
{
    TGraphic* content = picture_.Content();
    auto* bitmap = dynamic_cast<TBitmap*>(content);
    if (bitmap != nullptr && bitmap->PixelLayout() == pl24Bit)
        return DisplayRows(*bitmap, PictureArea(), part);
    // Other content is shown through a 24-bit copy; content that cannot give one shows
    // nothing rather than failing on every paint.
    try {
        TBitmap shown;
        shown.CopyFrom(content);
        shown.SetPixelLayout(pl24Bit);
        return DisplayRows(shown, PictureArea(), part);
    } catch (const Exception&) {
        return QImage();
    }
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    RaiseMouseButtonEvent(OnMouseDown, this, *event);
}

// The second press of a double-click is a press (with ssDouble) but not the start of a
// second click: a double-click clicks once.
void TImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    RaiseMouseButtonEvent(OnMouseDown, this, *event);
}

void TImage::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove) {
        const QPoint point = event->position().toPoint();
        OnMouseMove(this, ShiftStateOf(*event), point.x(), point.y());
    }
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = event->button() == Qt::LeftButton && leftPressed_ &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        leftPressed_ = false;
    RaiseMouseButtonEvent(OnMouseUp, this, *event);
    if (click && OnClick)
        OnClick(this);
}

} // namespace mirth
