#pragma once

#include <QStyledItemDelegate>

// The editor of the distance grids: digits edit, Enter posts, any other key cancels the edit.
class DistanceDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *editor, QEvent *event) override;
};
