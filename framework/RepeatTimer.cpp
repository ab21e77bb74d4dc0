#include "framework/RepeatTimer.h"

namespace mirth {

TRepeatTimer::TRepeatTimer()
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

void TRepeatTimer::Start(int intervalMs)
{
    timer_.start(intervalMs);
}

void TRepeatTimer::Stop()
{
    timer_.stop();
}

void TRepeatTimer::SetInterval(int intervalMs)
{
    timer_.setInterval(intervalMs);
}

void TRepeatTimer::Tick()
{
    if (OnTimer)
        OnTimer();
}

} // namespace mirth
