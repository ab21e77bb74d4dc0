// The window as a screen reader sees it, through Qt's accessibility interfaces: what each
// control is called and holds, driving it from there, and the events that tell of changes.
// Qt raises those events only while its bridge to the desktop's accessibility bus is up,
// so this runs in the binary that has a bus of its own.
#include <QAccessible>
#include <QLabel>

#include "controls/AccessibleControls.h"
#include "controls/Slider.h"
#include "controls/SpinEdit.h"
#include "support/AccessibilityBus.h"
#include "support/Pictures.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;
using testing::WindowTest;

struct Heard {
    QAccessible::Event type;
    QObject* object;
    QVariant value;
};
std::vector<Heard> heard;

void Listen(QAccessibleEvent* event)
{
    QVariant value;
    if (event->type() == QAccessible::ValueChanged)
        value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
    heard.push_back({event->type(), event->object(), value});
}

class AccessibilityTest : public WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testing::AccessibilityBusFailure().empty()) << testing::AccessibilityBusFailure();
        ASSERT_TRUE(QTest::qWaitFor(QAccessible::isActive, 20000)) << "Qt's accessibility bridge did not come up";
        InstallAccessibleControls();
        // Events come here instead of going out on the bus.
        previousHandler_ = QAccessible::installUpdateHandler(Listen);
        WindowTest::SetUp();
        // Without a window manager nothing gives the window the keyboard for its shortcuts.
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        heard.clear();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        QAccessible::installUpdateHandler(previousHandler_);
    }

    // Every shown interface in the window's tree with this role and name, as a reader walks it.
    std::vector<QAccessibleInterface*> Find(QAccessible::Role role, const QString& name) const
    {
        std::vector<QAccessibleInterface*> found;
        std::vector<QAccessibleInterface*> pending{QAccessible::queryAccessibleInterface(form.get())};
        while (!pending.empty()) {
            QAccessibleInterface* item = pending.back();
            pending.pop_back();
            if (item->role() == role && item->text(QAccessible::Name) == name && !item->state().invisible)
                found.push_back(item);
            for (int k = 0; k < item->childCount(); ++k)
                pending.push_back(item->child(k));
        }
        return found;
    }
    QAccessibleInterface* One(QAccessible::Role role, const QString& name) const
    {
        const std::vector<QAccessibleInterface*> found = Find(role, name);
        EXPECT_EQ(found.size(), 1u) << name.toStdString();
        return found.size() == 1 ? found.front() : nullptr;
    }

    // The values announced for `object`, in order.
    static std::vector<int> ValuesHeardFor(QObject* object)
    {
        std::vector<int> values;
        for (const Heard& h : heard)
            if (h.type == QAccessible::ValueChanged && h.object == object)
                values.push_back(h.value.toInt());
        return values;
    }
    static bool NameChangeHeardFor(QObject* object)
    {
        return std::any_of(heard.begin(), heard.end(),
                           [&](const Heard& h) { return h.type == QAccessible::NameChanged && h.object == object; });
    }

private:
    QAccessible::UpdateHandler previousHandler_ = nullptr;
};

