#pragma once
#include <QImage>
#include <QWidget>

#include <vector>

#include "framework/Input.h"
#include "imaging/picture/Picture.h"
#include "runtime/Classes.h"

namespace mirth {

enum TAlign { alNone, alClient };

// A control that shows one picture. With Stretch on it scales the picture to its own
// bounds (nearest neighbour), otherwise it draws it unscaled at its top-left corner. With
// AutoSize on it takes its picture's size and follows every change of it; aligned to the
// client area it fills its parent instead and keeps that size. Mouse events come in the
// view's own pixel coordinates; while a button is held they keep coming from outside it.
class TImage : public QWidget, public TObject {
public:
    explicit TImage(QWidget* parent = nullptr);
    ~TImage() override;

    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }
    // The canvas of the picture's bitmap (a picture of other content becomes a bitmap).
    TCanvas& Canvas();

    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    // For small views of big pictures, such as thumbnails: the scaled rendition of the
    // part of the view on screen is made once per change of the picture, the view's size
    // or that part, and kept, so that a repaint costs the view's pixels rather than a pass
    // over the picture's rows. Costs what of the view is on screen in memory.
    void SetCachesRendition(bool caches);

    // Paints the view now, not when the event loop next gets round to it. Rows written
    // through ScanRow are not announced by the picture, so a kept rendition goes too.
    void Repaint()
    {
        ForgetRendition();
        repaint();
    }
    // The same for the parts of the view that show `areas` of the picture; a stretched
    // view is painted whole.
    void Repaint(const std::vector<TRect>& areas);

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    // A left press and release both on the view; a double-click is one click.
    TNotifyEvent OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PictureChanged();
    void TakePictureSize();
    void FillParent();
    QRect PictureArea() const;
    // What the picture puts on `part` of the picture area; null when it cannot be shown.
    QImage Rendition(const QRect& part);
    void ForgetRendition() { rendition_ = QImage(); }

    TPicture picture_;
    bool stretch_ = false;
    bool autoSize_ = false;
    TAlign align_ = alNone;
    bool leftPressed_ = false;
    bool cachesRendition_ = false;
    QImage rendition_;     // while cachesRendition_ and still valid
    QRect renditionArea_; // the part of the picture area rendition_ shows
};

} // namespace mirth
