#pragma once
#include <QDialog>

#include <atomic>
#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace mirth {

// Counts steps done and answers whether to go on; called from the work's own thread.
using TStepReport = std::function<bool(int32_t done)>;
using TSteppedWork = std::function<void(const TStepReport& step)>;

// The dialog a long piece of work shows: steps done of steps to do, and Cancel. Closing
// it counts as Cancel.
class TProgressWindow : public QDialog {
public:
    TProgressWindow(QWidget* parent, const QString& caption, int32_t total);
    void Show(int32_t done);
    bool Cancelled() const { return cancelled_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    void reject() override;

private:
    void Display(int32_t done);
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    int32_t total_;
    std::atomic<bool> cancelled_{false}; // read by the work's thread
};

// Runs work on a thread of its own while a progress window, modal to parent's window,
// keeps the window painting and its timers ticking but its commands waiting. Returns
// once the work has ended: true when it ran to its end and nobody cancelled first, false
// after Cancel, whatever the work finished. A failure of the work is thrown here, on
// the calling thread.
bool RunWithProgress(QWidget* parent, const QString& caption, int32_t total, const TSteppedWork& work);

// For tests: called on the window's thread each time the progress window shows a new count.
void SetProgressWatch(std::function<void(TProgressWindow&)> watch);

} // namespace mirth
