#include "controls/Slider.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <memory>
#include <optional>

#include "framework/AccessibleEvents.h"
#include "runtime/Exceptions.h"

namespace mirth {
namespace {

// Pixels between the thumb and its tick marks, and the length of the long marks.
constexpr int kTickGap = 3;
constexpr int kLongTick = 5;
constexpr int kShortTick = 3;
// The ruler keeps this far from the client area's ends.
constexpr int kRulerInset = 6;
// Presses this close to the ruler, across it, count as presses on it.
constexpr int kRulerSlack = 3;
constexpr int kRepeatMs = 400;

TSliderPicture ThumbPicture(TSliderOrientation o)
{
    return o == soHorizontal ? spHorizontalThumb : spVerticalThumb;
}

TSliderPicture RulerPicture(TSliderOrientation o)
{
    return o == soHorizontal ? spHorizontalRuler : spVerticalRuler;
}

// The step a key takes; arrows across the ruler take none.
std::optional<TSliderStep> StepOfKey(int key, TSliderOrientation o)
{
    const bool horizontal = o == soHorizontal;
    switch (key) {
    case Qt::Key_Home:
        return ssToMinimum;
    case Qt::Key_End:
        return ssToMaximum;
    case Qt::Key_Left:
        return horizontal ? std::optional(ssStepDown) : std::nullopt;
    case Qt::Key_Right:
        return horizontal ? std::optional(ssStepUp) : std::nullopt;
    case Qt::Key_Up:
        return horizontal ? std::nullopt : std::optional(ssStepUp);
    case Qt::Key_Down:
        return horizontal ? std::nullopt : std::optional(ssStepDown);
    default:
        return std::nullopt;
    }
}

} // namespace

TCustomSlider::TCustomSlider(QWidget* parent) : QWidget(parent)
{
    for (TSliderPicture which : {spHorizontalThumb, spHorizontalRuler, spVerticalThumb, spVerticalRuler})
        pictures_[which] = DefaultSliderPicture(which);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    repeatTimer_.OnTimer = [this] { RepeatStep(); };
    resize(150, 40);
    Relayout();
}

TCustomSlider::~TCustomSlider()
{
    // Nothing the slider does while it goes away may reach its handlers.
    OnChange = nullptr;
    OnChanged = nullptr;
    OnDrawPoints = nullptr;
    OnMouseDown = nullptr;
    OnMouseUp = nullptr;
    OnMouseMove = nullptr;
}

void TCustomSlider::SetValue(int32_t value)
{
    value = std::max(std::min(value, range_.maxValue), range_.minValue);
    const int32_t previous = value_;
    value_ = value;
    PlaceThumb(OffsetOf(value));
    if (value == previous)
        return;
    AnnounceValue(this, value);
    if (OnChange)
        OnChange(this);
}

void TCustomSlider::SetMinValue(int32_t value)
{
    if (value != range_.minValue)
        SetRange(value, range_.maxValue);
}

void TCustomSlider::SetMaxValue(int32_t value)
{
    if (value != range_.maxValue)
        SetRange(range_.minValue, value);
}

void TCustomSlider::SetRange(int32_t minValue, int32_t maxValue)
{
    if (minValue >= maxValue)
        return;
    range_.minValue = minValue;
    range_.maxValue = maxValue;
    const int64_t span = int64_t{maxValue} - minValue;
    if (span < range_.increment)
        range_.increment = static_cast<int32_t>(span);
    if (options_.Contains(soShowPoints))
        update();
    SetValue(value_);
}

void TCustomSlider::SetIncrement(int32_t value)
{
    const int64_t span = int64_t{range_.maxValue} - range_.minValue;
    if (value <= 0 || value > span)
        throw Exception(Format("Value must be between %d and %lld", 1, static_cast<long long>(span)));
    if (value == range_.increment)
        return;
    range_.increment = value;
    SetValue(value_);
    update();
}

void TCustomSlider::SetOrientation(TSliderOrientation orientation)
{
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    resize(height(), width());
    Relayout();
}

void TCustomSlider::SetOptions(TSliderOptions options)
{
    if (options == options_)
        return;
    options_ = options;
    update();
}

void TCustomSlider::SetNumThumbStates(int states)
{
    if (states < 1 || states > 2 || states == numThumbStates_)
        return;
    numThumbStates_ = states;
    Relayout();
}

void TCustomSlider::SetEdgeSize(int32_t edge)
{
    const QImage& ruler = pictures_[RulerPicture(orientation_)];
    const int length = Horizontal() ? ruler.width() : ruler.height();
    // A negative edge would have the ruler built from outside its picture.
    if (edge < 0 || 2 * int64_t{edge} >= length || edge == edgeSize_)
        return;
    edgeSize_ = edge;
    Relayout();
}

void TCustomSlider::SetBevelStyle(TBevelCut style)
{
    if (style == bevelStyle_)
        return;
    bevelStyle_ = style;
    Relayout();
    update();
}

void TCustomSlider::SetPicture(TSliderPicture which, const QImage& picture)
{
    if (picture.isNull()) {
        pictures_[which] = DefaultSliderPicture(which);
        const bool thumb = which == spHorizontalThumb || which == spVerticalThumb;
        options_ = options_.Without(thumb ? soThumbOpaque : soRulerOpaque);
    } else {
        pictures_[which] = picture.convertToFormat(QImage::Format_ARGB32);
    }
    Relayout();
    update();
}

QRect TCustomSlider::ClientRect() const
{
    const int bevel = bevelStyle_ == bvNone ? 0 : 1;
    return rect().adjusted(bevel, bevel, -bevel, -bevel);
}

QSize TCustomSlider::ThumbSize() const
{
    const QImage& thumb = pictures_[ThumbPicture(orientation_)];
    return QSize(thumb.width() / numThumbStates_, thumb.height());
}

int TCustomSlider::RulerStart() const
{
    const QRect client = ClientRect();
    return (Horizontal() ? client.left() : client.top()) + kRulerInset;
}

int TCustomSlider::Travel() const
{
    const QSize thumb = ThumbSize();
    return Horizontal() ? ruler_.width() - thumb.width() : ruler_.height() - thumb.height();
}

int TCustomSlider::OffsetOf(int32_t value) const
{
    const int along = OffsetOfValue(range_, Travel(), value);
    if (Horizontal())
        return RulerStart() + along;
    // Larger values lie higher.
    const QRect client = ClientRect();
    const int bottom = client.top() + client.height();
    return std::max(bottom - kRulerInset - along - ThumbSize().height(), RulerStart());
}

int32_t TCustomSlider::ValueAt(int offset) const
{
    const int fromStart = Horizontal() ? offset - RulerStart()
                                       : height() - offset - ThumbSize().height() - RulerStart();
    return ValueOfOffset(range_, Travel(), fromStart, options_.Contains(soSmooth));
}

void TCustomSlider::Relayout()
{
    const QRect client = ClientRect();
    const QImage& rulerPicture = pictures_[RulerPicture(orientation_)];
    const QSize thumb = ThumbSize();
    const int length = std::max((Horizontal() ? client.width() : client.height()) - 2 * kRulerInset, 0);
    ruler_ = StretchRuler(rulerPicture, edgeSize_, length, Horizontal() ? Qt::Horizontal : Qt::Vertical);
    transparentRuler_ = WithTransparentColor(ruler_);
    transparentThumb_ = WithTransparentColor(pictures_[ThumbPicture(orientation_)]);
    // Thumb and tick marks are centred together across the client area.
    if (Horizontal()) {
        const int depth = thumb.height() + kTickGap + kLongTick;
        const int top = client.top() + std::max((client.height() - depth) / 2, 0);
        rulerAt_ = QPoint(RulerStart(), top + (thumb.height() - rulerPicture.height()) / 2);
        thumb_ = QRect(thumb_.left(), top, thumb.width(), thumb.height());
        tickArea_ = QRect(RulerStart(), top + thumb.height() + kTickGap, length, kLongTick);
    } else {
        const int depth = thumb.width() + kTickGap + kLongTick;
        const int left = client.left() + std::max((client.width() - depth) / 2, 0);
        rulerAt_ = QPoint(left + (thumb.width() - rulerPicture.width()) / 2, RulerStart());
        thumb_ = QRect(left, thumb_.top(), thumb.width(), thumb.height());
        tickArea_ = QRect(left + thumb.width() + kTickGap, RulerStart(), kLongTick, length);
    }
    update();
    SetValue(value_);
}

void TCustomSlider::PlaceThumb(int offset)
{
    const int last = RulerStart() + Travel();
    offset = std::min(std::max(offset, RulerStart()), last);
    offset = std::min(OffsetOf(ValueAt(offset)), last);
    update(thumb_);
    if (Horizontal())
        thumb_.moveLeft(offset);
    else
        thumb_.moveTop(offset);
    update(thumb_);
}

void TCustomSlider::TakeStep(TSliderStep step)
{
    const int32_t value = SteppedValue(range_, value_, step);
    if (value != value_)
        SetValue(value);
}

void TCustomSlider::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const std::optional<TSliderStep> step = plain ? StepOfKey(event->key(), orientation_) : std::nullopt;
    if (!step) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    TakeStep(*step);
    if (OnChanged)
        OnChanged(this);
}

