#include "races/ranking.h"

#include "races/flytime.h"
#include "races/raceinfo.h"
#include "races/sqlitecursor.h"
#include "store/operationsink.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace Ranking {

std::vector<int> positions(const std::vector<qint64> &field, const std::vector<qint64> &ofThese)
{
    return positionsBy(field, ofThese, std::greater<qint64>());
}

std::vector<Arrival> rankedArrivals(TdmORVS &dm, const QString &raceCode)
{
    const QString raceLiberCode =
        dm.scalar(QStringLiteral("SELECT LiberCode FROM ORV_RaceData WHERE RaceCode=? "
                                 "ORDER BY COALESCE(DeleteMark,0), rowid LIMIT 1"),
                  {raceCode})
            .toString();

    // Distance rows of the liberation codes the race's entries carry, by code and loft.
    struct DistRow
    {
        QVariant miles, yards;
    };
    QHash<QString, QHash<QString, DistRow>> distances;
    {
        QSqlQuery q = dm.exec(
            QStringLiteral("SELECT LiberCode, LoftNo, Miles, Yards FROM ORV_LoftLibPointDist WHERE LiberCode=? "
                           "OR LiberCode IN (SELECT DISTINCT LiberCode FROM ORV_PigRaceData WHERE RaceCode=?) "
                           "ORDER BY rowid"),
            {raceLiberCode, raceCode});
        while (q.next()) {
            QHash<QString, DistRow> &byLoft = distances[q.value(0).toString()];
            const QString loft = q.value(1).toString();
            if (!byLoft.contains(loft)) // the first row of a pair, as a look-up finds it
                byLoft.insert(loft, {q.value(2), q.value(3)});
        }
    }

    // One pass over the arrivals and their pigeons; a LEFT JOIN keeps SQLite's order
    // entry -> pigeon, an index look-up each. A ring held by two pigeon rows lists twice but
    // counts once for the positions.
    SqliteCursor q(dm, "SELECT a.rowid, a.LiberCode, a.PRingNo, a.BackTime, a.FlyTime, a.FlySpeed, a.TimeVari, "
                       "a.Dist, b.LoftNo, b.Sex, b.ColorType, b.RCountry, b.RYear, b.RRegLetter, b.RRegNumber "
                       "FROM ORV_PigRaceData a LEFT JOIN ORV_PigData b ON a.PRingNo=b.PRingNo "
                       "WHERE a.RaceCode=? AND a.BackTime IS NOT NULL AND a.BackTime<>''");
    q.bind(1, raceCode);
    std::vector<qint64> field;
    std::vector<Arrival> rows;
    std::vector<qint64> speeds;
    qint64 lastEntry = -1;
    while (q.next()) {
        const qint64 entryId = q.int64(0);
        const qint64 k = FlyTime::thousandthsOf(q.real(5)); // NULL reads as 0
        if (entryId != lastEntry)
            field.push_back(k);
        lastEntry = entryId;
        Arrival a;
        a.liberCode = q.text(1);
        if (a.liberCode.isEmpty())
            a.liberCode = raceLiberCode;
        a.ringNo = q.text(2);
        a.backTime = q.text(3);
        a.flyTime = q.text(4);
        a.flySpeed = q.real(5);
        a.timeVari = q.value(6);
        a.dist = q.value(7);
        a.loftNo = q.value(8);
        a.sex = q.value(9);
        a.colorType = q.value(10);
        a.ringCountry = q.text(11);
        a.ringYear = q.text(12);
        a.ringLetters = q.text(13);
        a.ringNumber = q.text(14);
        if (!a.loftNo.isNull()) {
            const auto code = distances.constFind(a.liberCode);
            if (code != distances.constEnd()) {
                const auto d = code->constFind(a.loftNo.toString());
                if (d != code->constEnd()) {
                    a.hasDistanceRow = true;
                    a.miles = d->miles;
                    a.yards = d->yards;
                }
            }
        }
        speeds.push_back(k);
        rows.push_back(std::move(a));
    }
    const std::vector<int> pos = positions(field, speeds);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].pos = pos[i];

    std::vector<size_t> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        if (speeds[x] != speeds[y])
            return speeds[x] > speeds[y];
        return rows[x].backTime < rows[y].backTime;
    });
    std::vector<Arrival> out;
    out.reserve(rows.size());
    for (size_t i : order)
        out.push_back(std::move(rows[i]));
    return out;
}

bool listedOnRacePage(const Arrival &a)
{
    return !a.loftNo.isNull() && a.hasDistanceRow;
}

std::vector<Arrival> resultList(TdmORVS &dm, const QString &raceCode)
{
    std::vector<Arrival> all = rankedArrivals(dm, raceCode);
    std::vector<Arrival> out;
    out.reserve(all.size());
    for (Arrival &a : all)
        if (listedOnRacePage(a))
            out.push_back(std::move(a));
    return out;
}

