#pragma once
// Helpers for the widget tests.
#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/RepeatTimer.h"

namespace mirth::testing {

// Catches every message box and beep while it lives, and puts the previous notifier back.
class RecordedNotices {
public:
    RecordedNotices()
    {
        auto recorder = std::make_unique<Recorder>();
        recorder_ = recorder.get();
        previous_ = Application()->SetNotifier(std::move(recorder));
    }
    ~RecordedNotices() { Application()->SetNotifier(std::move(previous_)); }

    const std::vector<TMessageReport>& Reports() const { return recorder_->reports; }
    int Beeps() const { return recorder_->beeps; }

private:
    struct Recorder : TUserNotifier {
        void ShowMessageBox(const TMessageReport& report) override { reports.push_back(report); }
        void Beep() override { ++beeps; }
        std::vector<TMessageReport> reports;
        int beeps = 0;
    };
    Recorder* recorder_;
    std::unique_ptr<TUserNotifier> previous_;
};

// Lets `ms` milliseconds pass for a repeat timer started just now: every period that
// completes ticks it, and a tick may change the period.
inline void LetTimePass(TRepeatTimer& timer, int ms)
{
    int elapsed = 0;
    while (timer.Running() && timer.Interval() > 0 && elapsed + timer.Interval() <= ms) {
        elapsed += timer.Interval();
        timer.Tick();
    }
}

} // namespace mirth::testing
