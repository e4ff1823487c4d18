#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

// A radio group used as a pop-up action list: shown at the mouse position, a click on an item
// hides it and reports the item. Its choices are the "items" property, which caption
// translation replaces.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
public:
    explicit TRadioGroup(const QString &objectName, const QStringList &items, QWidget *parent = nullptr);

    QStringList items() const { return items_; }
    void setItems(const QStringList &items);
    int itemIndex() const { return index_; }
    // Shows the group at a point of its parent (the mouse position) and raises it.
    void popupAt(const QPoint &parentPos);
    // Chooses an item as a click would.
    void choose(int index);

signals:
    void chosen(int index);

private:
    QStringList items_;
    QButtonGroup *group_;
    int index_ = -1;
};
