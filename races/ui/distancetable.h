#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QVariant>
#include <vector>

class TdmORVS;

// The loft distance rows in an editable grid: Miles and Yards are typed in place and stored when
// the edit is posted (Enter). Shown with the loft's current name and grouped whole numbers.
class DistanceTable : public QAbstractTableModel
{
    Q_OBJECT
public:
    DistanceTable(TdmORVS &dm, bool withLiberCode, QObject *parent = nullptr);

    // All rows (empty code) or those of one liberation code, in table order.
    void load(const QString &liberCode = {});
    void setUnitTitles(int mode); // "KM"/"M" or "Miles"/"Yards"
    void applySort(const QString &sortText);
    QString fieldOf(int column) const;
    QVariant value(int row, const QString &field) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation o, const QVariant &value,
                       int role = Qt::EditRole) override;

private:
    struct Row
    {
        qint64 rowid;
        QString liberCode;
        QString loftNo;
        QVariant miles;
        QVariant yards;
        QString loftName;
    };
    static QVariant fieldValue(const Row &r, const QString &field);

    TdmORVS &dm_;
    bool withLiberCode_;
    QString filter_;
    QStringList fields_;
    QStringList titles_;
    std::vector<Row> rows_;
};

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
