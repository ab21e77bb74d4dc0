#pragma once
#include <QAccessibleWidget>

namespace mirth {

class TImage;

// What a screen reader sees of an image view: a graphic named by its accessible name
// (a thumbnail's "Snapshot 1") or, without one, as the picture with its size; the size
// is its description too. A view that reacts to clicks can be pressed.
class TAccessibleImage : public QAccessibleWidget, public QAccessibleImageInterface {
public:
    explicit TAccessibleImage(TImage* view);

    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QString imageDescription() const override { return text(QAccessible::Description); }
    QSize imageSize() const override;
    QPoint imagePosition() const override { return rect().topLeft(); }

    QStringList actionNames() const override;
    void doAction(const QString& name) override;

private:
    TImage& View() const;
};

// "640 by 480 pixels"; an empty picture has no size to tell.
QString PictureSizeText(QSize size);

} // namespace mirth
