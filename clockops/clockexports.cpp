#include "clockops/clockexports.h"

#include "clockops/clockviews.h"
#include "store/operationsink.h"
#include "store/recordtable.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QHash>
#include <QSqlQuery>
#include <algorithm>

namespace ClockExports {

WorkbookWriter markedWorkbook(TdmORVS &dm, const QString &raceCode)
{
    WorkbookWriter w({QStringLiteral("LoftNo"), QStringLiteral("PRingNo"), QStringLiteral("Sex"),
                      QStringLiteral("ColorType"), QStringLiteral("LiberCode"), QStringLiteral("LiberDate"),
                      QStringLiteral("MarkedTime"), QStringLiteral("Nom")});
    for (int c = 0; c <= 6; ++c)
        w.setTextColumn(c);
    const std::pair<int, double> widths[] = {{0, 12}, {1, 22}, {5, 12}, {6, 25}};
    for (const auto &[c, width] : widths)
        w.setWidth(c, width);

    QSqlQuery q = dm.exec(QStringLiteral("SELECT a.LoftNo, b.PRingNo, a.Sex, a.ColorType, b.LiberCode, b.LiberDate, "
                                         "b.MarkedTime FROM ORV_PigRaceData b LEFT JOIN ORV_PigData a "
                                         "ON a.PRingNo=b.PRingNo WHERE b.RaceCode=? "
                                         "ORDER BY a.LoftNo, b.MarkedTime, b.rowid"),
                          {raceCode});
    struct Row
    {
        QVariantList values;
        QString loft;
        QDateTime marked;
    };
    std::vector<Row> rows;
    QHash<QString, std::vector<QDateTime>> markedByLoft;
    while (q.next()) {
        Row r;
        r.loft = q.value(0).toString();
        r.marked = ValueText::parseDateTime(q.value(6));
        const QDate date = ValueText::parseDate(q.value(5));
        r.values = {q.value(0), q.value(1), q.value(2), q.value(3), q.value(4),
                    date.isValid() ? QVariant(ValueText::date(date)) : q.value(5),
                    r.marked.isValid() ? QVariant(ValueText::dateTime(r.marked)) : q.value(6)};
        if (!q.value(0).isNull() && r.marked.isValid())
            markedByLoft[r.loft].push_back(r.marked);
        rows.push_back(std::move(r));
    }
    for (auto &times : markedByLoft)
        std::sort(times.begin(), times.end());
    for (Row &r : rows) {
        QVariant nom; // a bird of no known loft, or without a marking time, has no place
        const auto it = markedByLoft.constFind(r.loft);
        if (it != markedByLoft.constEnd() && r.marked.isValid()) {
            const int place = int(std::upper_bound(it->begin(), it->end(), r.marked) - it->begin());
            nom = place <= 5 ? place : 0;
        }
        r.values << nom;
        w.addRow(std::move(r.values));
    }
    return w;
}

std::vector<QSqlRecord> multiRows(TdmORVS &dm, const QString &loftNo, const QDate &from)
{
    RecordTable t;
    ClockViews::setupMulti(t, dm);
    ClockViews::loadMulti(t, dm, loftNo, from);
    std::vector<QSqlRecord> rows;
    for (int r = 0; r < t.rowCount(); ++r)
        rows.push_back(t.record(r));
    return rows;
}

WorkbookWriter multiWorkbook(const std::vector<QSqlRecord> &rows)
{
    const QStringList fields{QStringLiteral("Rank"),    QStringLiteral("LibCode"), QStringLiteral("PRingNo"),
                             QStringLiteral("BackTime"), QStringLiteral("FlyTime"), QStringLiteral("FlySpeed"),
                             QStringLiteral("Dist")};
    WorkbookWriter w(fields);
    for (int c = 1; c <= 5; ++c)
        w.setTextColumn(c);
    const std::pair<int, double> widths[] = {{1, 12}, {2, 22}, {3, 25}, {4, 15}};
    for (const auto &[c, width] : widths)
        w.setWidth(c, width);
    for (const QSqlRecord &r : rows) {
        QVariantList values;
        for (const QString &f : fields)
            values << r.value(f);
        w.addRow(std::move(values));
    }
    return w;
}

namespace {
bool save(const WorkbookWriter &w, const QString &path, OperationSink &sink)
{
    QString error;
    if (!w.save(path, &error)) {
        sink.failure(error);
        return false;
    }
    sink.success(path);
    return true;
}
} // namespace

bool saveMarked(TdmORVS &dm, const QString &raceCode, const QString &path, OperationSink &sink)
{
    return save(markedWorkbook(dm, raceCode), path, sink);
}

bool saveMulti(const std::vector<QSqlRecord> &rows, const QString &path, OperationSink &sink)
{
    return save(multiWorkbook(rows), path, sink);
}

} // namespace ClockExports
