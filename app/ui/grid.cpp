#include "app/ui/grid.h"

#include "store/recordtable.h"

#include <QHeaderView>

namespace GridFit {

namespace {
void showSort(QTableView *view)
{
    QHeaderView *h = view->horizontalHeader();
    const auto *table = qobject_cast<const RecordTable *>(view->model());
    const QString sort = table ? table->sortText() : QString();
    const int column = sort.isEmpty() ? -1 : table->columnOfField(sort.section(QLatin1Char(' '), 0, 0));
    h->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        h->setSortIndicator(column, sort.endsWith(QLatin1String(" DESC")) ? Qt::DescendingOrder : Qt::AscendingOrder);
}
} // namespace

void fit(QTableView *view)
{
    if (!view->model())
        return;
    QHeaderView *h = view->horizontalHeader();
    view->resizeColumnsToContents();
    // Before the grid is laid out its width is not known yet.
    const int width = view->viewport()->width();
    const int widest = width >= 200 ? width / 2 : 480;
    const int pad = view->fontMetrics().horizontalAdvance(QLatin1Char('M'));
    for (int c = 0; c < h->count(); ++c)
        h->resizeSection(c, qMin(widest, h->sectionSize(c) + pad));
    showSort(view);
}

void apply(QTableView *view)
{
    QHeaderView *h = view->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setStretchLastSection(true);
    h->setSortIndicatorClearable(true);
    h->setMinimumSectionSize(view->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    h->setTextElideMode(Qt::ElideRight);
    QAbstractItemModel *m = view->model();
    if (!m)
        return;
    fit(view);
    // A model the view owns (a QTableWidget's) resets itself while the view is destroyed: such a
    // grid is fitted by its page when it fills it.
    if (m->parent() == view)
        return;
    const auto refit = [view] { fit(view); };
    QObject::connect(m, &QAbstractItemModel::modelReset, view, refit);
    QObject::connect(m, &QAbstractItemModel::layoutChanged, view, refit);
    QObject::connect(m, &QAbstractItemModel::rowsInserted, view, refit);
    QObject::connect(m, &QAbstractItemModel::headerDataChanged, view, refit);
}

} // namespace GridFit

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
    GridFit::apply(this);
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
