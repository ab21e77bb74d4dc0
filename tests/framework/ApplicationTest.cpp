#include "framework/Application.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/QtTesting.h"

namespace mirth {
namespace {

using testing::RecordedNotices;

TEST(ErrorReportText, AddsAFullStopOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(ErrorReportText("Bitmap image is not valid"), "Bitmap image is not valid.");
    EXPECT_EQ(ErrorReportText("JPEG error #42"), "JPEG error #42.");
    EXPECT_EQ(ErrorReportText("Done."), "Done.");
    EXPECT_EQ(ErrorReportText("Really!"), "Really!");
    EXPECT_EQ(ErrorReportText("(a, b)"), "(a, b)");
    EXPECT_EQ(ErrorReportText("path/"), "path/.");
    EXPECT_EQ(ErrorReportText(""), "");
    EXPECT_EQ(ErrorReportText("caf\xC3\xA9"), "caf\xC3\xA9.");
}

TEST(Application, ShowsAFailedSignalHandlerAndCarriesOn)
{
    RecordedNotices notices;
    QPushButton button("Go");
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        throw EInvalidGraphic("Bitmap image is not valid");
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(notices.Reports().size(), 2u);
    EXPECT_EQ(notices.Reports()[0],
              (TMessageReport{TMessageIcon::Error, "Mirthlens", "Bitmap image is not valid."}));
}

TEST(Application, ReportsFailuresFromBelowOurCodeLikeOurOwn)
{
    RecordedNotices notices;
    QPushButton button("Go");
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        if (++clicks == 1)
            throw std::bad_alloc();
        (void)std::string("short").at(10);
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(notices.Reports().size(), 2u);
    EXPECT_EQ(notices.Reports()[0].text, "Out of system resources.");
    EXPECT_EQ(notices.Reports()[1].icon, TMessageIcon::Error);
    EXPECT_NE(notices.Reports()[1].text.find("basic_string"), std::string::npos);
}

TEST(Application, KeepsAFailingTimerRunning)
{
    RecordedNotices notices;
    QTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        throw Exception("Tick failed");
    });
    timer.start(0);
    // A zero-interval timer ticks on every pass of the loop: no waiting on the clock.
    for (int pass = 0; pass < 100 && ticks < 3; ++pass)
        QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(notices.Reports().size(), 3u);
}

TEST(Application, ShowsOneErrorAtATime)
{
    // Stands for a modal box during which a timer fails again.
    struct Reentering : TUserNotifier {
        void ShowMessageBox(const TMessageReport& report) override
        {
            shown.push_back(report.text);
            if (shown.size() < 5)
                Application()->ShowException(Exception("again"));
        }
        void Beep() override {}
        std::vector<std::string> shown;
    };
    auto owned = std::make_unique<Reentering>();
    Reentering* notifier = owned.get();
    auto previous = Application()->SetNotifier(std::move(owned));
    Application()->ShowException(Exception("first"));
    Application()->ShowException(Exception("second"));
    EXPECT_EQ(notifier->shown, (std::vector<std::string>{"first.", "second."}));
    Application()->SetNotifier(std::move(previous));
}

TEST(Application, ShowsPlainMessagesAndBeeps)
{
    RecordedNotices notices;
    Application()->ShowMessage("Cannot open file");
    Beep();
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0], (TMessageReport{TMessageIcon::None, "Mirthlens", "Cannot open file"}));
    EXPECT_EQ(notices.Beeps(), 1);
}

} // namespace
} // namespace mirth
