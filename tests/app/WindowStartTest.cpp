// The window as it opens, the commands that must do nothing before a picture is loaded,
// and "About".
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>

#include "controls/Slider.h"
#include "controls/SpinEdit.h"
#include "framework/Shell.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::WindowTest;

// Receives the "file" links the program asks the desktop to open.
class OpenedLinks : public QObject {
    Q_OBJECT
public:
    OpenedLinks() { QDesktopServices::setUrlHandler("file", this, "Open"); }
    ~OpenedLinks() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> links;
public slots:
    void Open(const QUrl& link) { links.append(link); }
};

TEST_F(WindowTest, OpensWithTheFormValuesAndRefusesWhatNeedsAPicture)
{
    EXPECT_EQ(form->windowTitle(), "Mirthlens ");
    EXPECT_EQ(form->size(), QSize(483, 329));
    EXPECT_EQ(form->minimumSize(), QSize(130, 50));
    EXPECT_EQ(form->Label2->text(), "35");
    EXPECT_EQ(form->SpinEdit1->text(), "200");
    EXPECT_EQ(form->SpinEdit2->text(), "100");
    EXPECT_EQ(form->Timer1.Interval(), 200);
    EXPECT_EQ(form->Timer2.Interval(), 100);
    EXPECT_FALSE(form->Timer1.Enabled() || form->Timer2.Enabled());
    EXPECT_FALSE(form->Reload1->isEnabled());
    EXPECT_FALSE(form->Resize1->isEnabled());
    EXPECT_TRUE(form->ShowThumbs1->isChecked());
    EXPECT_FALSE(form->Stretch1->isChecked());
    EXPECT_EQ(form->PopupMenu1->actions().size(), 19);
    EXPECT_EQ(form->ScrollBox2->width(), 54);
    EXPECT_FALSE(form->Image2->isVisible());
    EXPECT_FALSE(form->windowIcon().isNull());
    // The first control of the tab order has the keyboard, so arrow keys move nothing.
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), form->Button1);
    Key(Qt::Key_Right);
    EXPECT_EQ(form->Slider1->Value(), 35);

    // Disabled items do nothing by shortcut; clicks and the panel's double-click need a picture.
    form->od.SetFileName(PathOf("never-loaded.bmp"));
    Key(Qt::Key_R, Qt::ControlModifier);
    Key(Qt::Key_E, Qt::ControlModifier);
    Press({10, 10});
    Release({10, 10});
    QTest::mouseDClick(form->Panel1, Qt::LeftButton, {}, QPoint(400, 10));
    EXPECT_TRUE(form->Working().Empty());
    EXPECT_TRUE(form->Reference().Empty());
    EXPECT_TRUE(notices.Reports().empty());

    // The slider still shows its value with nothing loaded.
    form->Slider1->SetValue(120);
    EXPECT_EQ(form->Label2->text(), "120");
}

TEST_F(WindowTest, TheElevenShortcutsWorkWhereverTheFocusIs)
{
    QAction* const items[] = {form->Load1, form->Reload1, form->Save1, form->Rotate1, form->CounterRotate1, form->Copy1,
                              form->Paste1, form->Keep1, form->Undo1, form->Stretch1, form->Resize1};
    QWidget* const places[] = {form->Slider1, form->SpinEdit1, form->SpinEdit2, form->looper, form->Button1,
                               form->Button3, form->ScrollBox1, form->ScrollBox2};
    for (QWidget* place : places) {
        place->setFocus();
        ASSERT_TRUE(place->hasFocus());
        const QString text = form->SpinEdit1->text();
        for (QAction* item : items) {
            item->setEnabled(true); // as after a load and in the stretched view
            int fired = 0;
            const auto connection = QObject::connect(item, &QAction::triggered, [&] { ++fired; });
            QTest::keyClick(place, static_cast<Qt::Key>(item->shortcut()[0].key()), Qt::ControlModifier);
            QObject::disconnect(connection);
            EXPECT_EQ(fired, 1) << item->text().toStdString() << " with the focus on "
                                << place->metaObject()->className();
        }
        EXPECT_EQ(form->SpinEdit1->text(), text);
    }
}

TEST_F(WindowTest, AboutOpensTheGuideBesideTheProgramAndSaysNothing)
{
    OpenedLinks opened;
    form->About1->trigger();
    ASSERT_EQ(opened.links.size(), 1);
    EXPECT_EQ(opened.links[0].toLocalFile().toStdString(), ExecutableFolder() + "readme.html");
    EXPECT_TRUE(notices.Reports().empty());
}

TEST_F(WindowTest, ARightClickAnywhereOpensTheMenuAtTheMouse)
{
    QWidget* const places[] = {form->Image1, form->Button3, form->Label1, form->Panel2};
    for (QWidget* place : places) {
        const QPoint at(3, 3);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, place->mapToGlobal(at));
        QApplication::sendEvent(place, &event);
        ASSERT_TRUE(form->PopupMenu1->isVisible());
        EXPECT_EQ(form->PopupMenu1->pos(), place->mapToGlobal(at));
        form->PopupMenu1->hide();
    }
}

} // namespace
} // namespace mirth

#include "WindowStartTest.moc"
