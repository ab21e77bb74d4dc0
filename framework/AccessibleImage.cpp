#include "framework/AccessibleImage.h"

#include "framework/Image.h"

namespace mirth {

QString PictureSizeText(QSize size)
{
    if (size.isEmpty())
        return QStringLiteral("empty");
    return QStringLiteral("%1 by %2 pixels").arg(size.width()).arg(size.height());
}

TAccessibleImage::TAccessibleImage(TImage* view) : QAccessibleWidget(view, QAccessible::Graphic)
{
}

TImage& TAccessibleImage::View() const
{
    return static_cast<TImage&>(*widget());
}

QSize TAccessibleImage::imageSize() const
{
    return QSize(View().Picture().Width(), View().Picture().Height());
}

QString TAccessibleImage::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        if (!View().accessibleName().isEmpty())
            return View().accessibleName();
        return QStringLiteral("Picture, ") + PictureSizeText(imageSize());
    case QAccessible::Description:
        return View().accessibleDescription().isEmpty() ? PictureSizeText(imageSize()) : View().accessibleDescription();
    default:
        return QAccessibleWidget::text(t);
    }
}

void* TAccessibleImage::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ImageInterface)
        return static_cast<QAccessibleImageInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QStringList TAccessibleImage::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (View().OnClick)
        names.prepend(pressAction());
    return names;
}

void TAccessibleImage::doAction(const QString& name)
{
    if (name == pressAction() && View().OnClick && View().isEnabled())
        View().OnClick(&View());
    else
        QAccessibleWidget::doAction(name);
}

} // namespace mirth
