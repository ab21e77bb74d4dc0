#pragma once
#include <QTimer>

#include <functional>

namespace mirth {

// A toolkit timer whose ticks can also be driven by hand, so that auto-repeat is
// testable without waiting on the clock. Changing the interval of a running timer
// starts its period afresh.
class TRepeatTimer {
public:
    TRepeatTimer();

    std::function<void()> OnTimer;

    void Start(int intervalMs);
    void Stop();
    void SetInterval(int intervalMs);
    int Interval() const { return timer_.interval(); }
    bool Running() const { return timer_.isActive(); }

    // What the timer does when its period has passed.
    void Tick();

private:
    QTimer timer_;
};

} // namespace mirth
