#include "races/otherclock.h"

#include "races/raceinfo.h"
#include "store/entrycheck.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

namespace OtherClock {

int ClockTimes::variation() const
{
    return FlyTime::clockVariation(markedMaster, markedMember, checkMaster, checkMember);
}

std::optional<ClockTimes> load(TdmORVS &dm, const QString &raceCode, const QString &loftNo)
{
    const auto rows = dm.rows(QStringLiteral("SELECT DLMasterTime, DLMarkedTime, ULMasterTime, ULClockTime "
                                             "FROM ORV_RaceClockTime WHERE RaceCode=? AND LoftNo=? LIMIT 1"),
                              {raceCode, loftNo});
    if (rows.empty())
        return std::nullopt;
    const QSqlRecord &r = rows.front();
    return ClockTimes{ValueText::parseDateTime(r.value(0)), ValueText::parseDateTime(r.value(1)),
                      ValueText::parseDateTime(r.value(2)), ValueText::parseDateTime(r.value(3))};
}

QString check(const QString &ringNo, const ClockTimes &times, const QDateTime &arrival)
{
    const auto moment = [](const QString &field, const QDateTime &t) {
        return t.isValid() ? EntryCheck::date(field, t.date())
                           : QStringLiteral("%1: a date and time are needed.").arg(field);
    };
    if (const QString p = EntryCheck::first({
            EntryCheck::text(QStringLiteral("Ring number"), ringNo, QStringLiteral("ORV_PigRaceData"),
                             QStringLiteral("PRingNo")),
            moment(QStringLiteral("Basketing master time"), times.markedMaster),
            moment(QStringLiteral("Basketing member clock"), times.markedMember),
            moment(QStringLiteral("Check master time"), times.checkMaster),
            moment(QStringLiteral("Check member clock"), times.checkMember),
            moment(QStringLiteral("Arrival"), arrival),
        });
        !p.isEmpty())
        return p;
    // Measured in 64 bits: dates years apart would overflow the stored whole seconds.
    const qint64 gained =
        (times.markedMaster.msecsTo(times.markedMember) - times.checkMaster.msecsTo(times.checkMember)) / 1000;
    if (gained > MaxVariationSeconds || gained < -MaxVariationSeconds)
        return QStringLiteral("Clock times: the clock's variation of %1 seconds is more than a day; check the dates.")
            .arg(-gained);
    return {};
}

namespace {
SaveOutcome notStored(const QString &ringNo, const QString &why, OperationSink &sink)
{
    sink.failure(QStringLiteral("The arrival of ring %1 could not be stored: %2").arg(ringNo, why));
    return {};
}
} // namespace

SaveOutcome save(TdmORVS &dm, const RaceInfo &race, const QString &loftNo, const QString &ringNo,
                 const ClockTimes &times, const QDateTime &arrival, OperationSink &sink)
{
    SaveOutcome out;
    if (ringNo.trimmed().isEmpty()) {
        sink.failure(NoRingError);
        return out;
    }
    if (const QString problem = check(ringNo, times, arrival); !problem.isEmpty()) {
        sink.failure(problem);
        return out;
    }
    Transaction tx(dm);
    QString why;
    const QVariantList moments = {
        ValueText::dateTime(times.markedMaster), ValueText::dateTime(times.markedMember),
        ValueText::dateTime(times.checkMaster), ValueText::dateTime(times.checkMember)};
    // Looked up and written by race code and loft, so the row found is the row written.
    const QVariant clockRow = dm.scalar(QStringLiteral("SELECT rowid FROM ORV_RaceClockTime WHERE RaceCode=? "
                                                       "AND LoftNo=? LIMIT 1"),
                                        {race.raceCode, loftNo});
    if (!clockRow.isValid())
        dm.exec(QStringLiteral("INSERT INTO ORV_RaceClockTime (LiberCode, LiberDate, LoftNo, DLMasterTime, "
                               "DLMarkedTime, ULMasterTime, ULClockTime, RaceCode) VALUES (?,?,?,?,?,?,?,?)"),
                QVariantList{race.liberCode, ValueText::date(race.liberDate), loftNo} + moments +
                    QVariantList{race.raceCode});
    else if (!dm.tryExec(
                 QStringLiteral("UPDATE ORV_RaceClockTime SET DLMasterTime=?, DLMarkedTime=?, ULMasterTime=?, "
                           "ULClockTime=? WHERE rowid=?"),
                 moments + QVariantList{clockRow}, &why))
        return notStored(ringNo, why, sink);

    out.backTime = FlyTime::arrivalText(arrival);
    out.distance = Races::loftDistance(dm, race.liberCode, loftNo, Races::clubMode(dm));
    out.variation = times.variation();
    // The stored text is read back, so the computation uses exactly what the list will show.
    const QDateTime stored = FlyTime::parseArrival(out.backTime).value_or(arrival);
    out.result = FlyTime::compute(race.liberation(), stored, Races::sunRows(dm, race.sunKey()), out.variation,
                                  out.distance);

    const QVariant entry = dm.scalar(QStringLiteral("SELECT rowid FROM ORV_PigRaceData WHERE RaceCode=? AND "
                                                    "PRingNo=? LIMIT 1"),
                                     {race.raceCode, ringNo});
    const bool written =
        entry.isValid()
            ? dm.tryExec(QStringLiteral("UPDATE ORV_PigRaceData SET BackTime=?, FlyTime=?, FlySpeed=?, Dist=?, "
                                        "TimeVari=? WHERE rowid=?"),
                         {out.backTime, out.result.flyTime, out.result.velocity, out.distance, out.variation, entry},
                         &why)
            : dm.tryExec(
            QStringLiteral("INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, BackTime, "
                           "FlyTime, FlySpeed, Dist, TimeVari, RaceCode) VALUES (?,?,?,?,?,?,?,?,?,?)"),
            {race.clubId, race.liberCode, ValueText::date(race.liberDate), ringNo, out.backTime,
                         out.result.flyTime, out.result.velocity, out.distance, out.variation, race.raceCode},
                         &why);
    if (!written)
        return notStored(ringNo, why, sink); // the transaction is rolled back: nothing half-written
    tx.commit();
    out.ok = true;
    return out;
}

QStringList liveRings(TdmORVS &dm, const QString &loftNo, const QString &suffix)
{
    QStringList out;
    QString sql =
        QStringLiteral("SELECT PRingNo FROM ORV_PigData WHERE LoftNo=? AND COALESCE(DeleteMark,0)=0");
    QVariantList binds{loftNo};
    if (!suffix.isEmpty()) {
        // Ends with the typed text, taken literally (no wildcards).
        sql += QStringLiteral(" AND substr(PRingNo, -length(?))=?");
        binds << suffix << suffix;
    }
    for (const auto &r : dm.rows(sql + QStringLiteral(" ORDER BY rowid"), binds))
        out << r.value(0).toString();
    return out;
}

QStringList memberNames(TdmORVS &dm)
{
    QStringList out;
    for (const auto &r : dm.rows(QStringLiteral("SELECT LoftName FROM ORV_LoftData ORDER BY rowid")))
        out << r.value(0).toString();
    return out;
}

std::optional<QString> loftOfName(TdmORVS &dm, const QString &loftName)
{
    const QVariant v =
        dm.scalar(QStringLiteral("SELECT LoftNo FROM ORV_LoftData WHERE LoftName=? LIMIT 1"), {loftName});
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

std::optional<QString> arrivalOf(TdmORVS &dm, const QString &raceCode, const QString &ringNo)
{
    const QVariant v =
        dm.scalar(QStringLiteral("SELECT BackTime FROM ORV_PigRaceData WHERE RaceCode=? AND PRingNo=? "
                                 "AND BackTime IS NOT NULL LIMIT 1"),
                  {raceCode, ringNo});
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

} // namespace OtherClock
