#pragma once
#include <QImage>
#include <QWidget>

#include <array>

#include "controls/SliderPictures.h"
#include "controls/SliderScale.h"
#include "framework/Bevel.h"
#include "framework/Input.h"
#include "framework/PressGuard.h"
#include "framework/RepeatTimer.h"
#include "runtime/Classes.h"
#include "runtime/Set.h"

namespace mirth {

enum TSliderOrientation { soHorizontal, soVertical };

enum TSliderOption { soShowFocus, soShowPoints, soSmooth, soRulerOpaque, soThumbOpaque };
using TSliderOptions = TSet<TSliderOption>;

// A focusable control that picks one integer in a range by moving a thumb along a ruler,
// with the keyboard (arrows, Home, End), by pressing on the ruler (stepping towards the
// pointer, repeating) and by dragging the thumb. OnChange follows every change of Value,
// whoever made it; OnChanged follows the end of each user interaction.
class TCustomSlider : public QWidget, public TObject {
public:
    explicit TCustomSlider(QWidget* parent = nullptr);
    ~TCustomSlider() override;

    int32_t Value() const { return value_; }
    void SetValue(int32_t value);
    int32_t MinValue() const { return range_.minValue; }
    void SetMinValue(int32_t value);
    int32_t MaxValue() const { return range_.maxValue; }
    void SetMaxValue(int32_t value);
    int32_t Increment() const { return range_.increment; }
    void SetIncrement(int32_t value);
    TSliderOrientation Orientation() const { return orientation_; }
    void SetOrientation(TSliderOrientation orientation);
    TSliderOptions Options() const { return options_; }
    void SetOptions(TSliderOptions options);
    int NumThumbStates() const { return numThumbStates_; }
    void SetNumThumbStates(int states);
    int32_t EdgeSize() const { return edgeSize_; }
    void SetEdgeSize(int32_t edge);
    TBevelCut BevelStyle() const { return bevelStyle_; }
    void SetBevelStyle(TBevelCut style);

    // A null picture restores the built-in one and switches the matching opaque option off.
    const QImage& ImageHThumb() const { return pictures_[spHorizontalThumb]; }
    void SetImageHThumb(const QImage& picture) { SetPicture(spHorizontalThumb, picture); }
    const QImage& ImageHRuler() const { return pictures_[spHorizontalRuler]; }
    void SetImageHRuler(const QImage& picture) { SetPicture(spHorizontalRuler, picture); }
    const QImage& ImageVThumb() const { return pictures_[spVerticalThumb]; }
    void SetImageVThumb(const QImage& picture) { SetPicture(spVerticalThumb, picture); }
    const QImage& ImageVRuler() const { return pictures_[spVerticalRuler]; }
    void SetImageVRuler(const QImage& picture) { SetPicture(spVerticalRuler, picture); }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanged;
    // Replaces the tick marks; it draws with Canvas() while it runs.
    TNotifyEvent OnDrawPoints;
    TMouseEvent OnMouseDown;
    // Raised at every release. A right press that asks for a context menu has its release
    // raised at that moment instead, since the menu that opens takes the real one.
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    QPainter* Canvas() const { return canvas_; }
    QRect ThumbRect() const { return thumb_; }
    QRect RulerRect() const { return QRect(rulerAt_, ruler_.size()); }
    // The ruler's auto-repeat, reachable so that its ticks can be driven by hand.
    TRepeatTimer& RepeatTimer() { return repeatTimer_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class TDirection { None, Up, Down };

    bool Horizontal() const { return orientation_ == soHorizontal; }
    QRect ClientRect() const;
    QSize ThumbSize() const;
    int RulerStart() const;
    int Travel() const;
    int OffsetOf(int32_t value) const;
    int32_t ValueAt(int offset) const;
    int Along(const QPoint& point) const { return Horizontal() ? point.x() : point.y(); }

    void SetPicture(TSliderPicture which, const QImage& picture);
    void SetRange(int32_t minValue, int32_t maxValue);
    void Relayout();
    void PlaceThumb(int offset);
    void TakeStep(TSliderStep step);
    TDirection DirectionOf(const QPoint& point) const;
    void RepeatStep();
    void EndTracking();
    void EndDragging();
    void EndPressWithoutRelease();
    void UpdateCursor(const QPoint& point);
    void DrawTickMarks(QPainter& painter);

    TSliderRange range_;
    int32_t value_ = 0;
    TSliderOrientation orientation_ = soHorizontal;
    TSliderOptions options_{soShowFocus, soShowPoints, soSmooth};
    int numThumbStates_ = 2;
    int32_t edgeSize_ = 2;
    TBevelCut bevelStyle_ = bvNone;
    std::array<QImage, 4> pictures_;

    QImage ruler_;
    QImage transparentRuler_;
    QImage transparentThumb_;
    QPoint rulerAt_;
    QRect thumb_;
    QRect tickArea_;

    bool dragging_ = false;
    bool pressed_ = false;
    bool rightReleasePending_ = false; // a right press whose OnMouseUp is still to come
    int grabOffset_ = 0;
    bool tracking_ = false;
    QPoint trackPoint_;
    TDirection trackDirection_ = TDirection::None;
    TRepeatTimer repeatTimer_;
    QPainter* canvas_ = nullptr;
    TPressGuard pressGuard_{*this, [this] { EndPressWithoutRelease(); }};
};

class TSlider : public TCustomSlider {
public:
    using TCustomSlider::TCustomSlider;
};

} // namespace mirth
