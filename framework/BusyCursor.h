#pragma once
#include <QGuiApplication>

namespace mirth {

// The wait cursor while a command works on a picture: on a 24-megapixel photograph a
// turn, a save or a paste takes long enough that a still arrow looks like a hang. The
// cursor comes back when the command ends, by failure as well, or earlier with End(),
// before anything is shown that waits for the user.
class TBusyCursor {
public:
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { End(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

    void End()
    {
        if (busy_)
            QGuiApplication::restoreOverrideCursor();
        busy_ = false;
    }

private:
    bool busy_ = true;
};

} // namespace mirth
