#include "app/ui/grid.h"

#include "store/recordtable.h"

#include <QHeaderView>

TDBGrid::TDBGrid(const QString &objectName, RecordTable *model, QWidget *parent)
    : QTableView(parent), table_(model)
{
    setObjectName(objectName);
    setModel(model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section >= 0 && section < static_cast<int>(table_->columns().size()))
            emit titleClicked(table_->columns()[static_cast<size_t>(section)].field);
    });
}

int TDBGrid::currentRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void TDBGrid::selectRow(int row)
{
    if (row >= 0 && row < model()->rowCount())
        setCurrentIndex(model()->index(row, 0));
}
