#include "framework/BackgroundWork.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>
#include <thread>

namespace mirth {

namespace {

std::function<void(TProgressWindow&)>& Watch()
{
    static std::function<void(TProgressWindow&)> watch;
    return watch;
}

} // namespace

TProgressWindow::TProgressWindow(QWidget* parent, const QString& caption, int32_t total)
    : QDialog(parent), label_(new QLabel(this)), bar_(new QProgressBar(this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)), total_(total)
{
    setWindowTitle(caption);
    setWindowModality(Qt::WindowModal);
    bar_->setRange(0, total);
    auto* column = new QVBoxLayout(this);
    column->addWidget(label_);
    column->addWidget(bar_);
    column->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, &TProgressWindow::reject);
    setMinimumWidth(280);
    Display(0);
}

void TProgressWindow::Display(int32_t done)
{
    label_->setText(cancelled_ ? QStringLiteral("Cancelling...")
                               : QStringLiteral("%1 of %2 frames done").arg(done).arg(total_));
    bar_->setValue(done);
}

void TProgressWindow::Show(int32_t done)
{
    Display(done);
    if (Watch())
        Watch()(*this);
}

// Cancel only asks the work to stop; the window stays until the work has ended.
void TProgressWindow::reject()
{
    cancelled_ = true;
    cancel_->setEnabled(false);
    Display(bar_->value());
}

bool RunWithProgress(QWidget* parent, const QString& caption, int32_t total, const TSteppedWork& work)
{
    TProgressWindow window(parent, caption, total);
    window.show();
    QEventLoop loop;
    std::exception_ptr failure;
    // Posted in order from the one worker: every count reaches the window before the end.
    std::jthread worker([&] {
        try {
            work([&](int32_t done) {
                QMetaObject::invokeMethod(&window, [&window, done] { window.Show(done); }, Qt::QueuedConnection);
                return !window.Cancelled();
            });
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    window.hide();
    // Without a window manager nobody gives the window back the keyboard, and its
    // shortcuts would stay dead.
    if (parent != nullptr)
        parent->window()->activateWindow();
    if (failure && !window.Cancelled())
        std::rethrow_exception(failure);
    return !window.Cancelled();
}

void SetProgressWatch(std::function<void(TProgressWindow&)> watch)
{
    Watch() = std::move(watch);
}

} // namespace mirth
