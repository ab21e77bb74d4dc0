#pragma once
#include <QObject>

#include <functional>

class QWidget;

namespace mirth {

// Ends a mouse press on a control when the release that would end it is never coming: a
// disabled or hidden widget is sent no more mouse events, and a modal box that opens during
// the press blocks the window and takes the release for itself (a move that arrives later
// comes without the button). Left alone, a repeat would go on stepping with nobody holding
// the button, and a grabbed thumb would stay grabbed.
class TPressGuard : public QObject {
public:
    // Watches `widget` from now on. `endPress` runs at each such event, whether or not a
    // press is on, so it must do nothing when none is.
    TPressGuard(QWidget& widget, std::function<void()> endPress);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& widget_;
    std::function<void()> endPress_;
};

} // namespace mirth
