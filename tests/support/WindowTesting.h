#pragma once
// The real window, offscreen, with a scripted file chooser and recorded message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include <deque>
#include <memory>
#include <optional>

#include "app/Form1.h"
#include "framework/FileDialogs.h"
#include "framework/SizeDialog.h"
#include "imaging/bitmap/Bitmap.h"
#include "support/QtTesting.h"
#include "support/TempFolder.h"

namespace mirth::testing {

// Answers file dialogs from a script: each dialog takes the next answer, and a dialog
// with none left is cancelled.
class ScriptedChooser : public TFileChooser {
public:
    std::optional<TFileChoice> Choose(const TFileRequest& request) override
    {
        requests.push_back(request);
        if (answers.empty())
            return std::nullopt;
        std::optional<TFileChoice> answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<std::optional<TFileChoice>> answers;
    std::vector<TFileRequest> requests;
};

// Answers the size dialog from a script in the same way.
class ScriptedSizes : public TSizeChooser {
public:
    std::optional<int32_t> Choose(const TSizeRequest& request) override
    {
        requests.push_back(request);
        if (answers.empty())
            return std::nullopt;
        const std::optional<int32_t> answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<std::optional<int32_t>> answers;
    std::vector<TSizeRequest> requests;
};

class WindowTest : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        auto scripted = std::make_unique<ScriptedChooser>();
        chooser = scripted.get();
        previousChooser_ = SetFileChooser(std::move(scripted));
        auto scriptedSizes = std::make_unique<ScriptedSizes>();
        sizes = scriptedSizes.get();
        previousSizes_ = SetSizeChooser(std::move(scriptedSizes));
        form = std::make_unique<TForm1>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        form.reset();
        SetFileChooser(std::move(previousChooser_));
        SetSizeChooser(std::move(previousSizes_));
        TempFolderTest::TearDown();
    }

    // The next file dialog answers `path`; nothing means the user cancels it.
    void Answer(std::optional<std::string> path)
    {
        chooser->answers.push_back(path ? std::optional<TFileChoice>(TFileChoice{*path, 1}) : std::nullopt);
    }

    std::string SaveBmp(const std::string& name, TBitmap& bitmap)
    {
        bitmap.SaveFile(PathOf(name));
        return PathOf(name);
    }

    // Loads `bitmap` into the window through Ctrl+L and the dialog.
    void Load(const std::string& name, TBitmap& bitmap)
    {
        Answer(SaveBmp(name, bitmap));
        Key(Qt::Key_L, Qt::ControlModifier);
    }

    // A key typed wherever the focus is, as the keyboard would deliver it.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : form.get(), key, modifiers);
    }

    // Mouse input on the working view, through the window as the platform delivers it, so
    // that a held button keeps the view's grab.
    QPoint OnWindow(QPoint viewPoint) const { return form->Image1->mapTo(form.get(), viewPoint); }
    void Press(QPoint at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(form->windowHandle(), button, modifiers, OnWindow(at));
    }
    void Release(QPoint at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseRelease(form->windowHandle(), button, modifiers, OnWindow(at));
    }
    void Move(QPoint at, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseEvent(QTest::MouseMove, form->windowHandle(), Qt::NoButton, modifiers, OnWindow(at));
    }

    // One notch of the wheel over `widget`: towards the user when `towards`.
    static void Wheel(QWidget* widget, bool towards, Qt::KeyboardModifiers modifiers = {})
    {
        WheelBy(widget, towards ? -120 : 120, modifiers);
    }
    // A wheel event of `angle` units over `widget` (120 to a notch, negative towards the user).
    static void WheelBy(QWidget* widget, int angle, Qt::KeyboardModifiers modifiers = {})
    {
        QWheelEvent event(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, angle),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }

    // Drags the paths over the form and drops them, as a file manager does.
    void Drop(const std::vector<std::string>& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
        data.setUrls(urls);
        const QPoint at(200, 150);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
    }

    std::unique_ptr<TForm1> form;
    ScriptedChooser* chooser = nullptr;
    ScriptedSizes* sizes = nullptr;
    RecordedNotices notices;

private:
    std::unique_ptr<TFileChooser> previousChooser_;
    std::unique_ptr<TSizeChooser> previousSizes_;
};

} // namespace mirth::testing
