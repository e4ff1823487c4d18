#include "races/ui/distancedelegate.h"

#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>

QWidget *DistanceDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                        const QModelIndex &) const
{
    auto *e = new QLineEdit(parent);
    e->setValidator(new QIntValidator(0, 99999999, e));
    return e;
}

bool DistanceDelegate::eventFilter(QObject *editor, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        const QString t = k->text();
        const bool digit = t.size() == 1 && t.at(0).isDigit();
        const bool post = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        const bool navigation = k->key() == Qt::Key_Left || k->key() == Qt::Key_Right ||
                                k->key() == Qt::Key_Home || k->key() == Qt::Key_End;
        if (!digit && !post && !navigation && (k->key() == Qt::Key_Backspace || !t.isEmpty())) {
            auto *w = qobject_cast<QWidget *>(editor);
            emit closeEditor(w, QAbstractItemDelegate::RevertModelCache); // cancel the pending edit
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}
