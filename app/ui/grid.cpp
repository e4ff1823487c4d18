#include "app/ui/grid.h"

#include "store/recordtable.h"

#include <QEvent>
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

namespace {
// Gives one column (the last unless a page names another) the room the others leave, never less
// than its content: Qt's own last-section stretch keeps a content width it set earlier, which left
// the grids scrolling sideways by a few pixels.
class Filler : public QObject
{
public:
    explicit Filler(QTableView *view) : QObject(view), view_(view)
    {
        setObjectName(QLatin1String(name));
        view->viewport()->installEventFilter(this);
        connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
            if (busy_)
                return;
            if (logical == column())
                wanted_ = size; // dragged by the user: that is its width now
            else
                fill();
        });
    }
    static Filler *of(QTableView *view)
    {
        // No meta-object of its own: found by name.
        return static_cast<Filler *>(view->findChild<QObject *>(QLatin1String(name), Qt::FindDirectChildrenOnly));
    }

    int column() const
    {
        const QHeaderView *h = view_->horizontalHeader();
        if (column_ >= 0 && column_ < h->count())
            return column_;
        for (int v = h->count() - 1; v >= 0; --v) {
            const int c = h->logicalIndex(v);
            if (h->isSectionHidden(c))
                continue;
            // A count or a distance pushed to the far edge reads badly: such a grid ends where its
            // numbers end.
            const QAbstractItemModel *m = view_->model();
            QVariant align = m ? m->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole) : QVariant();
            if (!align.isValid() && m && m->rowCount() > 0)
                align = m->data(m->index(0, c), Qt::TextAlignmentRole);
            if (align.toInt() & Qt::AlignRight)
                return -1;
            return c;
        }
        return -1;
    }
    void setColumn(int c) { column_ = c; }
    void setWanted(int w) { wanted_ = w; }
    void hold(bool on) { busy_ = on; }

    void fill()
    {
        QHeaderView *h = view_->horizontalHeader();
        const int c = column();
        if (c < 0 || busy_)
            return;
        int others = 0;
        for (int i = 0; i < h->count(); ++i)
            if (i != c && !h->isSectionHidden(i))
                others += h->sectionSize(i);
        const int size = qMax(wanted_, view_->viewport()->width() - others);
        if (size == h->sectionSize(c))
            return;
        busy_ = true;
        h->resizeSection(c, size);
        busy_ = false;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched == view_->viewport())
            fill();
        return false;
    }

private:
    static constexpr const char *name = "pnxGridFiller";
    QTableView *view_;
    int column_ = -1;
    int wanted_ = 0;
    bool busy_ = false;
};
} // namespace

void fit(QTableView *view)
{
    if (!view->model())
        return;
    QHeaderView *h = view->horizontalHeader();
    Filler *filler = Filler::of(view);
    if (!filler)
        filler = new Filler(view);
    view->resizeColumnsToContents();
    // Before the grid is laid out its width is not known yet.
    const int width = view->viewport()->width();
    const int widest = width >= 200 ? width / 2 : 480;
    const int pad = view->fontMetrics().horizontalAdvance(QLatin1Char('M'));
    const int fillColumn = filler->column();
    filler->setWanted(0);
    filler->hold(true);
    for (int c = 0; c < h->count(); ++c) {
        const int content = h->sectionSize(c);
        // The filling column may give up its margin rather than make the grid scroll.
        if (c == fillColumn)
            filler->setWanted(qMin(widest, content));
        h->resizeSection(c, qMin(widest, content + pad));
    }
    filler->hold(false);
    filler->fill();
    showSort(view);
}

void fillColumn(QTableView *view, int column)
{
    Filler *filler = Filler::of(view);
    if (!filler)
        filler = new Filler(view);
    filler->setColumn(column);
    fit(view);
}

void apply(QTableView *view)
{
    QHeaderView *h = view->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setStretchLastSection(false);
    h->setSortIndicatorClearable(true);
    h->setMinimumSectionSize(view->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    h->setTextElideMode(Qt::ElideRight);
    if (!Filler::of(view))
        new Filler(view);
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
