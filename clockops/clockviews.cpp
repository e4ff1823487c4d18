#include "clockops/clockviews.h"

#include "races/raceinfo.h"
#include "races/racelists.h"
#include "races/ranking.h"
#include "races/resulttext.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QHash>
#include <QSqlQuery>
#include <algorithm>

namespace {
QString speedOf(const QSqlRecord &r)
{
    return ResultText::speed(r.value(QStringLiteral("FlySpeed")));
}

QString distanceOrZero(const QHash<QString, std::pair<QVariant, QVariant>> &rows, const QString &key, int mode)
{
    const auto it = rows.constFind(key);
    return it == rows.constEnd() ? QStringLiteral("0") : ResultText::distance(it->first, it->second, mode);
}
} // namespace

using namespace ListAlign;

// ---- marked list

MarkedList::MarkedList(TdmORVS &dm, ListLayout layout, QObject *parent) : RecordTable(parent), dm_(dm)
{
    const auto markedTime = [](const QSqlRecord &r) {
        return ValueText::shortDateTime(r.value(QStringLiteral("MarkedTime")));
    };
    if (layout == ListLayout::Grid) {
        setColumns({column(QStringLiteral("LoftNo"), QStringLiteral("Member"), Left,
                           textOf(QStringLiteral("LoftName"))),
                    column(QStringLiteral("PRingNo"), QStringLiteral("Association Number")),
                    column(QStringLiteral("MarkedTime"), QStringLiteral("Marked Time"), Left, markedTime)});
        return;
    }
    const auto empty = [](const QSqlRecord &) { return QString(); };
    Column line = column(QStringLiteral(""), QStringLiteral("Pos"), Right);
    line.lineNumber = true;
    setColumns(
        {line,
         column(QStringLiteral("LoftNo"), QStringLiteral("Name"), Left, textOf(QStringLiteral("LoftName"))),
         column(QStringLiteral("PRingNo"), QStringLiteral("Rigeon ")),
         column(QStringLiteral("Sex"), QStringLiteral("S"), Centre),
         column(QStringLiteral("MarkedTime"), QStringLiteral("Marled Time"), Left, markedTime),
         column(QStringLiteral(""), QStringLiteral("Yds/Min"), Right, empty),
         column(QStringLiteral(""), QStringLiteral("Flying Time"), Left, empty),
         column(QStringLiteral(""), QStringLiteral("Dist."), Right, empty)});
}

void MarkedList::load(const QString &raceCode, bool byRingOnly)
{
    std::vector<QSqlRecord> rows = dm_.rows(
        QStringLiteral(
            "SELECT a.LoftNo, b.PRingNo, a.Sex, a.ColorType, b.LiberCode, b.LiberDate, b.MarkedTime, "
            "'' AS LoftName, NULL AS Nom "
            "FROM ORV_PigRaceData b LEFT JOIN ORV_PigData a ON a.PRingNo=b.PRingNo "
            "WHERE b.RaceCode=? ORDER BY ") +
            (byRingOnly ? QStringLiteral("b.PRingNo") : QStringLiteral("a.LoftNo, b.PRingNo")),
        {raceCode});
    const QHash<QString, QString> names = LoftDistText::loftNames(dm_);
    // Each loft's marking times, sorted: a bird's place is the number marked at or before it.
    QHash<QString, std::vector<QString>> times;
    for (const QSqlRecord &r : rows) {
        const QVariant loft = r.value(0), t = r.value(6);
        if (!loft.isNull() && !t.isNull())
            times[loft.toString()].push_back(t.toString());
    }
    for (auto &v : times)
        std::sort(v.begin(), v.end());
    for (QSqlRecord &r : rows) {
        const QVariant loft = r.value(0), t = r.value(6);
        if (loft.isNull() || loft.toString().isEmpty())
            continue; // no member: no name, no place
        r.setValue(7, names.value(loft.toString()));
        if (t.isNull())
            continue;
        const std::vector<QString> &v = times[loft.toString()];
        r.setValue(8, static_cast<int>(std::upper_bound(v.begin(), v.end(), t.toString()) - v.begin()));
    }
    setRows(std::move(rows));
}

// ---- result list

