#include "clockops/multiupload.h"

#include "clockops/clockaccess.h"
#include "clockops/clockstamp.h"
#include "clockops/resultupload.h"
#include "device/deviceerrors.h"
#include "device/twinapiv8.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QSqlRecord>

MultiUpload::MultiUpload(TdmORVS &dm, TWinApiV8 &api, ClockSession &session, OperationSink &sink)
    : dm_(dm), api_(api), s_(session), sink_(sink)
{
}

void MultiUpload::readRaces(std::map<QString, int> &variationOf, LinkWatch &watch)
{
    QString reply;
    int n = 0;
    const bool counted = api_.QueryRace(s_.CommKey, QString(), n, reply);
    if (!watch.next(counted) || !counted)
        return;
    for (int i = 0; i < n; ++i) {
        const bool read = api_.GetRaceInfo(s_.CommKey, i, RaceFields, reply);
        if (!watch.next(read))
            return;
        if (!read)
            continue;
        const QStringList v = ClockAccess::values(reply);
        if (v.size() < 6)
            continue;
        s_.CurRaceCode = v[0];
        qint64 stopDev = 0, stopRdr = 0, markDev = 0, markRdr = 0;
        ClockStamp::parse(v[1], &stopDev);
        ClockStamp::parse(v[2], &stopRdr);
        ClockStamp::parse(v[3], &markDev);
        ClockStamp::parse(v[5], &markRdr);
        if (i == 0)
            startDate_ = ClockStamp::toLocal(markDev).date();
        s_.ULClockTime = ClockStamp::toLocal(stopDev);
        s_.ULMasterTime = ClockStamp::toLocal(stopRdr);
        s_.TimeVari = ResultUpload::variation(s_.ULClockTime, s_.ULMasterTime);
        variationOf[s_.CurRaceCode] = s_.TimeVari;
        const auto race =
            dm_.rows(QStringLiteral("SELECT ClubID, LiberCode, LiberDate FROM ORV_RaceData WHERE RaceCode=?"),
                     {s_.CurRaceCode});
        if (race.size() != 1)
            continue;
        s_.CurLiberCode = race[0].value(1).toString();
        s_.CurLiberDate = ValueText::date(ValueText::parseDate(race[0].value(2)));
        s_.CurClubID = race[0].value(0).toString();
        const QVariantList times{ValueText::dateTime(ClockStamp::toLocal(markDev)),
                                 ValueText::dateTime(s_.ULMasterTime), ValueText::dateTime(s_.ULClockTime),
                                 ValueText::dateTime(ClockStamp::toLocal(markRdr))};
        QVariantList upd = times;
        upd << s_.CurRaceCode << s_.CurLoftNo;
        const int rows =
            dm_.exec(QStringLiteral("UPDATE ORV_RaceClockTime SET DLMarkedTime=?, ULMasterTime=?, "
                                    "ULClockTime=?, DLMasterTime=? WHERE RaceCode=? AND LoftNo=?"),
                     upd)
                .numRowsAffected();
        if (rows == 0) {
            QVariantList ins{s_.CurLiberCode, s_.CurLiberDate, s_.CurLoftNo, s_.CurDeviceNo};
            ins << times << s_.CurRaceCode;
            dm_.exec(QStringLiteral("INSERT INTO ORV_RaceClockTime (LiberCode, LiberDate, LoftNo, ClockID, "
                                    "DLMarkedTime, ULMasterTime, ULClockTime, DLMasterTime, RaceCode) "
                                    "VALUES (?,?,?,?,?,?,?,?,?)"),
                     ins);
        }
    }
}

PollOutcome MultiUpload::poll()
{
    sink_.clearMessages();
    stored_ = 0;
    if (const PollOutcome o = ClockAccess::openForUpload(
            api_, s_, sink_, QStringLiteral("Loft : %1 in Result data Upload , Pls Wait !"),
            QStringLiteral("ComVerify Error : "));
        o != PollOutcome::Done)
        return o;
    startDate_ = QDate();
    std::map<QString, int> variationOf;
    LinkWatch watch(api_);
    QStringList missing;
    readRaces(variationOf, watch);

    const auto pigeons =
        dm_.rows(QStringLiteral("SELECT PRingNo FROM ORV_PigData WHERE LoftNo=? AND E_Ring IS NOT NULL "
                                "AND E_Ring<>'' AND (DeleteMark=0 OR DeleteMark IS NULL)"),
                 {s_.CurLoftNo});
    std::vector<PScoreR> scores;
    scores.reserve(pigeons.size());
    QString reply;
    int done = 0;
    for (const auto &p : pigeons) {
        sink_.progress(++done, static_cast<int>(pigeons.size()), QStringLiteral("pigeon"));
        const QString ring = p.value(0).toString();
        if (watch.stopped()) {
            missing << ring;
            continue;
        }
        const bool firstRead = api_.QueryRaceRecord(s_.CommKey, ring, ResultUpload::RecordFields1, reply);
        watch.next(firstRead);
        if (!firstRead) {
            if (api_.lastDeviceError() != DeviceError::NoRaceRecord) {
                sink_.failure(QStringLiteral("QueryRaceRecord Error : ") +
                              (reply.isEmpty() ? api_.lastError() : reply));
                missing << ring;
            }
            continue;
        }
        const QStringList first = ClockAccess::values(reply);
        const bool secondRead = api_.QueryRaceRecord(s_.CommKey, ring, ResultUpload::RecordFields2, reply);
        watch.next(secondRead);
        if (!secondRead) {
            if (api_.lastTimedOut())
                missing << ring;
            continue;
        }
        const QStringList second = ClockAccess::values(reply);
        if (first.isEmpty())
            continue;
        const auto race =
            dm_.rows(QStringLiteral("SELECT ClubID, LiberCode, LiberDate FROM ORV_RaceData WHERE RaceCode=?"),
                     {first[0]});
        if (race.size() != 1)
            continue;
        s_.CurLiberCode = race[0].value(1).toString();
        s_.CurLiberDate = ValueText::date(ValueText::parseDate(race[0].value(2)));
        s_.CurClubID = race[0].value(0).toString();
        PScoreR score;
        score.PRingNo = ring;
        score.LiberCode = s_.CurLiberCode;
        score.LiberDate = s_.CurLiberDate;
        if (ResultStore::fillScore(first, second, score))
            scores.push_back(score);
    }
    stored_ = ResultStore::DataPostExecute(dm_, scores, s_.CurLoftNo, s_.CurDeviceNo, variationOf, sink_);
    if (!missing.isEmpty() || watch.stopped()) {
        sink_.failure(ClockAccess::incompleteText(stored_, missing, watch.reason()));
        sink_.beep();
        return PollOutcome::Done;
    }
    s_.PreDeviceno = s_.CurDeviceNo;
    if (scores.empty()) {
        sink_.failure(QStringLiteral("MultiRace Result No Record upload !"));
    } else {
        sink_.success(QStringLiteral("MultiRace Result upload Success !"));
        api_.DispMessage(s_.CurLoftNo + QStringLiteral(" MultiRace Result upload Success !"));
    }
    sink_.beep();
    return PollOutcome::Done;
}
