#pragma once
#include <QTimer>

#include "runtime/Classes.h"

namespace mirth {

// A timer component: ticks every Interval milliseconds while Enabled. An interval of 0
// leaves it enabled but silent. Changing either value starts the period afresh; writing
// the value it already has changes nothing.
class TTimer : public TObject {
public:
    explicit TTimer(int intervalMs = 1000);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int Interval() const { return interval_; }
    void SetInterval(int intervalMs);

    TNotifyEvent OnTimer;

    // What the timer does when its period has passed; tests drive ticks through it.
    void Tick();

private:
    void Restart();

    QTimer timer_;
    int interval_;
    bool enabled_ = false;
};

} // namespace mirth
