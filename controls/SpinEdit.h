#pragma once
#include <QLineEdit>

#include "controls/SpinButton.h"
#include "runtime/Classes.h"

namespace mirth {

// A one-line integer editor whose value lives in its text: reading Value parses the text
// (MinValue when it does not parse), writing Value clamps and formats. The arrow keys and
// the two buttons at its right edge add or take away Increment. Out-of-range typing is
// left alone until the value is written or the focus leaves.
class TSpinEdit : public QLineEdit, public TObject {
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    int32_t Value() const;
    void SetValue(int32_t value);
    int32_t MinValue() const { return minValue_; }
    void SetMinValue(int32_t value) { minValue_ = value; }
    int32_t MaxValue() const { return maxValue_; }
    void SetMaxValue(int32_t value) { maxValue_ = value; }
    int32_t Increment() const { return increment_; }
    void SetIncrement(int32_t value) { increment_ = value; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool enabled) { editorEnabled_ = enabled; }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }

    // Raised whenever the text changes.
    TNotifyEvent OnChange;

    TSpinButton* Button() const { return button_; }
    void UpClick();
    void DownClick();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int32_t Bounded(int64_t value) const;
    void Step(int64_t delta);
    bool TextChangesAllowed() const { return editorEnabled_ && !isReadOnly(); }
    bool CharacterAllowed(QChar c) const;

    int32_t minValue_ = 0;
    int32_t maxValue_ = 0;
    int32_t increment_ = 1;
    bool editorEnabled_ = true;
    bool autoSelect_ = true;
    TSpinButton* button_;
};

} // namespace mirth
