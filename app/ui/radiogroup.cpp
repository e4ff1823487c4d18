#include "app/ui/radiogroup.h"

#include <QFrame>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {
// A dashed item ("-------------------------") divides the list; it is no choice.
bool isSeparator(const QString &item)
{
    static const QRegularExpression dashes(QStringLiteral("^\\s*-{3,}\\s*$"));
    return dashes.match(item).hasMatch();
}
} // namespace

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
    qDeleteAll(findChildren<QFrame *>(QStringLiteral("separator"), Qt::FindDirectChildrenOnly));
    items_ = items;
    // Item i keeps button id i, so the choices keep their numbers with separators between them.
    for (int i = 0; i < items.size(); ++i) {
        if (isSeparator(items.at(i))) {
            auto *line = new QFrame(this);
            line->setObjectName(QStringLiteral("separator"));
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            layout()->addWidget(line);
            continue;
        }
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
