#include "app/ui/radiogroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString &objectName, const QStringList &items, QWidget *parent)
    : QGroupBox(parent), group_(new QButtonGroup(this))
{
    setObjectName(objectName);
    new QVBoxLayout(this);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("TRadioGroup { background: palette(base); border: 1px solid palette(mid); }"));
    connect(group_, &QButtonGroup::idClicked, this, &TRadioGroup::choose);
    setItems(items);
    hide();
}

void TRadioGroup::setItems(const QStringList &items)
{
    for (QAbstractButton *b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    items_ = items;
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items.at(i), this);
        group_->addButton(b, i);
        layout()->addWidget(b);
    }
    adjustSize();
}

void TRadioGroup::popupAt(const QPoint &parentPos)
{
    group_->setExclusive(false);
    for (QAbstractButton *b : group_->buttons())
        b->setChecked(false);
    group_->setExclusive(true);
    adjustSize();
    QPoint p = parentPos;
    if (parentWidget()) {
        p.setX(qBound(0, p.x(), qMax(0, parentWidget()->width() - width())));
        p.setY(qBound(0, p.y(), qMax(0, parentWidget()->height() - height())));
    }
    move(p);
    show();
    raise();
}

void TRadioGroup::choose(int index)
{
    index_ = index;
    hide();
    emit chosen(index);
}
