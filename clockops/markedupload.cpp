#include "clockops/markedupload.h"

#include "clockops/clockaccess.h"
#include "clockops/clockstamp.h"
#include "device/deviceerrors.h"
#include "device/twinapiv8.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QSqlRecord>

MarkedUpload::MarkedUpload(TdmORVS &dm, TWinApiV8 &api, ClockSession &session, OperationSink &sink)
    : dm_(dm), api_(api), s_(session), sink_(sink)
{
}

PollOutcome MarkedUpload::poll()
{
    sink_.clearMessages();
    bool success = true;
    count_ = 0;
    missing_.clear();
    if (const PollOutcome o = ClockAccess::openForUpload(
            api_, s_, sink_, QStringLiteral("Loft : %1 in Marked data Upload , Pls Wait !"),
            QStringLiteral("ComVerify Error !"));
        o != PollOutcome::Done)
        return o;

    // The clock's and the master's time when the clock was marked for the race.
    qint64 markDevice = 0, markReader = 0;
    QString reply;
    int n = 0;
    LinkWatch watch(api_);
    const bool counted = api_.QueryRace(s_.CommKey, QString(), n, reply);
    watch.next(counted);
    if (!counted) {
        sink_.failure(QStringLiteral("QueryRace Error : ") + (reply.isEmpty() ? api_.lastError() : reply));
        success = false;
    } else {
        for (int i = 0; i < n; ++i) {
            const bool read = api_.GetRaceInfo(s_.CommKey, i, RaceFields, reply);
            if (!watch.next(read))
                break;
            if (!read)
                continue;
            const QStringList v = ClockAccess::values(reply);
            if (v.size() >= 3 && v[0] == s_.CurRaceCode) {
                ClockStamp::parse(v[1], &markDevice);
                ClockStamp::parse(v[2], &markReader);
                break;
            }
        }
    }
    const QString t1 = ValueText::dateTime(ClockStamp::toLocal(markDevice));
    const QString t2 = ValueText::dateTime(ClockStamp::toLocal(markReader));

    const auto pigeons = dm_.rows(QStringLiteral("SELECT PRingNo FROM ORV_PigData WHERE LoftNo=? "
                                                 "AND (DeleteMark=0 OR DeleteMark IS NULL)"),
                                  {s_.CurLoftNo});
    int done = 0;
    for (const auto &p : pigeons) {
        sink_.progress(++done, static_cast<int>(pigeons.size()), QStringLiteral("pigeon"));
        const QString ring = p.value(0).toString();
        if (watch.stopped()) {
            missing_ << ring;
            continue;
        }
        const bool read = api_.QueryRaceRecord(s_.CommKey, ring, RecordFields, reply);
        watch.next(read);
        if (!read) {
            // "No record" is the clock's answer for a bird not marked; anything else is a bird not read.
            if (api_.lastDeviceError() != DeviceError::NoRaceRecord)
                missing_ << ring;
            continue;
        }
        const QStringList v = ClockAccess::values(reply);
        if (v.size() < 2 || v[0] != s_.CurRaceCode)
            continue;
        qint64 mark = 0;
        ClockStamp::parse(v[1], &mark);
        const QString marked = ValueText::dateTime(ClockStamp::toLocal(mark));
        // A bird belongs to a race by race code and ring: two races of one liberation point on
        // one date (different clubs) must not share rows.
        const int updated = dm_.exec(QStringLiteral("UPDATE ORV_PigRaceData SET ClubID=?, MarkedTime=? "
                                                    "WHERE RaceCode=? AND PRingNo=?"),
                                     {s_.CurClubID, marked, s_.CurRaceCode, ring})
                                .numRowsAffected();
        if (updated == 0)
            dm_.exec(QStringLiteral(
                         "INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, MarkedTime, "
                         "RaceCode) VALUES (?,?,?,?,?,?)"),
                     {s_.CurClubID, s_.CurLiberCode, s_.CurLiberDate, ring, marked, s_.CurRaceCode});
        ++count_;
    }

    if (!missing_.isEmpty()) {
        // Birds stored so far stay; the clock is not counted as read, so connecting it again finishes.
        sink_.failure(ClockAccess::incompleteText(count_, missing_, watch.reason()));
        sink_.beep();
        return PollOutcome::Done;
    }
    const int rows = dm_.exec(QStringLiteral("UPDATE ORV_RaceClockTime SET DLMarkedTime=?, DLMasterTime=? "
                                             "WHERE RaceCode=? AND LoftNo=?"),
                              {t1, t2, s_.CurRaceCode, s_.CurLoftNo})
                         .numRowsAffected();
    if (rows == 0)
        dm_.exec(QStringLiteral(
                     "INSERT INTO ORV_RaceClockTime (LiberCode, LiberDate, LoftNo, ClockID, DLMarkedTime, "
                     "DLMasterTime, RaceCode) VALUES (?,?,?,?,?,?,?)"),
                 {s_.CurLiberCode, s_.CurLiberDate, s_.CurLoftNo, s_.CurDeviceNo, t1, t2, s_.CurRaceCode});

    s_.PreDeviceno = s_.CurDeviceNo;
    if (count_ >= 1 && success) {
        sink_.success(QStringLiteral("Marked data upload Success !"));
        api_.DispMessage(s_.CurLoftNo + QStringLiteral(" Marked data upload Success !"));
    } else if (count_ == 0) {
        sink_.failure(QStringLiteral("RaceCode : %1 No Marked data ! ").arg(s_.CurRaceCode));
    }
    sink_.beep();
    return PollOutcome::Done;
}
