#include "framework/PressGuard.h"

#include <QMouseEvent>
#include <QWidget>

namespace mirth {

namespace {

bool EndsPress(const QWidget& widget, const QEvent& event)
{
    switch (event.type()) {
    case QEvent::EnabledChange:
        return !widget.isEnabled();
    case QEvent::Hide:
    case QEvent::WindowBlocked:
        return true;
    case QEvent::MouseMove:
        return !(static_cast<const QMouseEvent&>(event).buttons() & Qt::LeftButton);
    default:
        return false;
    }
}

} // namespace

TPressGuard::TPressGuard(QWidget& widget, std::function<void()> endPress)
    : widget_(widget), endPress_(std::move(endPress))
{
    widget_.installEventFilter(this);
}

// Looks only: the widget still gets every event, after the press has been ended.
bool TPressGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &widget_ && EndsPress(widget_, *event))
        endPress_();
    return false;
}

} // namespace mirth