TCustomSlider::TDirection TCustomSlider::DirectionOf(const QPoint& point) const
{
    if (Horizontal()) {
        if (point.x() < thumb_.left())
            return TDirection::Down;
        return point.x() > thumb_.right() ? TDirection::Up : TDirection::None;
    }
    if (point.y() < thumb_.top())
        return TDirection::Up;
    return point.y() > thumb_.bottom() ? TDirection::Down : TDirection::None;
}

// Runs at the press and on every tick while the ruler is held: steps on towards the
// pointer until the thumb has reached or passed it.
void TCustomSlider::RepeatStep()
{
    const TDirection direction = DirectionOf(trackPoint_);
    if (direction != trackDirection_)
        return;
    if (direction != TDirection::None)
        TakeStep(direction == TDirection::Up ? ssStepUp : ssStepDown);
    if (!repeatTimer_.Running())
        repeatTimer_.Start(kRepeatMs);
}

void TCustomSlider::mousePressEvent(QMouseEvent* event)
{
    RaiseMouseButtonEvent(OnMouseDown, this, *event);
    if (event->button() == Qt::RightButton)
        rightReleasePending_ = true;
    if (event->button() != Qt::LeftButton)
        return;
    if (isEnabled() && (focusPolicy() & Qt::ClickFocus))
        setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    QRect rulerArea = RulerRect();
    rulerArea = Horizontal() ? rulerArea.adjusted(0, -kRulerSlack, 0, kRulerSlack)
                             : rulerArea.adjusted(-kRulerSlack, 0, kRulerSlack, 0);
    if (thumb_.contains(point)) {
        dragging_ = true;
        pressed_ = true;
        grabOffset_ = Along(point) - Along(thumb_.topLeft());
        repaint(thumb_);
    } else if (rulerArea.contains(point)) {
        tracking_ = true;
        trackPoint_ = point;
        trackDirection_ = DirectionOf(point);
        RepeatStep();
    }
}

