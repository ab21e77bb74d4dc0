#pragma once
#include <QLayout>
#include <QPointer>

#include <vector>

namespace mirth {

// Lays out two controls of a panel the way a control aligned to the right edge and one
// filling the client area share it: the right one keeps its width, flush with the right
// edge, even when that takes it past the left edge of a narrow panel; the client control
// takes what is left, down to nothing. A hidden right control leaves the client all of it.
class TRightAlignLayout : public QLayout {
public:
    TRightAlignLayout(QWidget& panel, QWidget& client, QWidget& right);
    ~TRightAlignLayout() override;

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    std::vector<QLayoutItem*> items_;
    QPointer<QWidget> client_;
    QPointer<QWidget> right_;
};

} // namespace mirth
