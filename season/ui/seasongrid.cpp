#include "season/ui/seasongrid.h"

#include "store/recordtable.h"

#include <QSqlField>
#include <QSqlRecord>

void fillSeasonTable(RecordTable &table, const SeasonLists::Table &list)
{
    std::vector<RecordTable::Column> cols;
    const int n = static_cast<int>(list.columns.size());
    for (int i = 0; i < n; ++i) {
        const SeasonLists::Column &c = list.columns[static_cast<size_t>(i)];
        // Each row carries its display texts beside its values, as fields "#0", "#1", …
        const QString shownField = QStringLiteral("#%1").arg(i);
        cols.push_back({c.field, c.title,
                        c.number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter,
                        [shownField](const QSqlRecord &r) { return r.value(shownField).toString(); }});
    }
    table.setColumns(std::move(cols));
    std::vector<QSqlRecord> rows;
    rows.reserve(list.raw.size());
    for (size_t r = 0; r < list.raw.size(); ++r) {
        QSqlRecord rec;
        for (int i = 0; i < n; ++i) {
            QSqlField f(list.columns[static_cast<size_t>(i)].field);
            f.setValue(list.raw[r].value(i));
            rec.append(f);
        }
        for (int i = 0; i < n; ++i) {
            QSqlField f(QStringLiteral("#%1").arg(i));
            f.setValue(list.shown[r].value(i));
            rec.append(f);
        }
        rows.push_back(rec);
    }
    table.setRows(std::move(rows));
}
