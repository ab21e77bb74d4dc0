#include "framework/Application.h"

#include <QMessageBox>

#include <new>

namespace mirth {

void TDesktopNotifier::ShowMessageBox(const TMessageReport& report)
{
    const auto icon = report.icon == TMessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon;
    QMessageBox box(icon, QString::fromStdString(report.caption), QString::fromStdString(report.text),
                    QMessageBox::Ok);
    box.exec();
}

void TDesktopNotifier::Beep()
{
    QApplication::beep();
}

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv), notifier_(std::make_unique<TDesktopNotifier>())
{
}

TApplication::~TApplication() = default;

std::string ErrorReportText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

void TApplication::ShowException(const Exception& error)
{
    if (showingError_)
        return;
    showingError_ = true;
    struct Shown {
        bool& flag;
        ~Shown() { flag = false; }
    } shown{showingError_};
    notifier_->ShowMessageBox({TMessageIcon::Error, title_, ErrorReportText(error.Message())});
}

void TApplication::ShowMessage(const std::string& text)
{
    notifier_->ShowMessageBox({TMessageIcon::None, title_, text});
}

void TApplication::Beep()
{
    notifier_->Beep();
}

std::unique_ptr<TUserNotifier> TApplication::SetNotifier(std::unique_ptr<TUserNotifier> notifier)
{
    std::swap(notifier, notifier_);
    return notifier;
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Exception& error) {
        ShowException(error);
    } catch (const std::bad_alloc&) {
        // A picture too big for the memory left is the user's to hear about, not a
        // reason to lose everything else in the window.
        ShowException(EOutOfResources("Out of system resources"));
    } catch (const std::exception& error) {
        ShowException(Exception(error.what()));
    }
    return true;
}

TApplication* Application()
{
    return dynamic_cast<TApplication*>(QCoreApplication::instance());
}

void ShowException(const Exception& error)
{
    if (TApplication* application = Application())
        application->ShowException(error);
    else
        TDesktopNotifier().ShowMessageBox({TMessageIcon::Error, "", ErrorReportText(error.Message())});
}

void Beep()
{
    if (TApplication* application = Application())
        application->Beep();
    else
        QApplication::beep();
}

} // namespace mirth
