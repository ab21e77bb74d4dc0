#include "framework/RightAlignLayout.h"

#include <QWidget>

#include <algorithm>

namespace mirth {

TRightAlignLayout::TRightAlignLayout(QWidget& panel, QWidget& client, QWidget& right)
    : QLayout(&panel), client_(&client), right_(&right)
{
    setContentsMargins(0, 0, 0, 0);
    addWidget(&client);
    addWidget(&right);
}

TRightAlignLayout::~TRightAlignLayout()
{
    for (QLayoutItem* item : items_)
        delete item;
}

void TRightAlignLayout::addItem(QLayoutItem* item)
{
    items_.push_back(item);
}

QLayoutItem* TRightAlignLayout::itemAt(int index) const
{
    return index >= 0 && index < count() ? items_[size_t(index)] : nullptr;
}

QLayoutItem* TRightAlignLayout::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = items_[size_t(index)];
    items_.erase(items_.begin() + index);
    return item;
}

int TRightAlignLayout::count() const
{
    return static_cast<int>(items_.size());
}

QSize TRightAlignLayout::sizeHint() const
{
    QSize hint(0, 0);
    for (QLayoutItem* item : items_)
        if (!item->isEmpty())
            hint = QSize(hint.width() + item->sizeHint().width(), std::max(hint.height(), item->sizeHint().height()));
    return hint;
}

// The panel may shrink to nothing: the client gives way first, then the right control
// hangs past the left edge.
QSize TRightAlignLayout::minimumSize() const
{
    return QSize(0, 0);
}

// The right control keeps its fixed width, or takes its preferred one when it has none.
void TRightAlignLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    QRect rest = rect;
    if (right_ != nullptr && !right_->isHidden()) {
        const int width = right_->sizeHint().expandedTo(right_->minimumSize()).boundedTo(right_->maximumSize()).width();
        right_->setGeometry(rect.right() + 1 - width, rect.top(), width, rect.height());
        rest.setWidth(std::max(rect.width() - width, 0));
    }
    if (client_ != nullptr)
        client_->setGeometry(rest);
}

} // namespace mirth
