#include "races/ranking.h"

#include "races/flytime.h"
#include "races/raceinfo.h"
#include "races/sqlitecursor.h"
#include "store/operationsink.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"

#include <QHash>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace Ranking {

std::vector<int> positions(const std::vector<qint64> &field, const std::vector<qint64> &ofThese)
{
    std::vector<qint64> sorted(field);
    std::sort(sorted.begin(), sorted.end(), std::greater<qint64>());
    std::vector<int> out;
    out.reserve(ofThese.size());
    for (qint64 v : ofThese) {
        // Number of entries strictly faster than v.
        const auto it = std::lower_bound(sorted.begin(), sorted.end(), v, std::greater<qint64>());
        out.push_back(static_cast<int>(it - sorted.begin()) + 1);
    }
    return out;
}

std::vector<ResultRow> resultList(TdmORVS &dm, const QString &raceCode, Variant variant)
{
    // Distances of the liberation codes the race's entries carry, by code and loft.
    QHash<QString, QHash<QString, QString>> distText;
    {
        QSqlQuery q =
            dm.exec(QStringLiteral("SELECT LiberCode, LoftNo, Miles, Yards FROM ORV_LoftLibPointDist "
                                   "WHERE LiberCode IN (SELECT DISTINCT LiberCode FROM ORV_PigRaceData "
                                   "WHERE RaceCode=?) ORDER BY rowid"),
                    {raceCode});
        while (q.next()) {
            QHash<QString, QString> &byLoft = distText[q.value(0).toString()];
            const QString loft = q.value(1).toString();
            if (byLoft.contains(loft))
                continue; // the first row of a pair, as a look-up finds it
            const QVariant miles = q.value(2), yards = q.value(3);
            byLoft.insert(loft, miles.isNull() || yards.isNull()
                                    ? QString()
                                    : miles.toString() + QLatin1Char('/') + yards.toString());
        }
    }

    // One pass over the arrived entries and their pigeons; a LEFT JOIN keeps SQLite's order
    // entry -> pigeon, an index look-up each. Every arrived entry counts for the positions; only
    // entries with a known pigeon and a distance row are listed.
    SqliteCursor q(dm, "SELECT a.rowid, a.LiberCode, a.PRingNo, a.BackTime, a.FlyTime, a.FlySpeed, a.TimeVari, "
                       "b.LoftNo, b.Sex, b.ColorType FROM ORV_PigRaceData a "
                       "LEFT JOIN ORV_PigData b ON a.PRingNo=b.PRingNo "
                       "WHERE a.RaceCode=? AND a.BackTime IS NOT NULL");
    q.bind(1, raceCode);
    std::vector<qint64> field;
    std::vector<ResultRow> rows;
    std::vector<qint64> speeds;
    qint64 lastEntry = -1;
    while (q.next()) {
        const qint64 entryId = q.int64(0);
        const double speed = q.real(5); // NULL reads as 0
        const qint64 k = FlyTime::thousandthsOf(speed);
        if (entryId != lastEntry) // a ring held by two pigeon rows is still one entry
            field.push_back(k);
        lastEntry = entryId;
        if (q.isNull(7))
            continue;
        const QString backTime = q.text(3);
        if (variant == Variant::Normal && backTime.isEmpty())
            continue;
        const QString liberCode = q.text(1);
        const auto codeIt = distText.constFind(liberCode);
        if (codeIt == distText.constEnd())
            continue;
        const QString loftNo = q.text(7);
        const auto distIt = codeIt->constFind(loftNo);
        if (distIt == codeIt->constEnd())
            continue;
        ResultRow r;
        r.liberCode = liberCode;
        r.ringNo = q.text(2);
        r.backTime = backTime;
        r.flyTime = q.text(4);
        r.flySpeed = speed;
        r.dist = *distIt;
        r.loftNo = loftNo;
        r.sex = q.text(8);
        r.colorType = q.text(9);
        r.timeVari = q.value(6);
        speeds.push_back(k);
        rows.push_back(std::move(r));
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
    std::vector<ResultRow> out;
    out.reserve(rows.size());
    for (size_t i : order)
        out.push_back(std::move(rows[i]));
    return out;
}

QString Summary::text() const
{
    return QString::asprintf("%4d", lofts) + QStringLiteral(" Members sent ") +
           QString::asprintf("%5d", entries) + QStringLiteral(" birds - ") +
           QString::asprintf("%5d", listed) + QStringLiteral(" were clocked");
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

std::vector<StatusRow> statusView(TdmORVS &dm, const QString &raceCode)
{
    std::vector<StatusRow> out;
    QSqlQuery q = dm.exec(
        QStringLiteral("SELECT b.LoftNo, a.ClockID, COUNT(b.LoftNo), COUNT(NULLIF(a.BackTime,'')) "
                       "FROM ORV_PigRaceData a LEFT JOIN ORV_PigData b ON a.PRingNo=b.PRingNo "
                       "WHERE a.RaceCode=? GROUP BY b.LoftNo, a.ClockID ORDER BY b.LoftNo, a.ClockID"),
        {raceCode});
    while (q.next())
        out.push_back({q.value(0), q.value(1).toString(), q.value(2).toInt(), q.value(3).toInt()});
    return out;
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
    return outcome;
}

QString clockedText(const QString &backTime)
{
    if (backTime.isEmpty())
        return {};
    const int dash = backTime.indexOf(QLatin1Char('-'));
    QString day, month;
    if (dash == 4 || dash < 0) {
        day = backTime.mid(8, 2);
        month = backTime.mid(5, 2);
    } else {
        day = backTime.mid(0, 2);
        month = backTime.mid(3, 2);
    }
    return backTime.mid(11) + QStringLiteral("  ") + day + QLatin1Char('-') + month;
}

QString flyTimeShort(const QString &flyTime)
{
    return flyTime.left(8);
}

QString velocityDisplay(double v)
{
    const qint64 k = FlyTime::thousandthsOf(v);
    if (k == 0)
        return {};
    QLocale loc = QLocale::system();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc.toString(static_cast<double>(k) / 1000.0, 'f', 3);
}

QString variationText(const QVariant &v)
{
    if (v.isNull() || v.toString().isEmpty())
        return {};
    const int n = v.toInt();
    return n >= 1 ? QStringLiteral("+%1").arg(n) : QString::number(n);
}

} // namespace Ranking
