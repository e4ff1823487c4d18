#include "clockops/syncpass.h"

#include "clockops/clockaccess.h"
#include "clockops/clockstamp.h"
#include "device/deviceerrors.h"
#include "device/twinapiv8.h"
#include "store/appclock.h"
#include "store/operationsink.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QSqlRecord>

SyncPass::SyncPass(TdmORVS &dm, TWinApiV8 &api, ClockSession &session, OperationSink &sink)
    : dm_(dm), api_(api), s_(session), sink_(sink)
{
}

SyncPass::~SyncPass() = default;

bool SyncPass::linkOk(bool ok)
{
    return watch_->next(ok);
}

void SyncPass::notDone(const QString &what)
{
    if (!what.isEmpty())
        notDone_ << what;
}

namespace {
// "3 pigeons (BE-1, BE-2, BE-3)", at most ten rings named.
QString itemList(const QStringList &keys, const QString &kind)
{
    if (keys.isEmpty())
        return {};
    QStringList shown = keys.mid(0, 10);
    if (keys.size() > 10)
        shown << QStringLiteral("...");
    return QStringLiteral("%1 %2 (%3)").arg(keys.size()).arg(kind, shown.join(QStringLiteral(", ")));
}
} // namespace

FieldList::Writer SyncPass::raceFieldList(const QString &clubId, const QString &liberCode, const QString &siteAbbr,
                                qint64 liberationStamp, const QString &assocCode, int printCount)
{
    FieldList::Writer w;
    w.text(QStringLiteral("ClubCode"), clubId, QStringLiteral("Club ID"))
        .text(QStringLiteral("LiberCode"), liberCode, QStringLiteral("Liberation code"))
        .text(QStringLiteral("LiberName"), siteAbbr, QStringLiteral("Site abbreviation"))
        .text(QStringLiteral("LiberTime"), QString::number(liberationStamp))
        .text(QStringLiteral("AssocCode"), assocCode, QStringLiteral("Association code"))
        .number(QStringLiteral("PrintCount"), printCount);
    return w;
}

FieldList::Writer SyncPass::pigeonFieldList(const QString &regNumber, const QString &eRing, const QString &color,
                                  const QString &year, int code, const QString &country)
{
    FieldList::Writer w;
    w.text(QStringLiteral("regNum"), regNumber, QStringLiteral("Registration number"))
        .text(QStringLiteral("eringNum"), eRing, QStringLiteral("Electronic ring"))
        .text(QStringLiteral("Color"), color, QStringLiteral("Colour"))
        .numberText(QStringLiteral("Year"), year)
        .number(QStringLiteral("Sex"), code)
        .text(QStringLiteral("assocCode"), country, QStringLiteral("Country code"));
    return w;
}

int SyncPass::sexCode(const QString &sex)
{
    if (sex == QLatin1String("H"))
        return 0;
    if (sex == QLatin1String("C"))
        return 1;
    return 2;
}

QString SyncPass::sexFromCode(const QString &code)
{
    if (code == QLatin1String("0"))
        return QStringLiteral("H");
    if (code == QLatin1String("1"))
        return QStringLiteral("C");
    if (code == QLatin1String("2"))
        return QStringLiteral("U");
    return {};
}

void SyncPass::fail(const QString &text)
{
    sink_.failure(text);
    success_ = false;
}

