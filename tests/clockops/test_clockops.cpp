#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include "clockops/clockstamp.h"
#include "clockops/clockviews.h"
#include "clockops/markedupload.h"
#include "clockops/multiupload.h"
#include "clockops/racechoice.h"
#include "clockops/resultupload.h"
#include "clockops/syncpass.h"
#include "races/ranking.h"
#include "device/twinapiv8.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "store/appclock.h"
#include "store/recordtable.h"

#include <QSqlRecord>
#include <QtTest>

namespace {
const QString Clock1 = QStringLiteral("1A2B3C4D");
const QString Clock2 = QStringLiteral("0C0D0E0F");
const QDateTime Now(QDate(2026, 6, 3), QTime(12, 0));

qint64 stamp(const QDateTime &local)
{
    return ClockStamp::fromLocal(local);
}

// A club with loft 001 (clock 1) and 002 (clock 2), each with pigeons, and the devices in a simulator.
struct Rig
{
    TestDb db;
    ClockSimulator sim;
    TWinApiV8 api{std::make_unique<SimLink>(sim)};
    ClockSession session;
    RecordingSink sink;

    Rig()
    {
        db.insertClub("NC", 0);
        auto &dm = db.dm();
        dm.exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('001','Adams'),('002','Brown')");
        sim.addClock(Clock1, "001");
        sim.addClock(Clock2, "002");
        sim.connectClock(0);
    }
    TdmORVS &dm() { return db.dm(); }

    void race(const QString &code, const QString &liberCode, const QDate &date, const QString &time = "07:00:00",
              int deleted = 0, const QString &updated = "2026-05-01 10:00:00")
    {
        dm().exec("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, LiberTime, "
                  "Updatetime, SynchFlag, RaceCode, DeleteMark) VALUES ('NC',?,?,?,?,?,?,1,?,?)",
                  {liberCode, "Site " + liberCode, "S" + liberCode, date.toString("yyyy-MM-dd"), time, updated, code,
                   deleted});
    }
    void pigeon(const QString &loft, const QString &ring, const QString &eRing = "E1", int deleted = 0,
                int synch = 1)
    {
        dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegNumber, Sex, E_Ring, SynchFlag, "
                  "DeleteMark) VALUES (?,?,'BE','2025','1234','H',?,?,?)",
                  {loft, ring, eRing, synch, deleted});
    }
    // A pigeon of the store that the clock already holds (as after a synchronisation).
    void clockPigeon(int clockIndex, const QString &loft, const QString &ring, const QString &eRing = "E1",
                     int deleted = 0)
    {
        pigeon(loft, ring, eRing, deleted, 0);
        SimFields f;
        f.set("eringNum", eRing);
        sim.clock(clockIndex).savePigeon(ring, f, 0);
    }
    void distance(const QString &liberCode, const QString &loft, int km, int m)
    {
        dm().exec("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES (?,?,?,?)",
                  {liberCode, loft, km, m});
    }
    SimDevice &clock(int i) { return sim.clock(i); }
    int count(const QString &sql, const QVariantList &b = {}) { return dm().scalar(sql, b).toInt(); }
    QVariant value(const QString &sql, const QVariantList &b = {}) { return dm().scalar(sql, b); }
};
} // namespace

class TestClockOps : public QObject
{
    Q_OBJECT
private slots:
    void init() { AppClock::setFixed(Now); }
    void cleanup()
    {
        AppClock::setFixed({});
        AppClock::setZone({});
    }

    void clockStampsRoundTrip();
    void coordinateTextsAndHex();
    void syncSendsEveryLiveRaceToAnEmptyClock();
    void syncRemovesDeletedAndOldRaces();
    void syncSendsOnlyRacesChangedSinceLastSynch();
    void syncAllRemovesDeletedPigeonsAndKeepsFlagOnFailure();
    void syncReadsBackAssignedRings();
    void syncRefusesAStoredValueThatWouldBreakAList();
    void sameClockIsSkippedUntilAnotherIsRead();
    void noClockAndForeignPassword();
    void markedUploadStoresBirdsOfTheChosenRace();
    void resultUploadComputesWithTheVariation();
    void resultUploadWithoutTheRaceInTheClock();
    void resultGridRanksEqualSpeedsTogether();
    void multiUploadStoresEachRaceWithItsOwnVariation();
    void arrivalsAcrossTheChangesOfTime_data();
    void arrivalsAcrossTheChangesOfTime();
    void syncBeforeTheChangeSendsTheLiberationInstant_data();
    void syncBeforeTheChangeSendsTheLiberationInstant();
    void laterDaysWithoutSunRowsAreNamed();
};