TEST_F(AccessibilityTest, AReaderFindsNamesAndDrivesTheSliderAndTheIntervals)
{
    QAccessibleInterface* slider = One(QAccessible::Slider, "Change magnification");
    ASSERT_NE(slider, nullptr);
    QAccessibleValueInterface* strength = slider->valueInterface();
    ASSERT_NE(strength, nullptr);
    EXPECT_EQ(strength->currentValue().toInt(), 35);
    EXPECT_EQ(strength->minimumValue().toInt(), 0);
    EXPECT_EQ(strength->maximumValue().toInt(), 200);
    EXPECT_EQ(strength->minimumStepSize().toInt(), 10);
    EXPECT_EQ(slider->text(QAccessible::Value), "35");
    EXPECT_TRUE(slider->state().focusable);

    // Set as the reader sets it: the window follows as if the user had moved the thumb.
    strength->setCurrentValue(120);
    EXPECT_EQ(form->Slider1->Value(), 120);
    EXPECT_EQ(form->Label2->text(), "120");
    strength->setCurrentValue(999);
    EXPECT_EQ(form->Slider1->Value(), 200);
    strength->setCurrentValue("not a number");
    EXPECT_EQ(form->Slider1->Value(), 200);
    slider->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(form->Slider1->Value(), 190);
    // The keyboard's grid, anchored at 0: 35 steps up to 50, not 45.
    form->Slider1->SetValue(35);
    slider->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(form->Slider1->Value(), 50);
    // Every change, whoever made it, is announced once; a set to the same value is not.
    form->Slider1->SetValue(50);
    EXPECT_EQ(ValuesHeardFor(form->Slider1), (std::vector<int>{120, 200, 190, 35, 50}));

    QAccessibleInterface* morph = One(QAccessible::SpinBox, "Morph Interval");
    QAccessibleInterface* animation = One(QAccessible::SpinBox, "Animation Interval");
    ASSERT_TRUE(morph && animation);
    EXPECT_EQ(morph->childCount(), 0);
    EXPECT_TRUE(morph->state().editable);
    QAccessibleValueInterface* morphValue = morph->valueInterface();
    EXPECT_EQ(morphValue->currentValue().toInt(), 200);
    EXPECT_EQ(morphValue->minimumValue().toInt(), 50);
    EXPECT_EQ(morphValue->maximumValue().toInt(), 900);
    EXPECT_EQ(morphValue->minimumStepSize().toInt(), 50);
    EXPECT_EQ(animation->valueInterface()->currentValue().toInt(), 100);
    EXPECT_TRUE(morph->actionInterface()->actionNames().contains(QAccessibleActionInterface::increaseAction()));

    morph->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    EXPECT_EQ(form->SpinEdit1->text(), "250");
    EXPECT_EQ(form->Timer1.Interval(), 250);
    morphValue->setCurrentValue(2000);
    EXPECT_EQ(form->SpinEdit1->text(), "900");
    EXPECT_EQ(form->Timer1.Interval(), 900);
    animation->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    animation->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(form->SpinEdit2->text(), "50");
    EXPECT_EQ(form->Timer2.Interval(), 50);
    // Typed text is announced as the value it reads as.
    QTest::keyClick(form->SpinEdit2, Qt::Key_End);
    QTest::keyClick(form->SpinEdit2, Qt::Key_0);
    EXPECT_EQ(animation->text(QAccessible::Value), "500");
    EXPECT_EQ(ValuesHeardFor(form->SpinEdit1), (std::vector<int>{250, 900}));
    EXPECT_EQ(ValuesHeardFor(form->SpinEdit2), (std::vector<int>{50, 500}));
    EXPECT_TRUE(notices.Reports().empty());
}

TEST_F(AccessibilityTest, ThePictureIsNamedWithItsSizeAndSnapshotsByTheirNumber)
{
    QAccessibleInterface* picture = One(QAccessible::Graphic, "Picture, empty");
    ASSERT_NE(picture, nullptr);
    auto photo = RandomBitmap(64, 48);
    Load("photo.bmp", *photo);
    EXPECT_EQ(picture->text(QAccessible::Name), "Picture, 64 by 48 pixels");
    EXPECT_TRUE(NameChangeHeardFor(form->Image1));
    ASSERT_NE(picture->imageInterface(), nullptr);
    EXPECT_EQ(picture->imageInterface()->imageSize(), QSize(64, 48));

    Key(Qt::Key_K, Qt::ControlModifier);
    Press({30, 20});
    Release({30, 20});
    const std::vector<uint8_t> lensed = PixelBytes(form->Working());
    Key(Qt::Key_K, Qt::ControlModifier);
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(picture->text(QAccessible::Name), "Picture, 48 by 64 pixels");

    QAccessibleInterface* first = One(QAccessible::Graphic, "Snapshot 1");
    QAccessibleInterface* second = One(QAccessible::Graphic, "Snapshot 2");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->text(QAccessible::Description), "64 by 48 pixels");
    // Pressing a snapshot brings its picture back, as a click on it does.
    ASSERT_TRUE(first->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    first->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*photo));
    second->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(PixelBytes(form->Working()), lensed);

    // After "Delete Thumbs" keeps the first, the next is "Snapshot 2" again.
    form->DeleteThumbs1->trigger();
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Find(QAccessible::Graphic, "Snapshot 2").size(), 1u);
    EXPECT_TRUE(Find(QAccessible::Graphic, "Snapshot 3").empty());
}

} // namespace
} // namespace mirth
