#pragma once

#include <QTableView>

class RecordTable;

// The one look of every grid: columns sized to their content whenever the rows change (never
// wider than half the grid), resizable by dragging, one column (the last) taking the room left, and the
// sort arrow on the column a RecordTable is sorted by.
namespace GridFit {
void apply(QTableView *view);
// Sizes the columns to the rows shown now.
void fit(QTableView *view);
// The column that takes the room left (by default the last shown one).
void fillColumn(QTableView *view, int column);
} // namespace GridFit

// A read-only data grid over a RecordTable, one row selected at a time. A click on a column title
// emits titleClicked with the column's field name; the page decides how to sort.
class TDBGrid : public QTableView
{
    Q_OBJECT
public:
    TDBGrid(const QString &objectName, RecordTable *model, QWidget *parent = nullptr);
    RecordTable *table() const { return table_; }
    // The selected row of the model, or -1.
    int currentRow() const;
    void selectRow(int row);

signals:
    void titleClicked(const QString &field);

private:
    RecordTable *table_;
};