void TCustomSlider::mouseDoubleClickEvent(QMouseEvent* event)
{
    RaiseMouseButtonEvent(OnMouseDown, this, *event);
}

void TCustomSlider::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (dragging_) {
        PlaceThumb(Along(point) - grabOffset_);
        SetValue(ValueAt(Along(thumb_.topLeft())));
    } else if (tracking_) {
        trackPoint_ = point;
    }
    UpdateCursor(point);
    if (OnMouseMove)
        OnMouseMove(this, ShiftStateOf(*event), point.x(), point.y());
}

void TCustomSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (tracking_)
        EndTracking();
    if (dragging_ && event->button() == Qt::LeftButton)
        EndDragging();
    if (event->button() == Qt::RightButton) {
        if (!rightReleasePending_)
            return; // raised already, when the menu opened
        rightReleasePending_ = false;
    }
    RaiseMouseButtonEvent(OnMouseUp, this, *event);
}

// A right press opens the window's menu at once, and the menu takes the release for
// itself: the release the press will not get here is raised now. The menu is the
// parent's to open.
void TCustomSlider::contextMenuEvent(QContextMenuEvent* event)
{
    event->ignore();
    if (event->reason() != QContextMenuEvent::Mouse || !rightReleasePending_)
        return;
    rightReleasePending_ = false;
    const QMouseEvent release(QEvent::MouseButtonRelease, event->pos(), event->globalPos(), Qt::RightButton,
                              Qt::NoButton, event->modifiers());
    RaiseMouseButtonEvent(OnMouseUp, this, release);
}

