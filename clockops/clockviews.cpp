#include "clockops/clockviews.h"

#include "races/flytime.h"
#include "store/recordtable.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QSqlField>
#include <QSqlRecord>

namespace ClockViews {

namespace {
// Adds a computed "Rank" field to every row: 1 + the number of rows strictly before it by `better`.
template <typename Better> void rankRows(std::vector<QSqlRecord> &rows, Better better)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        size_t first = i;
        while (first > 0 && !better(rows[first - 1], rows[i]))
            --first;
        QSqlField f(QStringLiteral("Rank"), QMetaType(QMetaType::Int));
        f.setValue(static_cast<int>(first + 1));
        rows[i].insert(0, f);
    }
}

QString nameOf(TdmORVS &dm, const QVariant &loftNo)
{
    if (loftNo.isNull() || loftNo.toString().isEmpty())
        return {};
    return LoftDistText::loftName(dm, loftNo);
}
} // namespace

QString speedText(const QVariant &v)
{
    const double d = v.toDouble();
    return d == 0 ? QString() : FlyTime::velocityText(d);
}

QString distText(TdmORVS &dm, const QString &liberCode, const QString &loftNo)
{
    const auto rows =
        dm.rows(QStringLiteral(
                    "SELECT Miles, Yards FROM ORV_LoftLibPointDist WHERE LiberCode=? AND LoftNo=? LIMIT 1"),
                {liberCode, loftNo});
    if (rows.empty())
        return QStringLiteral("0");
    return rows[0].value(0).toString() + QLatin1Char('/') + rows[0].value(1).toString();
}

void setupMarking(RecordTable &t, TdmORVS &dm)
{
    t.setColumns({});
    t.addColumn(QStringLiteral("LoftNo"), QStringLiteral("Member"), Qt::AlignLeft | Qt::AlignVCenter,
                [&dm](const QSqlRecord &r) { return nameOf(dm, r.value(QStringLiteral("LoftNo"))); });
    t.addColumn(QStringLiteral("PRingNo"), QStringLiteral("Association Number"));
    t.addColumn(
        QStringLiteral("MarkedTime"), QStringLiteral("Marked Time"), Qt::AlignLeft | Qt::AlignVCenter,
        [](const QSqlRecord &r) { return ValueText::shortDateTime(r.value(QStringLiteral("MarkedTime"))); });
}

void loadMarking(RecordTable &t, TdmORVS &dm, const QString &raceCode, bool byRingOnly)
{
    t.load(dm,
           QStringLiteral(
               "SELECT a.LoftNo, b.PRingNo, a.Sex, a.ColorType, b.LiberCode, b.LiberDate, b.MarkedTime "
               "FROM ORV_PigRaceData b LEFT JOIN ORV_PigData a ON a.PRingNo=b.PRingNo "
               "WHERE b.RaceCode=? ORDER BY ") +
               (byRingOnly ? QStringLiteral("b.PRingNo") : QStringLiteral("a.LoftNo, b.PRingNo")),
           {raceCode});
}

void setupResult(RecordTable &t, TdmORVS &dm)
{
    t.setColumns({});
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    t.addColumn(QStringLiteral("Rank"), QStringLiteral("Pos."), right);
    t.addColumn(QStringLiteral("LoftNo"), QStringLiteral("Member"));
    t.addColumn(QStringLiteral("PRingNo"), QStringLiteral("Pigeon"));
    t.addColumn(QStringLiteral("BackTime"), QStringLiteral("Clocked"));
    t.addColumn(QStringLiteral("FlySpeed"), ClubSettings::load(dm).speedTitle(), right,
                [](const QSqlRecord &r) { return speedText(r.value(QStringLiteral("FlySpeed"))); });
    t.addColumn(QStringLiteral("FlyTime"), QStringLiteral("Flying Time"));
    t.addColumn(QStringLiteral("Dist"), QStringLiteral("Dist."), right, [&dm](const QSqlRecord &r) {
        return distText(dm, r.value(QStringLiteral("LiberCode")).toString(),
                        r.value(QStringLiteral("LoftNo")).toString());
    });
}

void loadResult(RecordTable &t, TdmORVS &dm, const QString &raceCode, const QString &liberCode)
{
    auto rows =
        dm.rows(QStringLiteral("SELECT b.LoftNo, a.PRingNo, a.BackTime, a.FlyTime, a.FlySpeed, a.Dist, "
                               "? AS LiberCode FROM ORV_PigRaceData a LEFT JOIN ORV_PigData b "
                               "ON a.PRingNo=b.PRingNo WHERE a.RaceCode=? AND a.BackTime IS NOT NULL "
                               "AND a.BackTime<>'' ORDER BY a.FlySpeed DESC, a.BackTime"),
                {liberCode, raceCode});
    // Equal velocities (to the thousandth) share a position; the next one is skipped.
    rankRows(rows, [](const QSqlRecord &faster, const QSqlRecord &r) {
        return FlyTime::thousandthsOf(faster.value(QStringLiteral("FlySpeed")).toDouble()) >
               FlyTime::thousandthsOf(r.value(QStringLiteral("FlySpeed")).toDouble());
    });
    t.setRows(std::move(rows));
}

void setupMulti(RecordTable &t, TdmORVS &dm)
{
    t.setColumns({});
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    t.addColumn(QStringLiteral("Rank"), QStringLiteral("Pos."), right);
    t.addColumn(QStringLiteral("LibCode"), QStringLiteral("RaceCode"));
    t.addColumn(QStringLiteral("PRingNo"), QStringLiteral("Pigeon"));
    t.addColumn(QStringLiteral("BackTime"), QStringLiteral("Clocked"));
    t.addColumn(QStringLiteral("FlySpeed"), QStringLiteral("Fly Speed"), right,
                [](const QSqlRecord &r) { return speedText(r.value(QStringLiteral("FlySpeed"))); });
    t.addColumn(QStringLiteral("FlyTime"), QStringLiteral("Flying Time"));
    t.addColumn(QStringLiteral("Dist"), QStringLiteral("Dist."), right, [&dm](const QSqlRecord &r) {
        const QString code = r.value(QStringLiteral("LibCode")).toString();
        return distText(dm, code.left(code.size() - 4), r.value(QStringLiteral("LoftNo")).toString());
    });
}

void loadMulti(RecordTable &t, TdmORVS &dm, const QString &loftNo, const QDate &startDate)
{
    auto rows =
        dm.rows(QStringLiteral("SELECT a.RaceCode AS LibCode, a.PRingNo, a.BackTime, a.FlyTime, a.FlySpeed, "
                               "a.Dist, b.LoftNo FROM ORV_PigRaceData a LEFT JOIN ORV_PigData b "
                               "ON a.PRingNo=b.PRingNo WHERE date(a.LiberDate)>=date(?) AND b.LoftNo=? "
                               "AND a.BackTime<>'' ORDER BY a.BackTime"),
                {ValueText::date(startDate.isValid() ? startDate : QDate(1900, 1, 1)), loftNo});
    rankRows(rows, [](const QSqlRecord &earlier, const QSqlRecord &r) {
        return earlier.value(QStringLiteral("BackTime")).toString() <
               r.value(QStringLiteral("BackTime")).toString();
    });
    t.setRows(std::move(rows));
}

} // namespace ClockViews
