#pragma once

#include <QAbstractTableModel>
#include <QSqlRecord>
#include <QStringList>
#include <functional>
#include <vector>

class TdmORVS;

// Column alignments of the lists.
namespace ListAlign {
inline constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
inline constexpr Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
inline constexpr Qt::Alignment Centre = Qt::AlignCenter;
} // namespace ListAlign

// Which column set of a list: the page's grid or the printed report. Both read the same rows.
enum class ListLayout
{
    Grid,
    Report
};

// Read-only rows of a query shown in a grid: column titles, per-column display texts and
// alignment, and sorting of the rows already fetched (no new query). Lives in Qt Core so that
// the grids' display texts are testable without widgets.
class RecordTable : public QAbstractTableModel
{
    Q_OBJECT
public:
    using DisplayFn = std::function<QString(const QSqlRecord &row)>;
    struct Column
    {
        QString field;
        QString title;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        DisplayFn display; // empty: the field's value as text
        bool lineNumber = false; // shows the row's running number (1, 2, ...) instead of a field
    };

    explicit RecordTable(QObject *parent = nullptr);

    // Column builders for list definitions.
    static Column column(const QString &field, const QString &title,
                         Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter, DisplayFn display = {});
    static DisplayFn textOf(const QString &field);           // another field's value as text
    static DisplayFn shortDateTimeOf(const QString &field);  // stored date-time in the user's form

    void setColumns(std::vector<Column> columns);
    void addColumn(const QString &field, const QString &title = {}, Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter,
                   DisplayFn display = {});
    const std::vector<Column> &columns() const { return columns_; }

    void setRows(std::vector<QSqlRecord> rows);
    const std::vector<QSqlRecord> &rows() const { return rows_; }
    // Takes another list's rows as they stand (its order after title clicks, in-place edits):
    // a report printed from a grid shows what the grid shows.
    void copyRowsFrom(const RecordTable &other);
    void load(TdmORVS &dm, const QString &sql, const QVariantList &binds = {});
    void clear();

    const QSqlRecord &record(int row) const { return rows_.at(static_cast<size_t>(row)); }
    QVariant value(int row, const QString &field) const { return record(row).value(field); }
    // Changes one value of a fetched row (a grid that edits its current row in place).
    void setValue(int row, const QString &field, const QVariant &value);
    int rowOf(const QString &field, const QVariant &value) const;
    QString displayText(int row, int column) const;
    int columnOfField(const QString &field) const;

    // Sorts by "Field ASC" / "Field DESC"; an empty text or unknown field leaves the order.
    void applySort(const QString &sortText);
    // A click on a column title: the shared sort text moves on by the title-click rule
    // (ascending first, then alternating) and the rows are sorted by it.
    void titleClick(QString &sharedSortText, const QString &field);
    QString sortText() const { return sortText_; }

    // A row template with these fields (values NULL), for lists that build their rows.
    static QSqlRecord recordTemplate(const QStringList &fields);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation o, const QVariant &value, int role = Qt::EditRole) override;

    // Orders two stored values: numbers as numbers, everything else as text.
    static int compareValues(const QVariant &a, const QVariant &b);

private:
    std::vector<Column> columns_;
    std::vector<QSqlRecord> rows_;
    QString sortText_;
};