ClockResultList::ClockResultList(TdmORVS &dm, ListLayout layout, QObject *parent)
    : RecordTable(parent), dm_(dm), layout_(layout)
{
    const auto clocked = [](const QSqlRecord &r) {
        return ResultText::clocked(r.value(QStringLiteral("BackTime")).toString());
    };
    if (layout == ListLayout::Grid) {
        setColumns({column(QStringLiteral("Pos"), QStringLiteral("Pos."), Right),
                    column(QStringLiteral("LoftNo"), QStringLiteral("Member")),
                    column(QStringLiteral("PRingNo"), QStringLiteral("Pigeon")),
                    column(QStringLiteral("BackTime"), QStringLiteral("Clocked")),
                    column(QStringLiteral("FlySpeed"), QStringLiteral("MPM"), Right, speedOf),
                    column(QStringLiteral("FlyTime"), QStringLiteral("Flying Time")),
                    column(QStringLiteral("Dist"), QStringLiteral("Dist."), Right,
                           textOf(QStringLiteral("DistText")))});
        return;
    }
    setColumns(
        {column(QStringLiteral("Pos"), QStringLiteral("Pos"), Right),
         column(QStringLiteral("LoftNo"), QStringLiteral("Name"), Left, textOf(QStringLiteral("LoftName"))),
         column(QStringLiteral("FlySpeed"), QStringLiteral("MPM"), Right, speedOf),
         column(QStringLiteral("PRingNo"), QStringLiteral("Ring Particulars ")),
         column(QStringLiteral("ColorType"), QStringLiteral("C"), Centre,
                [](const QSqlRecord &r) {
                    return ResultText::colourShort(r.value(QStringLiteral("ColorType")));
                }),
         column(QStringLiteral("Sex"), QStringLiteral("S"), Centre,
                [](const QSqlRecord &r) { return ResultText::sexWord(r.value(QStringLiteral("Sex"))); }),
         column(QStringLiteral("BackTime"), QStringLiteral("Clock / day"), Left, clocked),
         column(
             QStringLiteral("TimeVari"), QStringLiteral("Var"), Right,
             [](const QSqlRecord &r) { return ResultText::variation(r.value(QStringLiteral("TimeVari"))); }),
         column(QStringLiteral("Dist"), QStringLiteral("Distance"), Right,
                textOf(QStringLiteral("DistText"))),
         column(QStringLiteral("FlyTime"), QStringLiteral("Margin"), Left,
                textOf(QStringLiteral("Margin")))});
}

void ClockResultList::load(const QString &raceCode)
{
    setRows(arrivalRows(dm_, Ranking::rankedArrivals(dm_, raceCode)));
    refreshTitles();
}

void ClockResultList::refreshTitles()
{
    const ClubSettings club = ClubSettings::load(dm_);
    setHeaderData(columnOfField(QStringLiteral("FlySpeed")), Qt::Horizontal,
                  layout_ == ListLayout::Grid
                      ? club.speedTitle()
                      : (club.mode != 0 ? QStringLiteral("Yds/min") : QStringLiteral("MPM")));
}

QString ClockResultList::netFlyingTime() const
{
    return rowCount() == 0 ? QString() : value(0, QStringLiteral("FlyTime")).toString();
}

QString ClockResultList::winningMargin() const
{
    return ResultText::winningMargin(
        rowCount() > 0 ? value(0, QStringLiteral("FlyTime")).toString() : QString(),
        rowCount() > 1 ? value(1, QStringLiteral("FlyTime")).toString() : QString(), rowCount());
}

// ---- multi-race list

MultiRaceList::MultiRaceList(TdmORVS &dm, QObject *parent) : RecordTable(parent), dm_(dm)
{
    setColumns(
        {column(QStringLiteral("Rank"), QStringLiteral("Pos."), Right),
         column(QStringLiteral("LibCode"), QStringLiteral("RaceCode")),
         column(QStringLiteral("PRingNo"), QStringLiteral("Pigeon")),
         column(QStringLiteral("BackTime"), QStringLiteral("Clocked")),
         column(QStringLiteral("FlySpeed"), QStringLiteral("Fly Speed"), Right, speedOf),
         column(QStringLiteral("FlyTime"), QStringLiteral("Flying Time")),
         column(QStringLiteral("Dist"), QStringLiteral("Dist."), Right, textOf(QStringLiteral("DistText")))});
}

void MultiRaceList::load(const QString &loftNo, const QDate &startDate)
{
    std::vector<QSqlRecord> rows = dm_.rows(
        QStringLiteral(
            "SELECT NULL AS Rank, a.RaceCode AS LibCode, a.PRingNo, a.BackTime, a.FlyTime, a.FlySpeed, "
            "a.Dist, b.LoftNo, '' AS DistText FROM ORV_PigRaceData a LEFT JOIN ORV_PigData b "
            "ON a.PRingNo=b.PRingNo WHERE date(a.LiberDate)>=date(?) AND b.LoftNo=? "
            "AND a.BackTime<>'' ORDER BY a.BackTime"),
        {ValueText::date(startDate.isValid() ? startDate : QDate(1900, 1, 1)), loftNo});
    // The loft's distance rows by liberation code: a race code is its code and four characters.
    QHash<QString, std::pair<QVariant, QVariant>> distances;
    {
        QSqlQuery q = dm_.exec(
            QStringLiteral(
                "SELECT LiberCode, Miles, Yards FROM ORV_LoftLibPointDist WHERE LoftNo=? ORDER BY rowid"),
            {loftNo});
        while (q.next())
            if (!distances.contains(q.value(0).toString()))
                distances.insert(q.value(0).toString(), {q.value(1), q.value(2)});
    }
    // Ranked by arrival: 1 + the number of the loft's arrivals strictly earlier.
    std::vector<QString> arrivalsAt;
    arrivalsAt.reserve(rows.size());
    for (const QSqlRecord &r : rows)
        arrivalsAt.push_back(r.value(3).toString());
    const std::vector<int> pos = Ranking::positionsBy(arrivalsAt, arrivalsAt, std::less<QString>());
    const int mode = Races::clubMode(dm_);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].setValue(0, pos[i]);
        const QString code = rows[i].value(1).toString();
        rows[i].setValue(8, distanceOrZero(distances, code.left(code.size() - 4), mode));
    }
    setRows(std::move(rows));
}
