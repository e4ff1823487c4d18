#include "cli/clicommand.h"

#include "store/recordtable.h"

#include <QTextStream>

namespace {
QString csv(QString text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    text.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

void printList(QTextStream &out, const RecordTable &list, bool raw)
{
    const auto &columns = list.columns();
    QStringList cells;
    for (const RecordTable::Column &c : columns)
        cells << csv(raw ? c.field
                         : list.headerData(static_cast<int>(&c - columns.data()), Qt::Horizontal).toString());
    out << cells.join(QLatin1Char(',')) << '\n';
    for (int row = 0; row < list.rowCount(); ++row) {
        cells.clear();
        for (int col = 0; col < list.columnCount(); ++col) {
            const QString &field = columns.at(static_cast<size_t>(col)).field;
            cells << csv(raw ? list.value(row, field).toString() : list.displayText(row, col).trimmed());
        }
        out << cells.join(QLatin1Char(',')) << '\n';
    }
    out.flush();
}
