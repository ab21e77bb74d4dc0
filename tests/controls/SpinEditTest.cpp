#include "controls/SpinEdit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QTest>
#include <QVBoxLayout>

#include "runtime/Exceptions.h"
#include "support/QtTesting.h"

namespace mirth {
namespace {

using testing::LetTimePass;
using testing::RecordedNotices;

// One of the workspace's interval editors, next to another control to take the focus.
class IntervalEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        edit = new TSpinEdit;
        other = new QLineEdit;
        layout->addWidget(edit);
        layout->addWidget(other);
        edit->SetIncrement(50);
        edit->SetMaxValue(900);
        edit->SetMinValue(50);
        edit->SetValue(0);
        edit->OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, edit);
            ++changes;
        };
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }

    void SetText(const char* text)
    {
        edit->setText(text);
        changes = 0;
    }

    QWidget window;
    TSpinEdit* edit;
    QLineEdit* other;
    int changes = 0;
    RecordedNotices notices;
};

TEST_F(IntervalEdit, WritingClampsAndReportsOnlyNewText)
{
    EXPECT_EQ(edit->text(), "50");
    edit->SetValue(200);
    edit->SetValue(200);
    edit->SetValue(1000);
    EXPECT_EQ(edit->text(), "900");
    EXPECT_EQ(changes, 2);
}

TEST_F(IntervalEdit, ArrowKeysStepWithinTheBounds)
{
    SetText("200");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "250");
    EXPECT_EQ(changes, 1);
    SetText("50");
    QTest::keyClick(edit, Qt::Key_Down);
    SetText("900");
    QTest::keyClick(edit, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(changes, 0);
    SetText("75");
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "50");
}

TEST_F(IntervalEdit, TypedValuesStayUntilTheFocusLeaves)
{
    SetText("");
    QTest::keyClicks(edit, "1000");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(edit->Value(), 1000);
    other->setFocus();
    EXPECT_EQ(edit->text(), "900");
    EXPECT_EQ(changes, 5);
}

// Another window taking the focus for a while is not leaving the control: typing goes on
// where it stopped when the window comes back.
TEST_F(IntervalEdit, SwitchingWindowsLeavesAHalfTypedValueAlone)
{
    SetText("");
    QTest::keyClicks(edit, "15");
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_EQ(edit->text(), "15");
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(edit->hasFocus());
    QTest::keyClicks(edit, "0");
    EXPECT_EQ(edit->text(), "150");
}

TEST_F(IntervalEdit, UnparsableTextReadsAsMinValueAndIsKept)
{
    SetText("");
    EXPECT_EQ(edit->Value(), 50);
    other->setFocus();
    EXPECT_EQ(edit->text(), "");
    SetText("-");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "100");
}

TEST_F(IntervalEdit, RefusesCharactersOtherThanDigitsAndSignsWithABeep)
{
    SetText("");
    QTest::keyClicks(edit, "4a-");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "4-");
    EXPECT_EQ(notices.Beeps(), 2);
}

TEST_F(IntervalEdit, WithoutTheEditorOnlyTheArrowsChangeTheText)
{
    edit->SetEditorEnabled(false);
    SetText("300");
    edit->selectAll();
    QTest::keyClicks(edit, "7");
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "300");
    EXPECT_EQ(notices.Beeps(), 3);
    QGuiApplication::clipboard()->setText("$10");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "300");
    EXPECT_EQ(notices.Beeps(), 3);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "350");
}

TEST_F(IntervalEdit, ReadOnlyBeepsInsteadOfStepping)
{
    edit->SetReadOnly(true);
    SetText("300");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "300");
    EXPECT_EQ(notices.Beeps(), 1);
}

TEST_F(IntervalEdit, PastedHexadecimalReadsAsItsValue)
{
    SetText("");
    QGuiApplication::clipboard()->setText("$10");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "$10");
    EXPECT_EQ(edit->Value(), 16);
    other->setFocus();
    EXPECT_EQ(edit->text(), "50");
}

// The window's commands have Ctrl+letter shortcuts, Copy and Paste among them, that must
// work while an interval editor has the focus; the editor's other keys stay its own.
TEST_F(IntervalEdit, LeavesTheWindowsShortcutsToTheWindow)
{
    std::string triggered;
    for (char letter : std::string("LRSONCVKUTE")) {
        auto* command = new QAction(&window);
        command->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + (letter - 'A'))));
        QObject::connect(command, &QAction::triggered, [&triggered, letter] { triggered += letter; });
        window.addAction(command);
    }
    SetText("300");
    edit->setCursorPosition(1);
    QGuiApplication::clipboard()->setText("$10");
    for (char letter : std::string("LRSONCVKUTE"))
        QTest::keyClick(edit, Qt::Key(Qt::Key_A + (letter - 'A')), Qt::ControlModifier);
    EXPECT_EQ(triggered, "LRSONCVKUTE");
    EXPECT_EQ(edit->text(), "300");
    EXPECT_EQ(edit->cursorPosition(), 1);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "30");
}

TEST_F(IntervalEdit, SelectsEverythingWhenEnteredByKeyboard)
{
    other->setFocus();
    SetText("450");
    QTest::keyClick(other, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), "450");
    edit->SetAutoSelect(false);
    QTest::keyClick(edit, Qt::Key_Tab);
    QTest::keyClick(other, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), "");
}

// The workspace's interval editors are 41 x 22 in the form's 8-point font: the largest
// interval must show whole, not scrolled.
TEST(SpinEdit, ThreeDigitsFitTheFormsSize)
{
    TSpinEdit edit;
    edit.setFont(QFont("Sans Serif", 8));
    edit.resize(41, 22);
    edit.setText("");
    const int start = edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    edit.setText("900");
    edit.grab();  // the line edit scrolls its text while painting
    const int end = edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    EXPECT_EQ(end - start, edit.fontMetrics().horizontalAdvance("900"));
}