void TestClockOps::clockStampsRoundTrip()
{
    const QDateTime t(QDate(2026, 6, 1), QTime(7, 0, 0));
    QCOMPARE(stamp(t), t.toMSecsSinceEpoch());
    QCOMPARE(ClockStamp::toLocal(stamp(t) + 999), t);
    QCOMPARE(ClockStamp::toLocalMs(stamp(t) + 250), t.addMSecs(250));
    // Halves of a second round to even.
    QCOMPARE(stamp(t.addMSecs(500)) - stamp(t), qint64(0));
    QCOMPARE(stamp(t.addMSecs(1500)) - stamp(t), qint64(2000));
    // A PC on European time, in winter and in summer, whatever the day it converts on.
    AppClock::setZone("Europe/Brussels");
    for (const QDateTime &today : {QDateTime(QDate(2026, 1, 10), QTime(12, 0), Qt::UTC),
                                   QDateTime(QDate(2026, 7, 10), QTime(12, 0), Qt::UTC)}) {
        AppClock::setFixed(today);
        QCOMPARE(stamp(QDateTime(QDate(2026, 6, 1), QTime(7, 0))),
                 QDateTime(QDate(2026, 6, 1), QTime(5, 0), Qt::UTC).toMSecsSinceEpoch());
        QCOMPARE(stamp(QDateTime(QDate(2026, 1, 5), QTime(7, 0))),
                 QDateTime(QDate(2026, 1, 5), QTime(6, 0), Qt::UTC).toMSecsSinceEpoch());
        const QDateTime summer =
            ClockStamp::toLocal(QDateTime(QDate(2026, 6, 1), QTime(5, 0), Qt::UTC).toMSecsSinceEpoch());
        QCOMPARE(summer.date(), QDate(2026, 6, 1));
        QCOMPARE(summer.time(), QTime(7, 0));
        QCOMPARE(ClockStamp::toLocal(QDateTime(QDate(2026, 1, 5), QTime(6, 0), Qt::UTC).toMSecsSinceEpoch()).time(),
                 QTime(7, 0));
    }
    // The hour an autumn change repeats: the two stamps stay two instants an hour apart.
    const qint64 first = QDateTime(QDate(2026, 10, 25), QTime(0, 30), Qt::UTC).toMSecsSinceEpoch();
    const QDateTime a = ClockStamp::toLocal(first), b = ClockStamp::toLocal(first + 3600000);
    QCOMPARE(a.time(), QTime(2, 30));
    QCOMPARE(b.time(), QTime(2, 30));
    QCOMPARE(stamp(b) - stamp(a), qint64(3600000));
}

void TestClockOps::coordinateTextsAndHex()
{
    QCOMPARE(ResultStore::FormatLo(4527005), QString("E001'15:27.05"));
    QCOMPARE(ResultStore::FormatLa(-183600000), QString("S051'00:00.00"));
    QCOMPARE(ResultStore::FormatLo(-4527123), QString("W001'15:27.123"));
    QCOMPARE(ResultStore::HexToInt("1F"), 31);
    QCOMPARE(ResultStore::HexToInt("0A"), 10);
    QCOMPARE(ResultStore::hex2(10), QString("0A"));
    QCOMPARE(ResultStore::hex2(300), QString("12C"));
    QCOMPARE(SyncPass::sexCode("H"), 0);
    QCOMPARE(SyncPass::sexCode("x"), 2);
    QCOMPARE(SyncPass::sexFromCode("1"), QString("C"));
    QCOMPARE(SyncPass::sexFromCode("7"), QString());
}

