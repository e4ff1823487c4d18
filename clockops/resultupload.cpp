#include "clockops/resultupload.h"

#include "clockops/clockaccess.h"
#include "clockops/clockstamp.h"
#include "device/deviceerrors.h"
#include "device/twinapiv8.h"
#include "races/flytime.h"
#include "races/raceinfo.h"
#include "store/operationsink.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QSqlRecord>
#include <cstdlib>

namespace ResultStore {

namespace {
QString formatCoordinate(qint64 v, QChar positive, QChar negative)
{
    const qint64 u = std::llabs(v);
    const qint64 s = u / 1000, m = s / 60;
    QString text = QStringLiteral("%1'%2:%3.%4")
                       .arg(m / 60, 4, 10, QLatin1Char('0'))
                       .arg(m % 60, 2, 10, QLatin1Char('0'))
                       .arg(s % 60, 2, 10, QLatin1Char('0'))
                       .arg(u % 1000, 2, 10, QLatin1Char('0'));
    text[0] = v < 0 ? negative : positive;
    return text.left(14);
}
} // namespace

QString FormatLo(qint64 dwLo)
{
    return formatCoordinate(dwLo, QLatin1Char('E'), QLatin1Char('W'));
}

QString FormatLa(qint64 dwLa)
{
    return formatCoordinate(dwLa, QLatin1Char('N'), QLatin1Char('S'));
}

int HexToInt(const QString &hex)
{
    int value = 0;
    for (const QChar c : hex) {
        const int digit =
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : c.unicode() - 55;
        value = value * 16 + digit;
    }
    return value;
}

QString hex2(qint64 v)
{
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

qint64 CalcFlyTime(TdmORVS &dm, const QString &raceCode, int timeVari, const QDateTime &backTime,
                   const QDateTime &liberation)
{
    // The sun rows belong to the liberation point and day: a second race of the same point on the
    // same day (a race code with a letter) shares the rows of the first.
    const auto race = Races::findRace(dm, raceCode);
    const QString key = race ? race->sunKey() : raceCode;
    return FlyTime::flyingMs(liberation, backTime, Races::sunRows(dm, key), timeVari);
}

bool fillScore(const QStringList &first, const QStringList &second, PScoreR &p)
{
    if (first.size() < 6 || second.size() < 5)
        return false;
    p.RaceCode = first[0];
    p.RandoCo = hex2(first[1].toLongLong());
    p.SecurMs = hex2(first[2].toLongLong());
    p.UID = first[3];
    p.flag = first[4];
    p.RetRank = static_cast<qint16>(first[5].toInt());
    qint64 back = 0, uid = 0, mark = 0;
    ClockStamp::parse(second[0], &back);
    ClockStamp::parse(second[1], &uid);
    ClockStamp::parse(second[4], &mark);
    p.BackTime = back != 0 ? ClockStamp::toLocalMs(back) : QDateTime();
    p.UIDScanTime = uid != 0 ? ClockStamp::toLocalMs(uid) : QDateTime();
    p.PigMarkedTime = ClockStamp::toLocal(mark);
    if (p.flag == QLatin1String("True")) {
        p.latitude = FormatLa(second[2].toLongLong());
        p.longitude = FormatLo(second[3].toLongLong());
    } else {
        p.latitude = NoPosition;
        p.longitude = NoPosition;
    }
    return true;
}

int DataPostExecute(TdmORVS &dm, const std::vector<PScoreR> &scores, const QString &loftNo,
                    const QString &deviceNo, const std::map<QString, int> &variationOf, OperationSink &sink)
{
    const int mode = Races::clubMode(dm);
    int stored = 0;
    std::map<QString, FlyTime::SunGaps> gaps; // by race
    for (const PScoreR &p : scores) {
        const auto race = Races::findRace(dm, p.RaceCode);
        if (!race || race->deleted) {
            sink.failure(QStringLiteral("Race %1 not found: ring %2 not stored").arg(p.RaceCode, p.PRingNo));
            continue;
        }
        const auto var = variationOf.find(p.RaceCode);
        const int timeVari = var == variationOf.end() ? 0 : var->second;
        const qint64 dist = Races::loftDistance(dm, p.LiberCode, loftNo, mode);
        QString backText, flyText;
        double speed = 0;
        // A bird that has not arrived keeps an empty arrival, no flying time and velocity 0.
        if (p.BackTime.isValid()) {
            backText = ValueText::dateTimeMs(p.BackTime);
            gaps[p.RaceCode].add(race->liberation().date(), p.BackTime.date(),
                                 Races::sunRows(dm, race->sunKey()));
            const qint64 f = CalcFlyTime(dm, p.RaceCode, timeVari, p.BackTime, race->liberation());
            speed = FlyTime::velocity(dist, f);
            flyText = FlyTime::flyTimeText(f);
        }
        const QVariantList common{backText,  flyText,     speed,     dist,
                                  deviceNo,  p.UID,       timeVari,  HexToInt(p.RandoCo),
                                  p.SecurMs, p.longitude, p.latitude};
        QVariantList binds = common;
        binds << p.RaceCode << p.PRingNo;
        const int updated =
            dm.exec(QStringLiteral("UPDATE ORV_PigRaceData SET BackTime=?, FlyTime=?, FlySpeed=?, "
                                   "Dist=?, ClockID=?, UID_Real=?, TimeVari=?, RandomCode=?, "
                                   "RealRandom=?, BackLon=?, BackLat=? WHERE RaceCode=? AND PRingNo=?"),
                    binds)
                .numRowsAffected();
        if (updated == 0) {
            QVariantList ins{race->clubId, p.LiberCode, p.LiberDate, p.PRingNo};
            ins << common;
            ins << ValueText::dateTime(p.PigMarkedTime) << p.RaceCode;
            dm.exec(QStringLiteral(
                        "INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, BackTime, "
                        "FlyTime, FlySpeed, Dist, ClockID, UID_Real, TimeVari, RandomCode, RealRandom, "
                        "BackLon, BackLat, MarkedTime, RaceCode) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                    ins);
        }
        ++stored;
    }
    for (const auto &[raceCode, g] : gaps)
        if (!g.empty())
            sink.failure(QStringLiteral("Race %1: %2").arg(raceCode, g.text()));
    return stored;
}

} // namespace ResultStore

ResultUpload::ResultUpload(TdmORVS &dm, TWinApiV8 &api, ClockSession &session, OperationSink &sink)
    : dm_(dm), api_(api), s_(session), sink_(sink)
{
}

QStringList ResultUpload::chooseBirds() const
{
    // The loft's birds marked for the race. A marked bird not read yet has no arrival; when every
    // stored row has one, they may all come from an earlier read of a loft without a marked
    // upload, so the loft's electronic-ring birds are read as well: an interrupted read is then
    // completed instead of being limited to the birds it got.
    QStringList rings;
    bool unread = false;
    for (const auto &r : dm_.rows(QStringLiteral("SELECT PRingNo, BackTime FROM ORV_PigRaceData "
                                                 "WHERE RaceCode=? AND PRingNo IN "
                                                 "(SELECT PRingNo FROM ORV_PigData WHERE LoftNo=?)"),
                                  {s_.CurRaceCode, s_.CurLoftNo})) {
        rings << r.value(0).toString();
        unread = unread || r.value(1).toString().isEmpty();
    }
    if (unread)
        return rings;
    for (const auto &r :
         dm_.rows(QStringLiteral("SELECT PRingNo FROM ORV_PigData WHERE LoftNo=? AND E_Ring IS NOT NULL "
                                 "AND E_Ring<>'' AND (DeleteMark=0 OR DeleteMark IS NULL)"),
                  {s_.CurLoftNo})) {
        const QString ring = r.value(0).toString();
        if (!rings.contains(ring))
            rings << ring;
    }
    return rings;
}

int ResultUpload::variation(const QDateTime &clockStop, const QDateTime &masterStop)
{
    const qint64 ms = FlyTime::msBetween(masterStop, clockStop);
    return static_cast<int>(ms / 1000); // truncated towards zero
}

PollOutcome ResultUpload::poll()
{
    sink_.clearMessages();
    bool success = true;
    stored_ = 0;
    raceFound_ = false;
    missing_.clear();
    if (const PollOutcome o = ClockAccess::openForUpload(
            api_, s_, sink_, QStringLiteral("Loft : %1 in Result data Upload , Pls Wait !"),
            QStringLiteral("ComVerify Error : "));
        o != PollOutcome::Done)
        return o;

    QDateTime dlMarked = ClockStamp::toLocal(0), dlMaster = ClockStamp::toLocal(0);
    QString reply;
    int n = 0;
    const QString filter = QStringLiteral("RaceCode='''%1'''").arg(s_.CurRaceCode);
    LinkWatch watch(api_);
    const bool counted = api_.QueryRace(s_.CommKey, filter, n, reply);
    if (watch.next(counted) && counted) {
        for (int i = 0; i < n && !raceFound_; ++i) {
            const bool read = api_.GetRaceInfo(s_.CommKey, i, RaceFields, reply);
            if (!watch.next(read))
                break;
            if (!read)
                continue;
            const QStringList v = ClockAccess::values(reply);
            if (v.size() < 5 || v[0] != s_.CurRaceCode)
                continue;
            qint64 stopDev = 0, stopRdr = 0, markDev = 0, markRdr = 0;
            ClockStamp::parse(v[1], &stopDev);
            ClockStamp::parse(v[2], &stopRdr);
            ClockStamp::parse(v[3], &markDev);
            ClockStamp::parse(v[4], &markRdr);
            s_.ULClockTime = ClockStamp::toLocal(stopDev);
            s_.ULMasterTime = ClockStamp::toLocal(stopRdr);
            dlMarked = ClockStamp::toLocal(markDev);
            dlMaster = ClockStamp::toLocal(markRdr);
            s_.TimeVari = variation(s_.ULClockTime, s_.ULMasterTime);
            raceFound_ = true;
        }
    }
    if (!raceFound_) {
        // Nothing is invented for a clock that does not hold the race.
        s_.TimeVari = 0;
        sink_.working(
            QStringLiteral("Race %1 is not in this clock: no stop times, variation 0.").arg(s_.CurRaceCode));
    }

    const QStringList birds = chooseBirds();
    std::vector<PScoreR> scores;
    scores.reserve(birds.size());
    int done = 0;
    for (const auto &b : birds) {
        sink_.progress(++done, static_cast<int>(birds.size()), QStringLiteral("pigeon"));
        const QString &ring = b;
        if (watch.stopped()) {
            missing_ << ring;
            continue;
        }
        const bool firstRead = api_.QueryRaceRecord(s_.CommKey, ring, RecordFields1, reply);
        watch.next(firstRead);
        if (!firstRead) {
            if (api_.lastDeviceError() != DeviceError::NoRaceRecord) {
                sink_.failure(QStringLiteral("QueryRaceRecord Error : ") +
                              (reply.isEmpty() ? api_.lastError() : reply));
                success = false;
                missing_ << ring;
            }
            continue;
        }
        const QStringList first = ClockAccess::values(reply);
        const bool secondRead = api_.QueryRaceRecord(s_.CommKey, ring, RecordFields2, reply);
        watch.next(secondRead);
        if (!secondRead) {
            if (api_.lastTimedOut())
                missing_ << ring;
            continue;
        }
        const QStringList second = ClockAccess::values(reply);
        if (first.isEmpty() || first[0] != s_.CurRaceCode || second.isEmpty() ||
            second[0].left(4) == QLatin1String("0"))
            continue;
        PScoreR p;
        p.PRingNo = ring;
        p.LiberCode = s_.CurLiberCode;
        p.LiberDate = s_.CurLiberDate;
        if (!ResultStore::fillScore(first, second, p))
            continue;
        scores.push_back(p);
    }
    stored_ = ResultStore::DataPostExecute(dm_, scores, s_.CurLoftNo, s_.CurDeviceNo,
                                           {{s_.CurRaceCode, s_.TimeVari}}, sink_);

    const QString marked = ValueText::dateTime(dlMarked), master = ValueText::dateTime(dlMaster);
    const bool haveRow =
        dm_.scalar(QStringLiteral("SELECT 1 FROM ORV_RaceClockTime WHERE RaceCode=? AND LoftNo=? LIMIT 1"),
                   {s_.CurRaceCode, s_.CurLoftNo})
            .isValid();
    if (haveRow) {
        if (raceFound_)
            dm_.tryExec(
                QStringLiteral("UPDATE ORV_RaceClockTime SET ClockID=?, DLMarkedTime=?, ULMasterTime=?, "
                               "ULClockTime=?, DLMasterTime=? WHERE RaceCode=? AND LoftNo=?"),
                {s_.CurDeviceNo, marked, ValueText::dateTime(s_.ULMasterTime),
                 ValueText::dateTime(s_.ULClockTime), master, s_.CurRaceCode, s_.CurLoftNo});
        else
            dm_.tryExec(
                QStringLiteral("UPDATE ORV_RaceClockTime SET ClockID=? WHERE RaceCode=? AND LoftNo=?"),
                {s_.CurDeviceNo, s_.CurRaceCode, s_.CurLoftNo});
    } else {
        dm_.exec(QStringLiteral(
                     "INSERT INTO ORV_RaceClockTime (LiberCode, LiberDate, LoftNo, ClockID, DLMarkedTime, "
                     "ULMasterTime, ULClockTime, DLMasterTime, RaceCode) VALUES (?,?,?,?,?,?,?,?,?)"),
                 {s_.CurLiberCode, s_.CurLiberDate, s_.CurLoftNo, s_.CurDeviceNo,
                  raceFound_ ? marked : QVariant(),
                  raceFound_ ? ValueText::dateTime(s_.ULMasterTime) : QVariant(),
                  raceFound_ ? ValueText::dateTime(s_.ULClockTime) : QVariant(),
                  raceFound_ ? master : QVariant(), s_.CurRaceCode});
    }
    if (!missing_.isEmpty()) {
        // What was read is stored; the clock is not counted as read, so connecting it again finishes.
        sink_.failure(ClockAccess::incompleteText(stored_, missing_, watch.reason()));
        sink_.beep();
        return PollOutcome::Done;
    }
    s_.PreDeviceno = s_.CurDeviceNo;
    if (scores.empty()) {
        sink_.failure(QStringLiteral("Race Result No Record upload !"));
    } else if (success) {
        sink_.success(QStringLiteral("Race Result upload Success !"));
        api_.DispMessage(s_.CurLoftNo + QStringLiteral(" Race Result upload Success !"));
    }
    sink_.beep();
    return PollOutcome::Done;
}