PollOutcome SyncPass::run()
{
    success_ = true;
    watch_ = std::make_unique<LinkWatch>(api_);
    notDone_.clear();
    sink_.clearMessages();
    if (const PollOutcome o = ClockAccess::identify(api_, s_, true, sink_); o != PollOutcome::Done) {
        success_ = false; // nothing was synchronised
        return o;
    }
    if (!ClockAccess::verify(api_, s_)) {
        success_ = false;
        sink_.failure(QStringLiteral("ComVerify Error : "));
        sink_.beep();
        return PollOutcome::NotVerified;
    }
    sink_.clearMessages();
    sink_.working(QStringLiteral("In synchronize Loft Number: %1 Please Wait! ").arg(s_.CurLoftNo));

    const auto clockRow =
        dm_.rows(QStringLiteral("SELECT LastSynchDate FROM ORV_LoftClocks WHERE LoftNo=? AND ClockID=?"),
                 {s_.CurLoftNo, s_.CurDeviceNo});
    clockRegistered_ = !clockRow.empty();
    lastSynch_ = clockRegistered_ ? ValueText::parseDateTime(clockRow.front().value(0)) : QDateTime();

    removeRaces();
    sendRaces();
    const bool fullMode = sendPigeons();
    readBack(fullMode);
    if (watch_->stopped()) {
        // One message for the whole pass instead of one time-out per remaining item.
        success_ = false;
        sink_.failure(QStringLiteral("Synchronisation stopped: %1. Not done: %2")
                          .arg(watch_->reason(), notDone_.isEmpty() ? QStringLiteral("nothing")
                                                                     : notDone_.join(QStringLiteral("; "))));
    }

    if (success_) {
        TableObject clocks(dm_, QStringLiteral("ORV_LoftClocks"));
        const QVariantMap key{{QStringLiteral("LoftNo"), s_.CurLoftNo},
                              {QStringLiteral("ClockID"), s_.CurDeviceNo}};
        if (!clocks.locate(key))
            clocks.append(key);
        clocks.edit(key, {{QStringLiteral("LastSynchDate"), ValueText::dateTime(AppClock::now())},
                          {QStringLiteral("SynchStat"), 0}});
        s_.PreDeviceno = s_.CurDeviceNo;
        sink_.clearMessages();
        sink_.success(QStringLiteral("Clock Synchornize Success !"));
        api_.DispMessage(s_.CurLoftNo + QStringLiteral(" Clock Synchornize Success !"));
    }
    sink_.beep();
    return PollOutcome::Done;
}

void SyncPass::removeRaces()
{
    QString reply;
    // Races soft-deleted in the store, then races liberated more than five calendar days ago.
    const auto deleted = dm_.rows(QStringLiteral("SELECT b.RaceCode FROM ORV_RaceClockTime a "
                                                 "LEFT JOIN ORV_RaceData b ON a.RaceCode=b.RaceCode "
                                                 "WHERE a.LoftNo=? AND b.DeleteMark<>0"),
                                  {s_.CurLoftNo});
    const QString limit = ValueText::date(AppClock::now().addDays(-5).date());
    const auto old = dm_.rows(QStringLiteral("SELECT RaceCode FROM ORV_RaceClockTime WHERE LoftNo=? "
                                             "AND date(LiberDate)<date(?)"),
                              {s_.CurLoftNo, limit});
    QStringList left;
    for (const auto *list : {&deleted, &old}) {
        for (const auto &r : *list) {
            const QString code = r.value(0).toString();
            if (watch_->stopped()) {
                left << code;
                continue;
            }
            const bool ok = api_.DeleteRace(s_.CommKey, code, reply);
            if (!ok)
                sink_.failure(QStringLiteral("DeleteRace Error : ") + reply);
            // Without an answer the clock may still hold the race: keep the row for the next pass.
            const bool unanswered = !ok && api_.lastTimedOut();
            linkOk(ok);
            if (unanswered) {
                success_ = false;
                left << code;
                continue;
            }
            dm_.exec(QStringLiteral("DELETE FROM ORV_RaceClockTime WHERE RaceCode=? AND LoftNo=?"),
                     {code, s_.CurLoftNo});
        }
    }
    notDone(itemList(left, QStringLiteral("races to remove")));
}

