#include "framework/Timer.h"

namespace mirth {

TTimer::TTimer(int intervalMs) : interval_(intervalMs)
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Restart();
}

void TTimer::SetInterval(int intervalMs)
{
    if (interval_ == intervalMs)
        return;
    interval_ = intervalMs;
    Restart();
}

void TTimer::Restart()
{
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
    else
        timer_.stop();
}

void TTimer::Tick()
{
    if (OnTimer)
        OnTimer(this);
}

} // namespace mirth
