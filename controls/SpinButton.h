#pragma once
#include <QImage>
#include <QWidget>

#include <memory>

#include "framework/Input.h"
#include "framework/PressGuard.h"
#include "framework/RepeatTimer.h"
#include "runtime/Classes.h"
#include "runtime/Set.h"

namespace mirth {

enum TTimeBtnState { tbFocusRect, tbAllowTimer };
using TTimeBtnStates = TSet<TTimeBtnState>;

// A flat push button with a glyph that, with tbAllowTimer, repeats its click while held:
// the first repeat after 400 ms, then every 100 ms, and one more click at the release when
// the pointer is still over it. Dragged off, it shows released and the ticks do nothing.
class TTimerSpeedButton : public QWidget, public TObject {
public:
    explicit TTimerSpeedButton(QWidget* parent = nullptr);

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;

    TTimeBtnStates TimeBtnState() const { return states_; }
    void SetTimeBtnState(TTimeBtnStates states);
    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& glyph);
    // Shown pressed: held down with the pointer over it.
    bool Down() const { return down_; }
    // Created by the first press; null before.
    TRepeatTimer* RepeatTimer() const { return timer_.get(); }

    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool InClickArea(const QPoint& point) const;
    void SetDown(bool down);
    void EndPressWithoutRelease();
    void TimerTick();

    TTimeBtnStates states_;
    QImage glyph_;
    bool held_ = false;
    bool down_ = false;
    std::unique_ptr<TRepeatTimer> timer_;
    TPressGuard pressGuard_{*this, [this] { EndPressWithoutRelease(); }};
};

// Two auto-repeating buttons stacked, up above down, that step a companion control.
class TSpinButton : public QWidget, public TObject {
public:
    explicit TSpinButton(QWidget* parent = nullptr);

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    // The control that takes the keyboard focus when a button is pressed.
    QWidget* FocusControl() const { return focusControl_; }
    void SetFocusControl(QWidget* control) { focusControl_ = control; }
    const QImage& UpGlyph() const { return up_->Glyph(); }
    void SetUpGlyph(const QImage& glyph);
    const QImage& DownGlyph() const { return down_->Glyph(); }
    void SetDownGlyph(const QImage& glyph);

    TTimerSpeedButton* UpButton() const { return up_; }
    TTimerSpeedButton* DownButton() const { return down_; }
    TTimerSpeedButton* FocusedButton() const { return focused_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TTimerSpeedButton* MakeButton(TNotifyEvent* handler, const QImage& glyph);
    void LayOutButtons();
    void ButtonPressed(TTimerSpeedButton* button);
    void SetFocusedButton(TTimerSpeedButton* button);
    void ShowFocus(bool shown);

    QWidget* focusControl_ = nullptr;
    TTimerSpeedButton* up_;
    TTimerSpeedButton* down_;
    TTimerSpeedButton* focused_;
};

// The built-in 9 x 6 arrow glyphs.
QImage DefaultSpinGlyph(bool up);

} // namespace mirth