QString Summary::text() const
{
    return QString::asprintf("%4d", lofts) + QStringLiteral(" Members sent ") +
           QString::asprintf("%5d", entries) + QStringLiteral(" birds - ") +
           QString::asprintf("%5d", listed) + QStringLiteral(" were clocked");
}

QString sunGapsText(TdmORVS &dm, const QString &raceCode)
{
    const std::optional<RaceInfo> race = Races::findRace(dm, raceCode);
    if (!race)
        return {};
    const std::vector<FlyTime::SunRow> sun = Races::sunRows(dm, race->sunKey());
    const QDate liberationDay = race->liberation().date();
    FlyTime::SunGaps gaps;
    QSqlQuery q = dm.exec(QStringLiteral("SELECT BackTime FROM ORV_PigRaceData WHERE RaceCode=? "
                                         "AND BackTime IS NOT NULL AND BackTime<>''"),
                          {raceCode});
    while (q.next())
        if (const std::optional<QDateTime> arrival = FlyTime::parseArrival(q.value(0).toString()))
            gaps.add(liberationDay, arrival->date(), sun);
    return gaps.text();
}

Summary summary(TdmORVS &dm, const QString &raceCode, int listedRows)
{
    Summary s;
    s.lofts = dm.scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT b.LoftNo FROM ORV_PigRaceData a "
                                       "LEFT JOIN ORV_PigData b ON a.PRingNo=b.PRingNo WHERE a.RaceCode=? "
                                       "GROUP BY b.LoftNo)"),
                        {raceCode})
                  .toInt();
    s.entries = dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_PigRaceData WHERE RaceCode=?"), {raceCode})
                    .toInt();
    s.listed = listedRows;
    return s;
}

RecalcOutcome recalculate(TdmORVS &dm, const QString &raceCode, const QDateTime &liberation,
                          OperationSink &sink)
{
    RecalcOutcome outcome;
    const std::optional<RaceInfo> race = Races::findRace(dm, raceCode);
    if (!race) {
        sink.failure(QStringLiteral("Race %1 not found").arg(raceCode));
        return outcome;
    }
    const int mode = Races::clubMode(dm);
    const std::vector<FlyTime::SunRow> sun = Races::sunRows(dm, race->sunKey());

    QHash<QString, qint64> distances;
    {
        QSqlQuery q =
            dm.exec(QStringLiteral("SELECT LoftNo, Miles, Yards FROM ORV_LoftLibPointDist WHERE LiberCode=?"),
                    {race->liberCode});
        while (q.next()) {
            const QString loft = q.value(0).toString();
            if (!distances.contains(loft)) // the first row of a pair counts, as a look-up finds it
                distances.insert(loft, Races::fullDistance(q.value(1), q.value(2), mode));
        }
    }

    struct Entry
    {
        qint64 rowid;
        QString ring;
        QString backTime;
        int variation;
        QString loft;
    };
    std::vector<Entry> entries;
    {
        QSqlQuery q =
            dm.exec(QStringLiteral(
                        "SELECT a.rowid, a.PRingNo, a.BackTime, a.TimeVari, b.LoftNo FROM ORV_PigRaceData a "
                        "LEFT JOIN ORV_PigData b ON a.PRingNo=b.PRingNo "
                        "WHERE a.RaceCode=? AND a.BackTime IS NOT NULL"),
                    {raceCode});
        while (q.next())
            entries.push_back({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                               q.value(3).toInt(), q.value(4).toString()});
    }

    Transaction tx(dm);
    QSqlQuery update(dm.adocORVS());
    // Each entry's own row (the race and ring it was selected by), found by its row id.
    const QString sql =
        QStringLiteral("UPDATE ORV_PigRaceData SET FlyTime=?, FlySpeed=?, Dist=? WHERE rowid=?");
    if (!update.prepare(sql))
        throw SqlError(update.lastError().text(), sql);
    FlyTime::SunGaps gaps;
    for (const Entry &e : entries) {
        if (e.backTime.trimmed().isEmpty())
            continue; // not arrived
        const std::optional<QDateTime> arrival = FlyTime::parseArrival(e.backTime);
        if (!arrival) {
            ++outcome.skipped;
            sink.failure(QStringLiteral("Ring %1: arrival time \"%2\" cannot be read; not recalculated")
                             .arg(e.ring, e.backTime));
            continue;
        }
        const qint64 d = distances.value(e.loft, 0);
        gaps.add(liberation.date(), arrival->date(), sun);
        const FlyTime::Result r = FlyTime::compute(liberation, *arrival, sun, e.variation, d);
        update.bindValue(0, r.flyTime);
        update.bindValue(1, r.velocity);
        update.bindValue(2, d);
        update.bindValue(3, e.rowid);
        if (!update.exec()) {
            const SqlError err(update.lastError().text(), sql);
            tx.commit(); // what was written before the failure stays
            throw err;
        }
        ++outcome.updated;
    }
    tx.commit();
    outcome.notTimed = gaps.birds();
    if (!gaps.empty())
        sink.failure(gaps.text());
    return outcome;
}

} // namespace Ranking