void TestClockOps::syncSendsEveryLiveRaceToAnEmptyClock()
{
    Rig r;
    r.race("12340601", "1234", QDate(2026, 6, 1));
    r.race("55550602", "5555", QDate(2026, 6, 2));
    r.race("77770602", "7777", QDate(2026, 6, 2), "07:00:00", 1);
    r.pigeon("001", "BE-25-1", "E1");
    r.pigeon("001", "BE-25-2", "");
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    QCOMPARE(pass.run(), PollOutcome::Done);
    QVERIFY2(pass.succeeded(), qPrintable(r.sink.texts().join('|')));
    QCOMPARE(r.clock(0).races.size(), 2);
    const SimRace *race = r.clock(0).race("12340601");
    QVERIFY(race);
    QCOMPARE(race->fields.text("LiberName"), QString("S1234"));
    QCOMPARE(race->fields.number("LiberTime"), stamp(QDateTime(QDate(2026, 6, 1), QTime(7, 0))));
    QCOMPARE(race->fields.text("AssocCode"), QString("BE"));
    QCOMPARE(r.clock(0).pigeons.size(), 2);
    QCOMPARE(r.clock(0).pigeon("BE-25-1")->fields.text("eringNum"), QString("E1"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_RaceClockTime WHERE LoftNo='001'"), 2);
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE SynchFlag<>0"), 0);
    QCOMPARE(r.value("SELECT LastSynchDate FROM ORV_LoftClocks WHERE ClockID=? AND LoftNo='001'", {Clock1}).toString(),
             QString("2026-06-03 12:00:00"));
    QCOMPARE(r.session.PreDeviceno, Clock1);
    QCOMPARE(r.sink.last(), QString("Clock Synchornize Success !"));
    QCOMPARE(r.clock(0).display, QString("001 Clock Synchornize Success !"));
    QVERIFY(r.sink.beeps >= 1);
}

void TestClockOps::syncRemovesDeletedAndOldRaces()
{
    Rig r;
    r.race("11110529", "1111", QDate(2026, 5, 29)); // five calendar days before today: stays
    r.race("22220528", "2222", QDate(2026, 5, 28)); // six days: goes
    r.race("33330601", "3333", QDate(2026, 6, 1), "07:00:00", 1); // soft-deleted
    for (const char *code : {"11110529", "22220528", "33330601"})
        r.clock(0).saveRace(code, {});
    r.dm().exec("INSERT INTO ORV_RaceClockTime (LiberCode, LiberDate, LoftNo, RaceCode) VALUES "
                "('1111','2026-05-29','001','11110529'),('2222','2026-05-28','001','22220528'),"
                "('3333','2026-06-01','001','33330601')");
    // Synchronised after the races last changed, so none is sent again.
    r.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID, LastSynchDate) VALUES ('001',?,'2026-06-02 08:00:00')",
                {Clock1});
    SyncPass(r.dm(), r.api, r.session, r.sink).run();
    QVERIFY(r.clock(0).race("11110529"));
    QVERIFY(!r.clock(0).race("22220528"));
    QVERIFY(!r.clock(0).race("33330601"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_RaceClockTime WHERE RaceCode IN ('22220528','33330601')"), 0);
}

void TestClockOps::syncSendsOnlyRacesChangedSinceLastSynch()
{
    Rig r;
    const QString last = "2026-06-02 09:00:00";
    r.race("12340601", "1234", QDate(2026, 6, 1), "07:00:00", 0, last);                  // equal: not sent
    r.race("55550602", "5555", QDate(2026, 6, 2), "07:00:00", 0, "2026-06-02 09:00:01"); // later: sent
    r.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID, LastSynchDate) VALUES ('001',?,?)", {Clock1, last});
    r.clock(0).saveRace("OTHER", {}); // the clock is not empty
    SyncPass(r.dm(), r.api, r.session, r.sink).run();
    QVERIFY(!r.clock(0).race("12340601"));
    QVERIFY(r.clock(0).race("55550602"));
}

void TestClockOps::syncAllRemovesDeletedPigeonsAndKeepsFlagOnFailure()
{
    Rig r;
    r.pigeon("001", "BE-25-1", "E1", 0, 0);
    r.pigeon("001", "BE-25-2", "E2", 1, 0);
    r.pigeon("001", "BE-25-3", "", 0, 0);
    SimFields f;
    r.clock(0).savePigeon("BE-25-2", f, 0);
    r.clock(0).savePigeon("OLD", f, 0); // not empty
    // The third pigeon's save is refused.
    int saves = 0;
    Q_UNUSED(saves);
    QVERIFY(r.sim.injectFault("refuse:7@savePigeon"));
    r.session.SyncAllFlag = true;
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    pass.run();
    QVERIFY(!pass.succeeded());
    QVERIFY(!r.clock(0).pigeon("BE-25-2"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo='BE-25-2'"), 0);
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE SynchFlag<>0"), 1); // the refused one
    QVERIFY(r.sink.hasContaining("SavePigeon Error : "));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_LoftClocks"), 0); // an unsuccessful pass registers nothing
    QVERIFY(r.session.PreDeviceno.isEmpty());
}

void TestClockOps::syncRefusesAStoredValueThatWouldBreakAList()
{
    // Stored before colour codes were checked: sent as it stands, the hen became a cock (Sex=1).
    Rig r;
    r.pigeon("001", "BE-25-1");
    r.pigeon("001", "BE-25-2");
    r.dm().exec("UPDATE ORV_PigData SET ColorType='B%Sex:#1' WHERE PRingNo='BE-25-1'");
    r.session.SyncAllFlag = true;
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    pass.run();
    QVERIFY(!pass.succeeded());
    QVERIFY(!r.clock(0).pigeon("BE-25-1"));
    QVERIFY(r.clock(0).pigeon("BE-25-2")); // the others go on
    QVERIFY2(r.sink.hasContaining("SavePigeon Error : BE-25-1: Colour: the character \"%\" cannot be sent to a clock."),
             qPrintable(r.sink.texts().join('|')));
    QVERIFY(!r.sink.hasContaining("Clock Synchornize Success !"));
    QCOMPARE(r.count("SELECT SynchFlag FROM ORV_PigData WHERE PRingNo='BE-25-1'"), 1);
}

void TestClockOps::syncReadsBackAssignedRings()
{
    Rig r;
    r.pigeon("001", "BE-25-1", "", 0, 0);
    r.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID, LastSynchDate) VALUES ('001',?,'2026-06-02 08:00:00')",
                {Clock1});
    SimFields f;
    r.clock(0).savePigeon("BE-25-1", f, stamp(QDateTime(QDate(2026, 6, 1), QTime(8, 0))));
    r.clock(0).savePigeon("NEW-1", f, 0);
    r.clock(0).savePigeon("NEW-2", f, 0);
    const qint64 later = stamp(QDateTime(QDate(2026, 6, 2), QTime(10, 0)));
    r.clock(0).assignRing("BE-25-1", "UID1", "ER01", later);
    r.clock(0).assignRing("NEW-1", "UID2", "ER02", later);
    r.clock(0).assignRing("NEW-2", "UID3", "", later); // unknown and no ring: ignored
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    pass.run();
    QVERIFY2(pass.succeeded(), qPrintable(r.sink.texts().join('|')));
    QCOMPARE(r.value("SELECT E_Ring FROM ORV_PigData WHERE PRingNo='BE-25-1'").toString(), QString("ER01"));
    QCOMPARE(r.value("SELECT UID FROM ORV_PigData WHERE PRingNo='BE-25-1'").toString(), QString("UID1"));
    QCOMPARE(r.value("SELECT AssignDate FROM ORV_PigData WHERE PRingNo='NEW-1'").toString(),
             QString("2026-06-02 10:00:00"));
    QCOMPARE(r.value("SELECT LoftNo FROM ORV_PigData WHERE PRingNo='NEW-1'").toString(), QString("001"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo='NEW-2'"), 0);
}

void TestClockOps::sameClockIsSkippedUntilAnotherIsRead()
{
    Rig r;
    QCOMPARE(SyncPass(r.dm(), r.api, r.session, r.sink).run(), PollOutcome::Done);
    QCOMPARE(SyncPass(r.dm(), r.api, r.session, r.sink).run(), PollOutcome::SameClock);
    QCOMPARE(MarkedUpload(r.dm(), r.api, r.session, r.sink).poll(), PollOutcome::SameClock);
    QCOMPARE(ResultUpload(r.dm(), r.api, r.session, r.sink).poll(), PollOutcome::SameClock);
    QCOMPARE(MultiUpload(r.dm(), r.api, r.session, r.sink).poll(), PollOutcome::SameClock);
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_RaceClockTime"), 0); // nothing was read again
    r.sim.connectClock(1);
    QCOMPARE(SyncPass(r.dm(), r.api, r.session, r.sink).run(), PollOutcome::Done);
    r.sim.connectClock(0);
    QCOMPARE(SyncPass(r.dm(), r.api, r.session, r.sink).run(), PollOutcome::Done);
}

void TestClockOps::noClockAndForeignPassword()
{
    Rig r;
    r.sim.disconnectClock();
    r.sim.antenna() = SimDevice(); // nothing answers identity
    QVERIFY(r.sim.injectFault("silence"));
    QCOMPARE(SyncPass(r.dm(), r.api, r.session, r.sink).run(), PollOutcome::NoClock);
    QCOMPARE(r.sink.last(), QString("Please connect to club antenna and clock."));
    r.sim.connectClock(0);
    r.clock(0).password = "0000000000000000";
    r.sink.clear();
    QCOMPARE(SyncPass(r.dm(), r.api, r.session, r.sink).run(), PollOutcome::NotVerified);
    QCOMPARE(r.sink.last(), QString("ComVerify Error : "));
    QCOMPARE(r.sink.beeps, 1);
}

void TestClockOps::markedUploadStoresBirdsOfTheChosenRace()
{
    Rig r;
    r.race("12340601", "1234", QDate(2026, 6, 1));
    r.race("1234A601", "1234", QDate(2026, 6, 1));
    r.clockPigeon(0, "001", "P1");
    r.clockPigeon(0, "001", "P2");
    r.clockPigeon(0, "001", "P3");
    r.clockPigeon(0, "001", "P4", "E4", 1); // soft-deleted: not read
    auto &c = r.clock(0);
    for (const char *code : {"12340601", "1234A601"})
        c.saveRace(code, {});
    const QDateTime basket(QDate(2026, 5, 31), QTime(18, 0, 0));
    c.markRace("12340601", stamp(basket.addSecs(2)), stamp(basket));
    c.markPigeon("P1", "12340601", stamp(basket.addSecs(60)));
    c.markPigeon("P2", "12340601", stamp(basket.addSecs(120)));
    c.markPigeon("P3", "1234A601", stamp(basket.addSecs(180))); // another race
    c.markPigeon("P4", "12340601", stamp(basket.addSecs(240)));
    QVERIFY(RaceChoice::choose(r.dm(), "12340601", r.session));
    MarkedUpload up(r.dm(), r.api, r.session, r.sink);
    QCOMPARE(up.poll(), PollOutcome::Done);
    QCOMPARE(up.count(), 2);
    QCOMPARE(r.sink.last(), QString("Marked data upload Success !"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE RaceCode='12340601'"), 2);
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData"), 2);
    QCOMPARE(r.value("SELECT MarkedTime FROM ORV_PigRaceData WHERE PRingNo='P1'").toString(),
             QString("2026-05-31 18:01:00"));
    QCOMPARE(r.value("SELECT DLMarkedTime FROM ORV_RaceClockTime WHERE LoftNo='001'").toString(),
             QString("2026-05-31 18:00:02"));
    QCOMPARE(r.value("SELECT LiberDate FROM ORV_PigRaceData WHERE PRingNo='P1'").toString(), QString("2026-06-01"));

    // Marked again: the row is replaced, not doubled; the clock-time row is updated.
    c.markPigeon("P1", "12340601", stamp(basket.addSecs(600)));
    r.session.PreDeviceno.clear();
    MarkedUpload(r.dm(), r.api, r.session, r.sink).poll();
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE PRingNo='P1'"), 1);
    QCOMPARE(r.value("SELECT MarkedTime FROM ORV_PigRaceData WHERE PRingNo='P1'").toString(),
             QString("2026-05-31 18:10:00"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_RaceClockTime"), 1);

    // A loft without records for the race: message, yet its clock-time row is written.
    r.sim.connectClock(1);
    r.sink.clear();
    MarkedUpload(r.dm(), r.api, r.session, r.sink).poll();
    QCOMPARE(r.sink.last(), QString("RaceCode : 12340601 No Marked data ! "));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_RaceClockTime WHERE LoftNo='002'"), 1);
    QCOMPARE(r.session.PreDeviceno, Clock2);

    MarkedList grid(r.dm());
    grid.load("12340601", true);
    QCOMPARE(grid.rowCount(), 2);
    QCOMPARE(grid.displayText(0, 0), QString("Adams"));
    QCOMPARE(grid.displayText(0, 1), QString("P1"));
}

void TestClockOps::resultUploadComputesWithTheVariation()
{
    Rig r;
    r.race("12340601", "1234", QDate(2026, 6, 1), "07:00:00");
    r.distance("1234", "001", 400, 0);
    for (const char *p : {"P1", "P2", "P3", "P4", "P5"})
        r.clockPigeon(0, "001", p);
    auto &c = r.clock(0);
    c.saveRace("12340601", {});
    const QDateTime basket(QDate(2026, 5, 31), QTime(18, 0));
    c.markRace("12340601", stamp(basket), stamp(basket));
    for (const char *p : {"P1", "P2", "P3", "P5"}) // P4 has no record: error 1287, skipped silently
        c.markPigeon(p, "12340601", stamp(basket));
    const QDateTime lib(QDate(2026, 6, 1), QTime(7, 0));
    // The clock runs 3 s ahead of the master: each arrival it shows is 3 s late.
    c.arrive("P1", stamp(lib) + 16215250 + 3000, 183600000, 4527005, true, 171);
    c.arrive("P2", stamp(lib) + 17000000 + 3000, 0, 0, false);
    // P3 has not arrived (arrival 0); P5 neither.
    const QDateTime stop(QDate(2026, 6, 1), QTime(20, 0));
    c.stopRace("12340601", stamp(stop) + 3000, stamp(stop));
    QVERIFY(RaceChoice::choose(r.dm(), "12340601", r.session));
    ResultUpload up(r.dm(), r.api, r.session, r.sink);
    QCOMPARE(up.poll(), PollOutcome::Done);
    QVERIFY2(r.sink.has("Race Result upload Success !"), qPrintable(r.sink.texts().join('|')));
    QVERIFY(!r.sink.hasContaining("QueryRaceRecord Error"));
    QCOMPARE(r.session.TimeVari, 3);
    QCOMPARE(up.stored(), 2);
    const auto rows = r.dm().rows("SELECT PRingNo, FlyTime, FlySpeed, Dist, TimeVari, BackLon, BackLat, BackTime, "
                                  "RandomCode, ClockID FROM ORV_PigRaceData WHERE BackTime<>'' ORDER BY PRingNo");
    QCOMPARE(static_cast<int>(rows.size()), 2);
    QCOMPARE(rows[0].value("FlyTime").toString(), QString("04:30:15.250"));
    QCOMPARE(rows[0].value("FlySpeed").toDouble(), 1480.088);
    QCOMPARE(rows[0].value("Dist").toInt(), 400000);
    QCOMPARE(rows[0].value("TimeVari").toInt(), 3);
    QCOMPARE(rows[0].value("BackLon").toString(), QString("E001'15:27.05"));
    QCOMPARE(rows[0].value("BackLat").toString(), QString("N051'00:00.00"));
    QCOMPARE(rows[0].value("BackTime").toString(), QString("2026-06-01 11:30:18.250"));
    QCOMPARE(rows[0].value("ClockID").toString(), Clock1);
    QCOMPARE(rows[1].value("BackLon").toString(), QString("0000'00:00"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE PRingNo IN ('P3','P4','P5')"), 0);
    QCOMPARE(r.value("SELECT ULClockTime FROM ORV_RaceClockTime WHERE LoftNo='001'").toString(),
             QString("2026-06-01 20:00:03"));

    // Uploaded again: still one row per bird.
    r.session.PreDeviceno.clear();
    ResultUpload(r.dm(), r.api, r.session, r.sink).poll();
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE PRingNo='P1'"), 1);

    // Any other refusal of a record is shown and withholds the success message.
    r.session.PreDeviceno.clear();
    r.sink.clear();
    QVERIFY(r.sim.injectFault("refuse:9@queryRaceRecord"));
    ResultUpload(r.dm(), r.api, r.session, r.sink).poll();
    QVERIFY(r.sink.hasContaining("QueryRaceRecord Error : "));
    QVERIFY(!r.sink.has("Race Result upload Success !"));
}

void TestClockOps::resultUploadWithoutTheRaceInTheClock()
{
    Rig r;
    r.race("12340601", "1234", QDate(2026, 6, 1));
    r.clockPigeon(0, "001", "P1");
    r.dm().exec("INSERT INTO ORV_RaceClockTime (LoftNo, RaceCode, ULClockTime) VALUES ('001','12340601','kept')");
    r.clock(0).saveRace("OTHER", {});
    r.clock(0).markPigeon("P1", "OTHER", 0);
    QVERIFY(RaceChoice::choose(r.dm(), "12340601", r.session));
    r.session.TimeVari = 7; // left over from another clock
    ResultUpload up(r.dm(), r.api, r.session, r.sink);
    up.poll();
    QVERIFY(!up.raceFound());
    QCOMPARE(r.session.TimeVari, 0);
    QVERIFY(r.sink.hasContaining("not in this clock"));
    QCOMPARE(r.value("SELECT ULClockTime FROM ORV_RaceClockTime WHERE LoftNo='001'").toString(), QString("kept"));
    QCOMPARE(r.sink.last(), QString("Race Result No Record upload !"));
}

void TestClockOps::resultGridRanksEqualSpeedsTogether()
{
    Rig r;
    r.pigeon("001", "A");
    r.pigeon("001", "B");
    r.pigeon("002", "C");
    r.pigeon("002", "D");
    r.distance("1234", "001", 400, 0);
    r.race("R", "1234", QDate(2026, 6, 1));
    r.dm().exec("INSERT INTO ORV_PigRaceData (RaceCode, PRingNo, BackTime, FlySpeed) VALUES "
                "('R','A','2026-06-01 11:00:00',1500.5),('R','B','2026-06-01 11:01:00',1400.25),"
                "('R','C','2026-06-01 11:02:00',1400.25),('R','D','2026-06-01 11:03:00',1300.0),"
                "('R','E',NULL,0)");
    ClockResultList grid(r.dm());
    QCOMPARE(grid.headerData(4, Qt::Horizontal).toString(), QString("MPM"));
    grid.load("R");
    QCOMPARE(grid.rowCount(), 4);
    QStringList pos;
    for (int i = 0; i < 4; ++i)
        pos << grid.displayText(i, 0);
    QCOMPARE(pos, QStringList({"1", "2", "2", "4"}));
    QCOMPARE(grid.displayText(0, 4), QString("1500.500"));
    QCOMPARE(grid.displayText(0, 6), QString("400/000"));
    QCOMPARE(grid.displayText(2, 6), QString("0")); // loft 002 has no distance row
}

void TestClockOps::multiUploadStoresEachRaceWithItsOwnVariation()
{
    Rig r;
    r.race("11110601", "1111", QDate(2026, 6, 1), "07:00:00");
    r.race("22220602", "2222", QDate(2026, 6, 2), "08:00:00");
    r.distance("1111", "001", 100, 0);
    r.distance("2222", "001", 200, 0);
    r.clockPigeon(0, "001", "P1", "E1");
    r.clockPigeon(0, "001", "P2", "E2");
    r.clockPigeon(0, "001", "P3", "E3");
    auto &c = r.clock(0);
    c.saveRace("11110601", {});
    c.saveRace("22220602", {});
    const QDateTime basket(QDate(2026, 5, 31), QTime(18, 0));
    c.markRace("11110601", stamp(basket), stamp(basket));
    c.markRace("22220602", stamp(basket), stamp(basket));
    c.markPigeon("P1", "11110601", stamp(basket));
    c.markPigeon("P2", "22220602", stamp(basket));
    c.markPigeon("P3", "22220602", stamp(basket)); // marked, not arrived
    const QDateTime lib1(QDate(2026, 6, 1), QTime(7, 0)), lib2(QDate(2026, 6, 2), QTime(8, 0));
    c.arrive("P1", stamp(lib1) + 3600000 + 2000); // the clock 2 s ahead in race 1
    c.arrive("P2", stamp(lib2) + 7200000 - 5000); // and 5 s behind in race 2
    c.stopRace("11110601", stamp(lib1.addSecs(36000)) + 2000, stamp(lib1.addSecs(36000)));
    c.stopRace("22220602", stamp(lib2.addSecs(36000)) - 5000, stamp(lib2.addSecs(36000)));
    MultiUpload up(r.dm(), r.api, r.session, r.sink);
    QCOMPARE(up.poll(), PollOutcome::Done);
    QCOMPARE(r.sink.last(), QString("MultiRace Result upload Success !"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_RaceClockTime WHERE LoftNo='001'"), 2);
    QCOMPARE(r.value("SELECT FlyTime FROM ORV_PigRaceData WHERE PRingNo='P1'").toString(), QString("01:00:00.000"));
    QCOMPARE(r.value("SELECT Dist FROM ORV_PigRaceData WHERE PRingNo='P1'").toInt(), 100000);
    QCOMPARE(r.value("SELECT RaceCode FROM ORV_PigRaceData WHERE PRingNo='P2'").toString(), QString("22220602"));
    QCOMPARE(r.value("SELECT FlyTime FROM ORV_PigRaceData WHERE PRingNo='P2'").toString(), QString("02:00:00.000"));
    QCOMPARE(r.value("SELECT TimeVari FROM ORV_PigRaceData WHERE PRingNo='P2'").toInt(), -5);
    QCOMPARE(r.value("SELECT BackTime FROM ORV_PigRaceData WHERE PRingNo='P3'").toString(), QString());
    QCOMPARE(r.value("SELECT FlySpeed FROM ORV_PigRaceData WHERE PRingNo='P3'").toDouble(), 0.0);

    MultiRaceList grid(r.dm());
    grid.load("001", up.startDate());
    QCOMPARE(grid.rowCount(), 2); // P3 has not arrived
    QCOMPARE(grid.displayText(0, 2), QString("P1"));
    QCOMPARE(grid.displayText(1, 0), QString("2"));
    QCOMPARE(grid.displayText(1, 6), QString("200/000"));
}

namespace {
qint64 utc(const QDate &d, int h, int m = 0)
{
    return QDateTime(d, QTime(h, m), Qt::UTC).toMSecsSinceEpoch();
}
} // namespace

// A PC on European time over the weekends of the changes (the clocks go from 02:00 CET to 03:00
// CEST on the last Sunday of March, from 03:00 CEST to 02:00 CET on the last Sunday of October,
// both at 01:00 UTC). Liberation on the Saturday before; the clock's stamps and the moment it is
// read are given in UTC, the expected local texts and flying times worked out by hand.
void TestClockOps::arrivalsAcrossTheChangesOfTime_data()
{
    QTest::addColumn<QDate>("liberDate");
    QTest::addColumn<QString>("liberTime");
    QTest::addColumn<int>("sunRows"); // 0 none, 1 a neutralised night, 2 rows without sunset/sunrise
    QTest::addColumn<qint64>("arrival");
    QTest::addColumn<qint64>("readAt");
    QTest::addColumn<QString>("backTime");
    QTest::addColumn<QString>("flyTime");
    QTest::addColumn<double>("speed"); // 500 km

    struct Change
    {
        const char *name;
        QDate saturday;
        int before, after; // hours east of UTC
    };
    for (const Change &c : {Change{"March 2024", QDate(2024, 3, 30), 1, 2}, Change{"October 2024", QDate(2024, 10, 26), 2, 1},
                            Change{"March 2026", QDate(2026, 3, 28), 1, 2}, Change{"October 2026", QDate(2026, 10, 24), 2, 1}}) {
        const QDate sat = c.saturday, sun = sat.addDays(1);
        const QString satText = sat.toString(Qt::ISODate), sunText = sun.toString(Qt::ISODate);
        // Home at 18:00 on the Saturday: ten hours, read on the Sunday at 10:00 or on Saturday evening.
        QTest::addRow("%s home before, read after", c.name)
            << sat << "08:00:00" << 0 << utc(sat, 18 - c.before) << utc(sun, 10 - c.after)
            << satText + " 18:00:00.000" << "10:00:00.000" << 833.333;
        QTest::addRow("%s home before, read before", c.name)
            << sat << "08:00:00" << 0 << utc(sat, 18 - c.before) << utc(sat, 21 - c.before)
            << satText + " 18:00:00.000" << "10:00:00.000" << 833.333;
        // Home on the Sunday at 07:00 after a night neutralised from 20:00 to 06:00: 12 h + 1 h.
        QTest::addRow("%s home after a neutralised night", c.name)
            << sat << "08:00:00" << 1 << utc(sun, 7 - c.after) << utc(sun, 10 - c.after)
            << sunText + " 07:00:00.000" << "13:00:00.000" << 641.026;
        // Liberated at 20:00, home at 06:00, the night flown: 9 h in March, 11 h in October.
        const int hours = 10 + c.before - c.after;
        QTest::addRow("%s night flown", c.name)
            << sat << "20:00:00" << 2 << utc(sun, 6 - c.after) << utc(sun, 10 - c.after)
            << sunText + " 06:00:00.000" << QStringLiteral("%1:00:00.000").arg(hours, 2, 10, QLatin1Char('0'))
            << (hours == 9 ? 925.926 : 757.576);
    }
}

void TestClockOps::arrivalsAcrossTheChangesOfTime()
{
    QFETCH(QDate, liberDate);
    QFETCH(QString, liberTime);
    QFETCH(int, sunRows);
    QFETCH(qint64, arrival);
    QFETCH(qint64, readAt);
    QFETCH(QString, backTime);
    QFETCH(QString, flyTime);
    QFETCH(double, speed);
    AppClock::setZone("Europe/Brussels");
    AppClock::setFixed(QDateTime::fromMSecsSinceEpoch(readAt, Qt::UTC));

    Rig r;
    const QString code = "1234" + liberDate.toString("MMdd");
    r.race(code, "1234", liberDate, liberTime);
    r.distance("1234", "001", 500, 0);
    const QDate sun = liberDate.addDays(1);
    if (sunRows == 1)
        r.dm().exec("INSERT INTO ORV_SunSet_SunRise (RaceCode, RaceDate, SunSet, SunRise) VALUES "
                    "(?,?,'20:00:00','06:00:00'),(?,?,'20:00:00','06:00:00')",
                    {code, liberDate.toString(Qt::ISODate), code, sun.toString(Qt::ISODate)});
    if (sunRows == 2)
        r.dm().exec("INSERT INTO ORV_SunSet_SunRise (RaceCode, RaceDate) VALUES (?,?),(?,?)",
                    {code, liberDate.toString(Qt::ISODate), code, sun.toString(Qt::ISODate)});
    r.clockPigeon(0, "001", "P1");
    auto &c = r.clock(0);
    c.saveRace(code, {});
    const qint64 basket = arrival - 24 * 3600000LL;
    c.markRace(code, basket, basket);
    c.markPigeon("P1", code, basket);
    c.arrive("P1", arrival);
    c.stopRace(code, readAt - 60000, readAt - 60000);

    QVERIFY(RaceChoice::choose(r.dm(), code, r.session));
    ResultUpload up(r.dm(), r.api, r.session, r.sink);
    QCOMPARE(up.poll(), PollOutcome::Done);
    QVERIFY2(r.sink.has("Race Result upload Success !"), qPrintable(r.sink.texts().join('|')));
    QCOMPARE(r.session.TimeVari, 0);
    const QString row = "SELECT BackTime, FlyTime, FlySpeed FROM ORV_PigRaceData WHERE PRingNo='P1'";
    QCOMPARE(r.value(row).toString(), backTime);
    const auto stored = r.dm().rows(row);
    QCOMPARE(stored.front().value(1).toString(), flyTime);
    QCOMPARE(stored.front().value(2).toDouble(), speed);

    // The recalculation from the stored arrival text comes to the same, on any day.
    AppClock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC));
    r.dm().exec("UPDATE ORV_PigRaceData SET FlyTime='', FlySpeed=0");
    RecordingSink sink;
    const auto out = Ranking::recalculate(r.dm(), code,
                                          QDateTime(liberDate, QTime::fromString(liberTime, "HH:mm:ss")), sink);
    QCOMPARE(out.updated, 1);
    const auto again = r.dm().rows(row);
    QCOMPARE(again.front().value(1).toString(), flyTime);
    QCOMPARE(again.front().value(2).toDouble(), speed);
}

// Synchronised on the Friday before a change, a race of the Sunday after it goes to the clock
// with the liberation instant of that Sunday.
void TestClockOps::syncBeforeTheChangeSendsTheLiberationInstant_data()
{
    QTest::addColumn<qint64>("syncAt");
    QTest::addColumn<QDate>("liberDate");
    QTest::addColumn<qint64>("liberation");
    QTest::newRow("March 2024") << utc(QDate(2024, 3, 29), 11) << QDate(2024, 3, 31) << utc(QDate(2024, 3, 31), 7);
    QTest::newRow("October 2024") << utc(QDate(2024, 10, 25), 10) << QDate(2024, 10, 27)
                                  << utc(QDate(2024, 10, 27), 8);
    QTest::newRow("March 2026") << utc(QDate(2026, 3, 27), 11) << QDate(2026, 3, 29) << utc(QDate(2026, 3, 29), 7);
    QTest::newRow("October 2026") << utc(QDate(2026, 10, 23), 10) << QDate(2026, 10, 25)
                                  << utc(QDate(2026, 10, 25), 8);
}

void TestClockOps::syncBeforeTheChangeSendsTheLiberationInstant()
{
    QFETCH(qint64, syncAt);
    QFETCH(QDate, liberDate);
    QFETCH(qint64, liberation);
    AppClock::setZone("Europe/Brussels");
    AppClock::setFixed(QDateTime::fromMSecsSinceEpoch(syncAt, Qt::UTC));
    Rig r;
    r.race("R1", "1234", liberDate, "09:00:00");
    r.pigeon("001", "BE-25-1", "");
    // A ring the clock assigned (its stamp) on the Sunday at 12:00 UTC, after the change, read
    // back by this pass before it.
    r.clockPigeon(0, "001", "BE-25-2", "E2");
    r.clock(0).assignRing("BE-25-2", "U2", "E9", utc(liberDate, 12));
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    QCOMPARE(pass.run(), PollOutcome::Done);
    QVERIFY2(pass.succeeded(), qPrintable(r.sink.texts().join('|')));
    QCOMPARE(r.clock(0).race("R1")->fields.number("LiberTime"), liberation);
    // 12:00 UTC is 14:00 CEST in March, 13:00 CET in October.
    const QString assigned = r.value("SELECT AssignDate FROM ORV_PigData WHERE PRingNo='BE-25-2'").toString();
    const int hour = liberDate.month() == 3 ? 14 : 13;
    QCOMPARE(assigned, liberDate.toString(Qt::ISODate) + QStringLiteral(" %1:00:00").arg(hour));
}

// A race over two days whose second day has no sun row: the upload says which birds it could not time.
void TestClockOps::laterDaysWithoutSunRowsAreNamed()
{
    Rig r;
    r.race("12340526", "1234", QDate(2026, 5, 26), "07:00:00");
    r.distance("1234", "001", 500, 0);
    r.dm().exec("INSERT INTO ORV_SunSet_SunRise (RaceCode, RaceDate, SunSet, SunRise) VALUES "
                "('12340526','2026-05-26','21:30:00','05:00:00')");
    auto &c = r.clock(0);
    c.saveRace("12340526", {});
    const qint64 basket = stamp(QDateTime(QDate(2026, 5, 25), QTime(18, 0)));
    c.markRace("12340526", basket, basket);
    for (const char *p : {"P1", "P2", "P3"}) {
        r.clockPigeon(0, "001", p);
        c.markPigeon(p, "12340526", basket);
    }
    c.arrive("P1", stamp(QDateTime(QDate(2026, 5, 26), QTime(15, 0))));
    c.arrive("P2", stamp(QDateTime(QDate(2026, 5, 27), QTime(8, 0))));
    c.arrive("P3", stamp(QDateTime(QDate(2026, 5, 27), QTime(9, 0))));
    QVERIFY(RaceChoice::choose(r.dm(), "12340526", r.session));
    ResultUpload(r.dm(), r.api, r.session, r.sink).poll();
    QCOMPARE(r.sink.textsOf(MessageKind::Failure),
             QStringList{"Race 12340526: no sunset and sunrise for 27 May: 2 birds not timed"});
}

QTEST_GUILESS_MAIN(TestClockOps)
#include "test_clockops.moc"