void SyncPass::sendRaces()
{
    const auto races =
        dm_.rows(QStringLiteral("SELECT * FROM ORV_RaceData WHERE DeleteMark=0 OR DeleteMark IS NULL"));
    if (races.empty())
        return;
    if (watch_->stopped()) {
        notDone(QStringLiteral("%1 races to send").arg(races.size()));
        return;
    }
    const ClubSettings club = ClubSettings::load(dm_);
    const QString assoc = club.associationCode;
    // The clock's race count only grows while races are sent, so one query tells for the pass
    // whether the clock was empty.
    QString reply;
    int count = -1;
    const bool counted = api_.QueryRace(s_.CommKey, QString(), count, reply);
    linkOk(counted);
    const bool allRaces = counted && count == 0;
    const QDateTime since = s_.SyncAllFlag ? QDateTime() : lastSynch_;

    int done = 0;
    QStringList left;
    for (const auto &r : races) {
        sink_.progress(++done, static_cast<int>(races.size()), QStringLiteral("race"));
        const QString code = r.value("RaceCode").toString();
        if (watch_->stopped()) {
            left << code;
            continue;
        }
        const QDateTime updated = ValueText::parseDateTime(r.value("Updatetime"));
        // A clock without a synchronisation date of its own gets every race.
        const bool send = !since.isValid() || allRaces || (updated.isValid() && updated > since);
        if (!send)
            continue;
        const QDate liberDate = ValueText::parseDate(r.value("LiberDate"));
        const QTime liberTime = ValueText::parseTime(r.value("LiberTime"));
        const qint64 stamp =
            ClockStamp::fromLocal(QDateTime(liberDate, liberTime.isValid() ? liberTime : QTime(0, 0)));
        const FieldList::Writer parm =
            raceFieldList(r.value("ClubID").toString(), r.value("LiberCode").toString(),
                          r.value("LiberSiteAbbr").toString(), stamp, assoc, club.printCount);
        // A value stored before the entry checks would break the list: the race is not sent.
        if (!parm.ok()) {
            fail(QStringLiteral("SaveRace Error : ") + code + QStringLiteral(": ") + parm.problem());
        } else {
            const bool saved = api_.SaveRace(s_.CommKey, code, parm.list(), reply);
            if (!saved)
                fail(QStringLiteral("SaveRace Error : ") + reply);
            if (!saved && api_.lastTimedOut())
                left << code;
            linkOk(saved);
        }
        if (!dm_.scalar(
                    QStringLiteral("SELECT 1 FROM ORV_RaceClockTime WHERE RaceCode=? AND LoftNo=? LIMIT 1"),
                    {code, s_.CurLoftNo})
                 .isValid())
            dm_.exec(QStringLiteral("INSERT INTO ORV_RaceClockTime (LiberCode, LiberDate, LoftNo, RaceCode) "
                                    "VALUES (?,?,?,?)"),
                     {r.value("LiberCode"), ValueText::date(liberDate), s_.CurLoftNo, code});
    }
    notDone(itemList(left, QStringLiteral("races to send")));
}

bool SyncPass::sendPigeons()
{
    QString reply;
    int count = 0;
    if (watch_->stopped()) {
        const int changed =
            dm_.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_PigData WHERE LoftNo=? AND SynchFlag<>0"),
                       {s_.CurLoftNo})
                .toInt();
        if (changed > 0)
            notDone(QStringLiteral("%1 changed pigeons to send").arg(changed));
        return false;
    }
    const bool counted = api_.QueryPigeons(s_.CommKey, QString(), count, reply);
    linkOk(counted);
    if (!counted)
        count = 0;
    std::vector<QSqlRecord> pigeons;
    bool fullMode = false;
    if (count >= 1 && !s_.SyncAllFlag) {
        pigeons = dm_.rows(QStringLiteral("SELECT * FROM ORV_PigData WHERE LoftNo=? AND SynchFlag<>0"),
                           {s_.CurLoftNo});
    } else {
        dm_.exec(QStringLiteral("UPDATE ORV_PigData SET SynchFlag=1 WHERE LoftNo=?"), {s_.CurLoftNo});
        pigeons = dm_.rows(QStringLiteral("SELECT * FROM ORV_PigData WHERE LoftNo=?"), {s_.CurLoftNo});
        fullMode = true;
    }
    int done = 0;
    QStringList left;
    for (const auto &p : pigeons) {
        sink_.progress(++done, static_cast<int>(pigeons.size()), QStringLiteral("pigeon"));
        const QString ring = p.value("PRingNo").toString();
        if (watch_->stopped()) {
            left << ring;
            continue;
        }
        if (ValueText::toBool(p.value("DeleteMark"))) {
            // The row goes only once the clock confirmed; otherwise the next pass tries again.
            const bool deleted = api_.DeletePigeon(s_.CommKey, ring, reply);
            if (!deleted && api_.lastTimedOut())
                left << ring;
            linkOk(deleted);
            if (deleted)
                dm_.exec(QStringLiteral("DELETE FROM ORV_PigData WHERE LoftNo=? AND PRingNo=?"),
                         {s_.CurLoftNo, ring});
            else
                fail(QStringLiteral("DeletePigeon Error : ") + (reply.isEmpty() ? api_.lastError() : reply));
            continue;
        }
        const FieldList::Writer parm = pigeonFieldList(
            p.value("RRegNumber").toString(), p.value("E_Ring").toString(), p.value("ColorType").toString(),
            p.value("RYear").toString(), sexCode(p.value("Sex").toString()), p.value("RCountry").toString());
        // A value stored before the entry checks would break the list: the pigeon is not sent.
        if (!parm.ok()) {
            fail(QStringLiteral("SavePigeon Error : ") + ring + QStringLiteral(": ") + parm.problem());
            continue;
        }
        const bool saved = api_.SavePigeon(s_.CommKey, ring, parm.list(), reply);
        if (saved)
            dm_.exec(QStringLiteral("UPDATE ORV_PigData SET SynchFlag=0 WHERE LoftNo=? AND PRingNo=?"),
                     {s_.CurLoftNo, ring});
        else
            fail(QStringLiteral("SavePigeon Error : ") + reply);
        if (!saved && api_.lastTimedOut())
            left << ring;
        linkOk(saved);
    }
    notDone(itemList(left, QStringLiteral("pigeons")));
    return fullMode;
}

