#include "controls/AccessibleControls.h"

#include "controls/Slider.h"
#include "controls/SpinEdit.h"
#include "framework/AccessibleImage.h"
#include "framework/AccessibleRange.h"
#include "framework/Image.h"

namespace mirth {
namespace {

class TAccessibleSlider : public TAccessibleRange {
public:
    explicit TAccessibleSlider(TCustomSlider* slider) : TAccessibleRange(slider, QAccessible::Slider) {}

protected:
    int32_t Value() const override { return Slider().Value(); }
    void SetValue(int32_t value) override { Slider().SetValue(value); }
    int32_t Minimum() const override { return Slider().MinValue(); }
    int32_t Maximum() const override { return Slider().MaxValue(); }
    int32_t Step() const override { return Slider().Increment(); }
    void StepUp() override { Take(ssStepUp); }
    void StepDown() override { Take(ssStepDown); }

private:
    TCustomSlider& Slider() const { return static_cast<TCustomSlider&>(*widget()); }
    void Take(TSliderStep step)
    {
        const TSliderRange range{Minimum(), Maximum(), Step()};
        Slider().SetValue(SteppedValue(range, Value(), step));
    }
};

class TAccessibleSpinEdit : public TAccessibleRange {
public:
    explicit TAccessibleSpinEdit(TSpinEdit* edit) : TAccessibleRange(edit, QAccessible::SpinBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = TAccessibleRange::state();
        state.editable = !Edit().ReadOnly();
        state.readOnly = Edit().ReadOnly();
        return state;
    }
    // The text as typed, which may not be a number yet.
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? Edit().text() : TAccessibleRange::text(t);
    }

protected:
    int32_t Value() const override { return Edit().Value(); }
    void SetValue(int32_t value) override
    {
        if (!Edit().ReadOnly())
            Edit().SetValue(value);
    }
    int32_t Minimum() const override { return Edit().MinValue(); }
    int32_t Maximum() const override { return Edit().MaxValue(); }
    int32_t Step() const override { return Edit().Increment(); }
    void StepUp() override { Edit().UpClick(); }
    void StepDown() override { Edit().DownClick(); }

private:
    TSpinEdit& Edit() const { return static_cast<TSpinEdit&>(*widget()); }
};

// Our controls declare no meta-object of their own, so Qt asks by their Qt base's class
// name ("QWidget", "QLineEdit"): the object itself tells which they are.
QAccessibleInterface* AccessibleControl(const QString&, QObject* object)
{
    if (auto* slider = dynamic_cast<TCustomSlider*>(object))
        return new TAccessibleSlider(slider);
    if (auto* edit = dynamic_cast<TSpinEdit*>(object))
        return new TAccessibleSpinEdit(edit);
    if (auto* view = dynamic_cast<TImage*>(object))
        return new TAccessibleImage(view);
    return nullptr;
}

} // namespace

void InstallAccessibleControls()
{
    static const bool installed = [] {
        QAccessible::installFactory(AccessibleControl);
        return true;
    }();
    (void)installed;
}

} // namespace mirth