TEST(SpinEdit, EqualBoundsMeanNoClamping)
{
    TSpinEdit edit;
    EXPECT_EQ(edit.text(), "0");
    edit.SetValue(-123456);
    EXPECT_EQ(edit.Value(), -123456);
    edit.SetValue(INT32_MAX);
    edit.UpClick();
    EXPECT_EQ(edit.Value(), INT32_MAX);
}

class SpinButtonHold : public IntervalEdit {
protected:
    TTimerSpeedButton* Up() const { return edit->Button()->UpButton(); }
    QPoint Middle() const { return Up()->rect().center(); }
};

TEST_F(SpinButtonHold, AShortClickStepsOnceAtTheRelease)
{
    SetText("200");
    other->setFocus();
    QTest::mousePress(Up(), Qt::LeftButton, {}, Middle());
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(changes, 0);
    QTest::mouseRelease(Up(), Qt::LeftButton, {}, Middle());
    EXPECT_EQ(edit->text(), "250");
    EXPECT_FALSE(Up()->RepeatTimer()->Running());
}

TEST_F(SpinButtonHold, HoldingForOverASecondStepsEightTimes)
{
    SetText("100");
    QTest::mousePress(Up(), Qt::LeftButton, {}, Middle());
    LetTimePass(*Up()->RepeatTimer(), 1050);
    EXPECT_EQ(edit->text(), "450");
    QTest::mouseRelease(Up(), Qt::LeftButton, {}, Middle());
    EXPECT_EQ(changes, 8);
    EXPECT_EQ(edit->text(), "500");
}

TEST_F(SpinButtonHold, DraggedOffTheButtonShowsReleasedAndStops)
{
    SetText("100");
    QTest::mousePress(Up(), Qt::LeftButton, {}, Middle());
    QTest::mouseEvent(QTest::MouseMove, Up(), Qt::NoButton, {}, QPoint(-20, 3));
    EXPECT_FALSE(Up()->Down());
    LetTimePass(*Up()->RepeatTimer(), 1000);
    EXPECT_EQ(changes, 0);
    QTest::mouseEvent(QTest::MouseMove, Up(), Qt::NoButton, {}, Middle());
    EXPECT_TRUE(Up()->Down());
    LetTimePass(*Up()->RepeatTimer(), 100);
    EXPECT_EQ(changes, 1);
    QTest::mouseEvent(QTest::MouseMove, Up(), Qt::NoButton, {}, QPoint(-20, 3));
    QTest::mouseRelease(Up(), Qt::LeftButton, {}, QPoint(-20, 3));
    EXPECT_EQ(edit->text(), "150");
}

// A disabled or hidden button gets no release; it must not go on stepping by itself.
TEST_F(SpinButtonHold, DisablingOrHidingStopsTheRepeat)
{
    SetText("100");
    QTest::mousePress(Up(), Qt::LeftButton, {}, Middle());
    edit->setEnabled(false);
    EXPECT_FALSE(Up()->RepeatTimer()->Running());
    EXPECT_FALSE(Up()->Down());

    edit->setEnabled(true);
    QTest::mousePress(Up(), Qt::LeftButton, {}, Middle());
    edit->hide();
    EXPECT_FALSE(Up()->RepeatTimer()->Running());
    edit->show();
    Up()->RepeatTimer()->Tick();
    EXPECT_EQ(changes, 0);
    QTest::mouseRelease(Up(), Qt::LeftButton, {}, QPoint(-20, 3));  // lets Qt Test forget the button
}

// A modal box that opens during a hold takes the release; the button must not step on by
// itself, neither while the box is open nor after it has closed.
TEST_F(SpinButtonHold, AModalBoxEndsTheHoldWhoseReleaseItTakes)
{
    SetText("100");
    QTest::mousePress(Up(), Qt::LeftButton, {}, Middle());
    LetTimePass(*Up()->RepeatTimer(), 400);
    QDialog box(&window);
    box.setModal(true);
    box.show();
    EXPECT_FALSE(Up()->RepeatTimer()->Running());
    EXPECT_FALSE(Up()->Down());
    box.hide();
    Up()->RepeatTimer()->Tick();
    EXPECT_EQ(edit->text(), "150");
    QTest::mouseRelease(Up(), Qt::LeftButton, {}, QPoint(-20, 3));  // lets Qt Test forget the button
}

TEST_F(SpinButtonHold, AFailingStepStopsTheRepeatAndIsReported)
{
    SetText("100");
    edit->OnChange = [](TObject*) { throw Exception("Interval refused"); };
    QTest::mousePress(Up(), Qt::LeftButton, {}, Middle());
    EXPECT_THROW(Up()->RepeatTimer()->Tick(), Exception);
    EXPECT_FALSE(Up()->RepeatTimer()->Running());
    // Through the event loop the failure ends as the default error report.
    QTest::mouseRelease(Up(), Qt::LeftButton, {}, Middle());
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0].text, "Interval refused.");
}

TEST(SpinButton, StacksItsButtonsWithAOnePixelOverlap)
{
    TSpinButton button;
    EXPECT_EQ(button.size(), QSize(20, 25));
    EXPECT_EQ(button.UpButton()->geometry(), QRect(0, 0, 20, 12));
    EXPECT_EQ(button.DownButton()->geometry(), QRect(0, 11, 20, 14));
}

} // namespace
} // namespace mirth
