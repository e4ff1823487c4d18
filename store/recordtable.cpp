#include "store/recordtable.h"

#include "store/sorttext.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QSqlField>
#include <algorithm>

RecordTable::RecordTable(QObject *parent) : QAbstractTableModel(parent) {}

RecordTable::Column RecordTable::column(const QString &field, const QString &title, Qt::Alignment a,
                                        DisplayFn display)
{
    return {field, title, a, std::move(display), false};
}

RecordTable::DisplayFn RecordTable::textOf(const QString &field)
{
    return [field](const QSqlRecord &r) { return r.value(field).toString(); };
}

RecordTable::DisplayFn RecordTable::shortDateTimeOf(const QString &field)
{
    return [field](const QSqlRecord &r) { return ValueText::shortDateTime(r.value(field)); };
}

void RecordTable::setColumns(std::vector<Column> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

void RecordTable::addColumn(const QString &field, const QString &title, Qt::Alignment a, DisplayFn display)
{
    beginResetModel();
    columns_.push_back({field, title.isEmpty() ? field : title, a, std::move(display)});
    endResetModel();
}

void RecordTable::setRows(std::vector<QSqlRecord> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void RecordTable::copyRowsFrom(const RecordTable &other)
{
    setRows(other.rows_);
    sortText_ = other.sortText_;
}

QSqlRecord RecordTable::recordTemplate(const QStringList &fields)
{
    QSqlRecord r;
    for (const QString &f : fields)
        r.append(QSqlField(f));
    return r;
}

void RecordTable::load(TdmORVS &dm, const QString &sql, const QVariantList &binds)
{
    setRows(dm.rows(sql, binds));
}

void RecordTable::clear()
{
    setRows({});
}

void RecordTable::setValue(int row, const QString &field, const QVariant &value)
{
    if (row < 0 || row >= rowCount())
        return;
    rows_[static_cast<size_t>(row)].setValue(field, value);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int RecordTable::rowOf(const QString &field, const QVariant &value) const
{
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].value(field) == value || rows_[i].value(field).toString() == value.toString())
            return static_cast<int>(i);
    return -1;
}

int RecordTable::columnOfField(const QString &field) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

QString RecordTable::displayText(int row, int column) const
{
    const Column &c = columns_.at(static_cast<size_t>(column));
    if (c.lineNumber)
        return QString::number(row + 1);
    const QSqlRecord &r = rows_.at(static_cast<size_t>(row));
    if (c.display)
        return c.display(r);
    return r.value(c.field).toString();
}

int RecordTable::compareValues(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    const auto isNumber = [](const QVariant &v) {
        switch (v.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
            return true;
        default:
            return false;
        }
    };
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

void RecordTable::applySort(const QString &sortText)
{
    if (sortText.isEmpty())
        return;
    sortText_ = sortText;
    if (rows_.empty())
        return;
    const QString f = sortText.section(QLatin1Char(' '), 0, 0);
    if (rows_.front().indexOf(f) < 0)
        return;
    const bool desc = sortText.endsWith(QLatin1String(" DESC"));
    beginResetModel();
    std::stable_sort(rows_.begin(), rows_.end(), [&](const QSqlRecord &x, const QSqlRecord &y) {
        const int c = compareValues(x.value(f), y.value(f));
        return desc ? c > 0 : c < 0;
    });
    endResetModel();
}

void RecordTable::titleClick(QString &sharedSortText, const QString &field)
{
    sharedSortText = SortText::next(sharedSortText, field);
    applySort(sharedSortText);
}

int RecordTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return displayText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_.at(static_cast<size_t>(index.column())).alignment);
    return {};
}

QVariant RecordTable::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && section >= 0 && section < columnCount()) {
        if (role == Qt::DisplayRole)
            return columns_[static_cast<size_t>(section)].title;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(columns_[static_cast<size_t>(section)].alignment);
    }
    return QAbstractTableModel::headerData(section, o, role);
}

bool RecordTable::setHeaderData(int section, Qt::Orientation o, const QVariant &value, int role)
{
    if (o != Qt::Horizontal || section < 0 || section >= columnCount() ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    columns_[static_cast<size_t>(section)].title = value.toString();
    emit headerDataChanged(o, section, section);
    return true;
}
