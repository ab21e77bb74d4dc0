#pragma once
#include <QApplication>

#include <memory>
#include <string>

#include "runtime/Exceptions.h"

namespace mirth {

enum class TMessageIcon { None, Error };

// One message box as the user would see it.
struct TMessageReport {
    TMessageIcon icon = TMessageIcon::None;
    std::string caption;
    std::string text;
    friend bool operator==(const TMessageReport&, const TMessageReport&) = default;
};

// Where message boxes and beeps go. The desktop one shows modal boxes; tests put in a
// recorder so that nothing ever waits for a click.
class TUserNotifier {
public:
    virtual ~TUserNotifier() = default;
    virtual void ShowMessageBox(const TMessageReport& report) = 0;
    virtual void Beep() = 0;
};

class TDesktopNotifier : public TUserNotifier {
public:
    void ShowMessageBox(const TMessageReport& report) override;
    void Beep() override;
};

// The program's application object. Any exception that leaves an event handler, a signal
// handler or a timer tick ends up here and is shown as the default error report (a failed
// allocation as "Out of system resources", the standard library's with their own text); the event
// loop then carries on (and a QTimer keeps running, since nothing stops it). While one
// error report is on screen, further errors are not shown: a timer failing on every tick
// would otherwise stack a new modal box on each tick until the stack gave out.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    void ShowException(const Exception& error);
    void ShowMessage(const std::string& text);
    void Beep();

    // Replaces where reports go and returns the previous notifier.
    std::unique_ptr<TUserNotifier> SetNotifier(std::unique_ptr<TUserNotifier> notifier);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::string title_;
    std::unique_ptr<TUserNotifier> notifier_;
    bool showingError_ = false;
};

// The running application object, or null when the process has none of ours.
TApplication* Application();

// The text of the default error report: the message with a full stop appended when its
// last character sorts after ".".
std::string ErrorReportText(const std::string& message);

// Work for code that may run without our application object (a plain QApplication).
void ShowException(const Exception& error);
void Beep();

} // namespace mirth