void TCustomSlider::EndTracking()
{
    repeatTimer_.Stop();
    tracking_ = false;
    if (OnChanged)
        OnChanged(this);
}

void TCustomSlider::EndDragging()
{
    dragging_ = false;
    pressed_ = false;
    repaint(thumb_);
    if (OnChanged)
        OnChanged(this);
}

void TCustomSlider::EndPressWithoutRelease()
{
    if (tracking_)
        EndTracking();
    if (dragging_)
        EndDragging();
}

void TCustomSlider::UpdateCursor(const QPoint& point)
{
    const bool overThumb = thumb_.contains(point);
    if (overThumb && cursor().shape() != Qt::PointingHandCursor)
        setCursor(Qt::PointingHandCursor);
    else if (!overThumb && testAttribute(Qt::WA_SetCursor))
        unsetCursor();
}

void TCustomSlider::focusInEvent(QFocusEvent* event)
{
    if (options_.Contains(soShowFocus))
        update();
    QWidget::focusInEvent(event);
}

void TCustomSlider::focusOutEvent(QFocusEvent* event)
{
    if (options_.Contains(soShowFocus))
        update();
    QWidget::focusOutEvent(event);
}

void TCustomSlider::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update(thumb_);
    QWidget::changeEvent(event);
}

void TCustomSlider::resizeEvent(QResizeEvent* event)
{
    Relayout();
    QWidget::resizeEvent(event);
}

void TCustomSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBevel(painter, rect(), bevelStyle_);
    const QRect client = ClientRect();
    painter.fillRect(client, palette().window());
    painter.drawImage(rulerAt_, options_.Contains(soRulerOpaque) ? ruler_ : transparentRuler_);
    if (options_.Contains(soShowFocus) && hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        // Styles draw the rectangle only after a keyboard focus change; the slider shows it
        // whenever it has the focus, also after a click.
        focus.state |= QStyle::State_KeyboardFocusChange;
        focus.rect = client.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    if (options_.Contains(soShowPoints)) {
        if (OnDrawPoints) {
            // Cleared however the handler leaves, so Canvas() never outlives the painter.
            std::unique_ptr<QPainter*, void (*)(QPainter**)> lend(&canvas_, [](QPainter** c) { *c = nullptr; });
            canvas_ = &painter;
            OnDrawPoints(this);
        } else {
            DrawTickMarks(painter);
        }
    }
    const int state = numThumbStates_ == 2 && (pressed_ || !isEnabled()) ? 1 : 0;
    const QImage& thumb =
        options_.Contains(soThumbOpaque) ? pictures_[ThumbPicture(orientation_)] : transparentThumb_;
    painter.drawImage(thumb_.topLeft(), thumb, QRect(QPoint(state * thumb_.width(), 0), thumb_.size()));
}

void TCustomSlider::DrawTickMarks(QPainter& painter)
{
    painter.setPen(palette().color(QPalette::WindowText));
    const int halfThumb = Along(QPoint(thumb_.width(), thumb_.height())) / 2;
    for (int32_t value : TickValues(range_, std::max(Travel(), 0))) {
        const int centre = OffsetOf(value) + halfThumb;
        const int length = value == range_.minValue || value == range_.maxValue ? kLongTick : kShortTick;
        if (Horizontal())
            painter.drawLine(centre, tickArea_.top(), centre, tickArea_.top() + length - 1);
        else
            painter.drawLine(tickArea_.left(), centre, tickArea_.left() + length - 1, centre);
    }
}

} // namespace mirth