void SyncPass::readBack(bool fullMode)
{
    QString filter;
    if (fullMode)
        filter = QStringLiteral("updateTime>=") + QString::number(ClockStamp::fromLocal(AppClock::now()));
    else if (clockRegistered_ && lastSynch_.isValid())
        filter = QStringLiteral("updateTime>=") + QString::number(ClockStamp::fromLocal(lastSynch_));
    if (watch_->stopped()) {
        notDone(QStringLiteral("reading back the pigeons the clock changed"));
        return;
    }
    QString reply;
    int n = 0;
    const bool counted = api_.QueryPigeons(s_.CommKey, filter, n, reply);
    if (!linkOk(counted)) {
        notDone(QStringLiteral("reading back the pigeons the clock changed"));
        return;
    }
    if (!counted) {
        // A count the clock cannot hold, or no answer: the read-back was not done.
        if (api_.lastFailure() == TWinApiV8::Failure::BadReply || api_.lastTimedOut())
            fail(QStringLiteral("QueryPigeons Error : ") + api_.lastError());
        return;
    }
    if (n < 1)
        return;
    TableObject pigData(dm_, QStringLiteral("ORV_PigData"));
    for (int i = 0; i < n; ++i) {
        sink_.progress(i + 1, n, QStringLiteral("pigeon read back"));
        const bool read = api_.GetPigeonInfo(s_.CommKey, i, ReadBackFields, reply);
        if (!read) {
            sink_.clearMessages();
            fail(QStringLiteral("GetPigeonInfo Error : ") + reply);
            if (!linkOk(false)) {
                notDone(QStringLiteral("%1 of %2 pigeons to read back").arg(n - i).arg(n));
                return;
            }
            continue;
        }
        linkOk(true);
        QStringList v = ClockAccess::values(reply);
        while (v.size() < 7)
            v << QString();
        const QString ring = v[0], uid = v[1], eRing = v[2], year = v[4], sex = v[5], color = v[6];
        qint64 stamp = 0;
        ClockStamp::parse(v[3], &stamp);
        const QDateTime t = ClockStamp::toLocal(stamp);
        const QString now = ValueText::dateTime(AppClock::now());
        const QVariantMap key{{QStringLiteral("LoftNo"), s_.CurLoftNo}, {QStringLiteral("PRingNo"), ring}};
        if (pigData.locate(key)) {
            pigData.edit(
                key, {{QStringLiteral("UID"), uid},
                      {QStringLiteral("E_Ring"), eRing},
                      {QStringLiteral("AssignDate"), eRing.isEmpty() ? QVariant() : ValueText::dateTime(t)},
                      {QStringLiteral("Updatetime"), now}});
        } else if (!eRing.isEmpty()) {
            const QString sexText = sexFromCode(sex);
            pigData.append({{QStringLiteral("LoftNo"), s_.CurLoftNo},
                            {QStringLiteral("PRingNo"), ring},
                            {QStringLiteral("UID"), uid},
                            {QStringLiteral("E_Ring"), eRing},
                            {QStringLiteral("AssignDate"), ValueText::dateTime(t)},
                            {QStringLiteral("Sex"), sexText.isEmpty() ? QVariant() : QVariant(sexText)},
                            {QStringLiteral("RYear"), year},
                            {QStringLiteral("ColorType"), color},
                            {QStringLiteral("CreateDate"), ValueText::date(t.date())},
                            {QStringLiteral("Updatetime"), now},
                            {QStringLiteral("DeleteMark"), 0},
                            {QStringLiteral("SynchFlag"), 0}});
        }
    }
}
