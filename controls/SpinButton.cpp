#include "controls/SpinButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>

#include "framework/Bevel.h"

namespace mirth {
namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;

// A widget takes the focus from a click only when it is in the tab chain and can be focused.
bool TakesFocus(const QWidget* widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() && widget->isVisible();
}

} // namespace

QImage DefaultSpinGlyph(bool up)
{
    QImage glyph(9, 6, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    // A 7-pixel wide triangle over four rows, pointing the button's way.
    const QPolygon arrow = up ? QPolygon({QPoint(1, 4), QPoint(8, 4), QPoint(4, 0)})
                              : QPolygon({QPoint(1, 1), QPoint(8, 1), QPoint(4, 5)});
    painter.drawPolygon(arrow);
    return glyph;
}

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void TTimerSpeedButton::SetTimeBtnState(TTimeBtnStates states)
{
    if (states == states_)
        return;
    states_ = states;
    update();
}

void TTimerSpeedButton::SetGlyph(const QImage& glyph)
{
    glyph_ = glyph;
    update();
}

void TTimerSpeedButton::Click()
{
    if (OnClick)
        OnClick(this);
}

bool TTimerSpeedButton::InClickArea(const QPoint& point) const
{
    return point.x() >= 0 && point.x() < width() && point.y() >= 0 && point.y() <= height();
}

void TTimerSpeedButton::SetDown(bool down)
{
    if (down == down_)
        return;
    down_ = down;
    update();
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled()) {
        held_ = true;
        SetDown(true);
    }
    RaiseMouseButtonEvent(OnMouseDown, this, *event);
    if (states_.Contains(tbAllowTimer)) {
        if (!timer_) {
            timer_ = std::make_unique<TRepeatTimer>();
            timer_->OnTimer = [this] { TimerTick(); };
        }
        timer_->Start(kFirstRepeatMs);
    }
}

void TTimerSpeedButton::TimerTick()
{
    timer_->SetInterval(kRepeatMs);
    if (!down_ || !held_)
        return;
    try {
        Click();
    } catch (...) {
        // A click that fails must not keep failing ten times a second.
        timer_->Stop();
        throw;
    }
}

void TTimerSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    if (held_)
        SetDown(rect().contains(event->position().toPoint()));
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (timer_)
        timer_->Stop();
    if (event->button() != Qt::LeftButton || !held_)
        return;
    held_ = false;
    SetDown(false);
    if (InClickArea(event->position().toPoint()))
        Click();
}

void TTimerSpeedButton::EndPressWithoutRelease()
{
    if (timer_)
        timer_->Stop();
    held_ = false;
    SetDown(false);
}

void TTimerSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawButtonFace(painter, rect(), down_);
    const int shift = down_ ? 1 : 0;
    if (!glyph_.isNull()) {
        const QPoint at((width() - glyph_.width()) / 2 + shift, (height() - glyph_.height()) / 2 + shift);
        if (!isEnabled())
            painter.setOpacity(0.4);
        painter.drawImage(at, glyph_);
        painter.setOpacity(1.0);
    }
    if (states_.Contains(tbFocusRect)) {
        QPen dotted(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(3 + shift, 3 + shift, -4 + shift, -4 + shift));
    }
}

TSpinButton::TSpinButton(QWidget* parent) : QWidget(parent)
{
    up_ = MakeButton(&OnUpClick, DefaultSpinGlyph(true));
    down_ = MakeButton(&OnDownClick, DefaultSpinGlyph(false));
    focused_ = up_;
    setFocusPolicy(Qt::NoFocus);
    setMinimumWidth(15);
    resize(20, 25);
    LayOutButtons();
}

TTimerSpeedButton* TSpinButton::MakeButton(TNotifyEvent* handler, const QImage& glyph)
{
    auto* button = new TTimerSpeedButton(this);
    button->SetGlyph(glyph);
    button->SetTimeBtnState({tbAllowTimer});
    button->OnClick = [this, handler](TObject*) {
        if (*handler)
            (*handler)(this);
    };
    button->OnMouseDown = [this, button](TObject*, TMouseButton pressed, TShiftState, int32_t, int32_t) {
        if (pressed == mbLeft)
            ButtonPressed(button);
    };
    return button;
}

void TSpinButton::SetUpGlyph(const QImage& glyph)
{
    up_->SetGlyph(glyph.isNull() ? DefaultSpinGlyph(true) : glyph);
}

void TSpinButton::SetDownGlyph(const QImage& glyph)
{
    down_->SetGlyph(glyph.isNull() ? DefaultSpinGlyph(false) : glyph);
}

void TSpinButton::ButtonPressed(TTimerSpeedButton* button)
{
    if (TakesFocus(this))
        SetFocusedButton(button);
    if (focusControl_ && TakesFocus(focusControl_) && !focusControl_->hasFocus())
        focusControl_->setFocus(Qt::MouseFocusReason);
    else if (TakesFocus(this) && !hasFocus())
        setFocus(Qt::MouseFocusReason);
}

void TSpinButton::SetFocusedButton(TTimerSpeedButton* button)
{
    ShowFocus(false);
    focused_ = button;
    ShowFocus(hasFocus());
}

void TSpinButton::ShowFocus(bool shown)
{
    const TTimeBtnStates states = focused_->TimeBtnState();
    focused_->SetTimeBtnState(shown ? states.With(tbFocusRect) : states.Without(tbFocusRect));
}

void TSpinButton::resizeEvent(QResizeEvent* event)
{
    LayOutButtons();
    QWidget::resizeEvent(event);
}

void TSpinButton::LayOutButtons()
{
    const int upHeight = height() / 2;
    up_->setGeometry(0, 0, width(), upHeight);
    // The down button overlaps the up button's bottom row so that they share one edge.
    down_->setGeometry(0, upHeight - 1, width(), height() - upHeight + 1);
}

void TSpinButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        focused_->Click();
        break;
    case Qt::Key_Up:
        SetFocusedButton(up_);
        up_->Click();
        break;
    case Qt::Key_Down:
        SetFocusedButton(down_);
        down_->Click();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TSpinButton::focusInEvent(QFocusEvent* event)
{
    ShowFocus(true);
    QWidget::focusInEvent(event);
}

void TSpinButton::focusOutEvent(QFocusEvent* event)
{
    ShowFocus(false);
    QWidget::focusOutEvent(event);
}

} // namespace mirth
