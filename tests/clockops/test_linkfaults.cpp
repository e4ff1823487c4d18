// The clock operations under a failing link: late replies, silence, cuts at every request, and
// counts no clock could hold. Nothing may be lost or reported done that is not.

#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include "clockops/clockstamp.h"
#include "clockops/markedupload.h"
#include "clockops/racechoice.h"
#include "clockops/resultupload.h"
#include "clockops/syncpass.h"
#include "device/deviceerrors.h"
#include "device/twinapiv8.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "store/appclock.h"

#include <QSqlRecord>
#include <QtTest>
#include <functional>

namespace {
const QString Clock1 = QStringLiteral("1A2B3C4D");
const QDateTime Now(QDate(2026, 6, 3), QTime(12, 0));
const QString Race = QStringLiteral("12340601");

qint64 stamp(const QDateTime &local)
{
    return ClockStamp::fromLocal(local);
}

struct Rig
{
    TestDb db;
    ClockSimulator sim;
    SimLink *link;
    TWinApiV8 api;
    ClockSession session;
    RecordingSink sink;

    Rig() : link(new SimLink(sim)), api(std::unique_ptr<SimLink>(link))
    {
        db.insertClub("NC", 0);
        dm().exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('001','Adams')");
        sim.addClock(Clock1, "001");
        sim.connectClock(0);
    }
    TdmORVS &dm() { return db.dm(); }
    SimDevice &clock() { return sim.clock(0); }
    int count(const QString &sql, const QVariantList &b = {}) { return dm().scalar(sql, b).toInt(); }
    void pigeon(const QString &ring, const QString &eRing = "E1", int deleted = 0, int synch = 1)
    {
        dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegNumber, Sex, E_Ring, SynchFlag, "
                  "DeleteMark) VALUES ('001',?,'BE','2025','1234','H',?,?,?)",
                  {ring, eRing, synch, deleted});
    }
    // A pigeon the clock already holds, as after a synchronisation.
    void clockPigeon(const QString &ring, int deleted = 0)
    {
        pigeon(ring, "E" + ring, deleted, 0);
        SimFields f;
        f.set("eringNum", "E" + ring);
        clock().savePigeon(ring, f, 0);
    }
    void race(const QString &code, const QDate &date)
    {
        dm().exec("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, LiberTime, "
                  "Updatetime, SynchFlag, RaceCode, DeleteMark) VALUES ('NC','1234','Site','S',?,'07:00:00',"
                  "'2026-05-01 10:00:00',1,?,0)",
                  {date.toString("yyyy-MM-dd"), code});
    }
    // A race of this club with `birds` marked birds in the clock (P01...), all arrived when asked.
    void markedRace(int birds, bool arrived)
    {
        race(Race, QDate(2026, 6, 1));
        dm().exec("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES ('1234','001',400,0)");
        clock().saveRace(Race, {});
        const QDateTime basket(QDate(2026, 5, 31), QTime(18, 0));
        clock().markRace(Race, stamp(basket), stamp(basket));
        for (int i = 1; i <= birds; ++i) {
            const QString ring = QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0'));
            clockPigeon(ring);
            clock().markPigeon(ring, Race, stamp(basket.addSecs(i)));
        }
        if (arrived)
            clock().arriveMarked(Race, stamp(QDateTime(QDate(2026, 6, 1), QTime(11, 0))));
        clock().stopRace(Race, stamp(QDateTime(QDate(2026, 6, 1), QTime(20, 0))),
                         stamp(QDateTime(QDate(2026, 6, 1), QTime(20, 0))));
    }
};

// Every pigeon of the loft the store holds as sent (flag cleared) is in the clock, and every
// soft-deleted pigeon gone from the store is gone from the clock.
void checkSyncConsistent(Rig &r, const QStringList &deletedRings)
{
    for (const auto &row : r.dm().rows("SELECT PRingNo FROM ORV_PigData WHERE SynchFlag=0 AND DeleteMark=0"))
        QVERIFY2(r.clock().pigeon(row.value(0).toString()),
                 qPrintable("flag cleared for a pigeon the clock lacks: " + row.value(0).toString()));
    for (const QString &ring : deletedRings)
        if (r.count("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo=?", {ring}) == 0)
            QVERIFY2(!r.clock().pigeon(ring), qPrintable("deleted from the store, still on the clock: " + ring));
}

// Every arrival the store holds for the race is the one in the clock.
void checkArrivalsConsistent(Rig &r)
{
    for (const auto &row : r.dm().rows("SELECT PRingNo, BackTime FROM ORV_PigRaceData WHERE RaceCode=? AND "
                                       "BackTime<>''",
                                       {Race})) {
        const SimRaceRecord *rec = r.clock().record(row.value(0).toString());
        QVERIFY(rec);
        const qint64 back = rec->fields.number("BackTimeEring");
        QCOMPARE(row.value(1).toString(), ClockStamp::toLocalMs(back).toString("yyyy-MM-dd HH:mm:ss.zzz"));
    }
}
} // namespace

class TestLinkFaults : public QObject
{
    Q_OBJECT
private slots:
    void init() { AppClock::setFixed(Now); }
    void cleanup() { AppClock::setFixed({}); }

    void lateReplyIsNeverTakenForTheNextRequest();
    void deviceCountsAreBounded();
    void silentClockEndsThePassAtOnce();
    void partialMarkedUploadIsNoSuccess();
    void interruptedResultUploadIsCompletedByARerun();
    void deletedPigeonLeavesTheStoreOnlyWhenTheClockConfirms();
    void sweepSync_data();
    void sweepSync();
    void sweepMarkedUpload_data();
    void sweepMarkedUpload();
    void sweepResultUpload_data();
    void sweepResultUpload();
};

void TestLinkFaults::lateReplyIsNeverTakenForTheNextRequest()
{
    {
        // Driver level: the late loft reply must not answer the club query.
        Rig r;
        QString no, owner;
        QVERIFY(r.api.GetDeviceNo(no, owner));
        QByteArray a, b, key;
        QVERIFY(r.api.ComVerify(no, TWinApiV8::DiverseKey(no), a, b, key));
        r.clock().loftInfo.set("OwnerName", "Adams");
        r.clock().clubInfo.set("OwnerName", "Club");
        QVERIFY(r.sim.injectFault("delay:5200@getLoftInfo"));
        QString reply;
        QVERIFY(!r.api.GetLoftInfo(key, "OwnerName", reply));
        QCOMPARE(r.api.lastFailure(), TWinApiV8::Failure::TimedOut);
        QVERIFY(r.api.GetClubInfo(key, "OwnerName", reply));
        QCOMPARE(reply, QString("Club%"));
    }
    // A pass: the first pigeon is answered just past the time-out, the second refused.
    Rig r;
    r.clockPigeon("OLD"); // the clock is not empty: only flagged pigeons are sent
    r.pigeon("BE-1");
    r.pigeon("BE-2");
    QVERIFY(r.sim.injectFault("delay:5200@savePigeon"));
    QVERIFY(r.sim.injectFault("refuse:3@savePigeon"));
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    pass.run();
    QVERIFY(!pass.succeeded());
    QVERIFY(!r.clock().pigeon("BE-2"));
    QCOMPARE(r.count("SELECT SynchFlag FROM ORV_PigData WHERE PRingNo='BE-2'"), 1);
    checkSyncConsistent(r, {});
    // The next pass sends both again and succeeds.
    SyncPass again(r.dm(), r.api, r.session, r.sink);
    again.run();
    QVERIFY2(again.succeeded(), qPrintable(r.sink.texts().join('|')));
    QVERIFY(r.clock().pigeon("BE-2"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE SynchFlag<>0"), 0);
}

void TestLinkFaults::deviceCountsAreBounded()
{
    Rig r;
    r.race(Race, QDate(2026, 6, 1));
    QVERIFY(RaceChoice::choose(r.dm(), Race, r.session));
    // A count no clock could hold is refused at once.
    QVERIFY(r.sim.injectFault("reply:{\"error\":0,\"result\":2147483647}@queryRace"));
    int before = r.sim.requestCount();
    MarkedUpload(r.dm(), r.api, r.session, r.sink).poll();
    QVERIFY(r.sim.requestCount() - before < 20);
    QVERIFY(r.sink.hasContaining("QueryRace Error"));
    QVERIFY(!r.sink.has("Marked data upload Success !"));

    // A plausible count with every index refused ends after a short run of refusals.
    r.session.PreDeviceno.clear();
    QVERIFY(r.sim.injectFault("reply:{\"error\":0,\"result\":5000}@queryRace"));
    before = r.sim.requestCount();
    MarkedUpload(r.dm(), r.api, r.session, r.sink).poll();
    QVERIFY2(r.sim.requestCount() - before < 20, qPrintable(QString::number(r.sim.requestCount() - before)));

    // The synchronisation's read-back: the same bound.
    r.session.PreDeviceno.clear();
    r.clockPigeon("OLD");
    QVERIFY(r.sim.injectFault("reply:{\"error\":0,\"result\":1}@queryPigeon"));
    QVERIFY(r.sim.injectFault("reply:{\"error\":0,\"result\":2147483647}@queryPigeon"));
    before = r.sim.requestCount();
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    pass.run();
    QVERIFY(r.sim.requestCount() - before < 20);
    QVERIFY(!pass.succeeded());
    QVERIFY(r.sink.hasContaining("more than a clock can hold"));
}

void TestLinkFaults::silentClockEndsThePassAtOnce()
{
    Rig r;
    r.clockPigeon("OLD");
    for (int i = 0; i < 40; ++i)
        r.pigeon(QStringLiteral("BE-%1").arg(i));
    // Identify, verify, race count, pigeon count, three pigeons; then the clock goes quiet.
    r.sim.cutAt(r.sim.requestCount() + 7);
    const double start = r.link->nowMs();
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    pass.run();
    QVERIFY(!pass.succeeded());
    // Two time-outs and the drains between them, not five seconds per remaining pigeon.
    QVERIFY2(r.link->nowMs() - start < 15000, qPrintable(QString::number(r.link->nowMs() - start)));
    const QStringList stops = r.sink.texts().filter("Synchronisation stopped");
    QCOMPARE(stops.size(), 1);
    // Four pigeons were sent before the cut; the first one after it is named too.
    QVERIFY2(stops[0].contains("36 pigeons (BE-4, BE-5"), qPrintable(stops[0]));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE SynchFlag<>0"), 36);
    checkSyncConsistent(r, {});
}

void TestLinkFaults::partialMarkedUploadIsNoSuccess()
{
    Rig r;
    r.markedRace(12, false);
    QVERIFY(RaceChoice::choose(r.dm(), Race, r.session));
    // identify, verify, race count + 1 race: then five birds, then the link drops.
    r.sim.cutAt(r.sim.requestCount() + 4 + 5);
    MarkedUpload up(r.dm(), r.api, r.session, r.sink);
    up.poll();
    QVERIFY(!r.sink.has("Marked data upload Success !"));
    QCOMPARE(up.count(), 5);
    QCOMPARE(up.missing().size(), 7);
    QVERIFY2(r.sink.hasContaining("read 5 birds, 7 not read: P06"), qPrintable(r.sink.texts().join('|')));
    QVERIFY(r.session.PreDeviceno.isEmpty()); // the same clock can be read again at once
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData"), 5);
    r.sim.cutAt(-1);
    r.sink.clear();
    MarkedUpload again(r.dm(), r.api, r.session, r.sink);
    again.poll();
    QVERIFY(r.sink.has("Marked data upload Success !"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE MarkedTime IS NOT NULL"), 12);
}

void TestLinkFaults::interruptedResultUploadIsCompletedByARerun()
{
    Rig r;
    r.markedRace(10, true); // marked in the clock, but no marked upload into the store
    QVERIFY(RaceChoice::choose(r.dm(), Race, r.session));
    // identify, verify, race query, race info, then two records per bird: four birds stored.
    r.sim.cutAt(r.sim.requestCount() + 4 + 8);
    ResultUpload up(r.dm(), r.api, r.session, r.sink);
    up.poll();
    QVERIFY(!r.sink.has("Race Result upload Success !"));
    QCOMPARE(up.stored(), 4);
    QVERIFY(r.sink.hasContaining("6 not read"));
    checkArrivalsConsistent(r);
    r.sim.cutAt(-1);
    r.sink.clear();
    ResultUpload again(r.dm(), r.api, r.session, r.sink);
    again.poll();
    QVERIFY2(r.sink.has("Race Result upload Success !"), qPrintable(r.sink.texts().join('|')));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE BackTime<>''"), 10);
    checkArrivalsConsistent(r);
}

void TestLinkFaults::deletedPigeonLeavesTheStoreOnlyWhenTheClockConfirms()
{
    Rig r;
    r.clockPigeon("KEEP");
    r.clockPigeon("GONE", 1);
    r.dm().exec("UPDATE ORV_PigData SET SynchFlag=1 WHERE PRingNo='GONE'");
    QVERIFY(r.sim.injectFault("silence@deletePigeon")); // done on the clock, the reply lost
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    pass.run();
    QVERIFY(!pass.succeeded());
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo='GONE' AND DeleteMark<>0"), 1);
    SyncPass again(r.dm(), r.api, r.session, r.sink);
    again.run();
    QVERIFY(again.succeeded());
    QVERIFY(!r.clock().pigeon("GONE"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo='GONE'"), 0);
}

// ---- sweeps: the link cut at each request of an operation in turn ----

namespace {
// Requests a clean run of the operation makes on a fresh rig.
int requestsOf(const std::function<void(Rig &)> &setUp, const std::function<void(Rig &)> &run)
{
    Rig r;
    setUp(r);
    const int before = r.sim.requestCount();
    run(r);
    return r.sim.requestCount() - before;
}

void sweepRows(const std::function<void(Rig &)> &setUp, const std::function<void(Rig &)> &run)
{
    QTest::addColumn<int>("cut");
    QTest::addColumn<bool>("lostReplies");
    // The last request is the success text on the clock's display, sent when all is done.
    const int n = requestsOf(setUp, run) - 1;
    QVERIFY(n > 5);
    for (int i = 0; i < n; ++i) {
        QTest::addRow("request %d", i) << i << false;
        QTest::addRow("reply %d", i) << i << true;
    }
}

void syncSetUp(Rig &r)
{
    r.race("12340601", QDate(2026, 6, 1));
    r.race("12340520", QDate(2026, 5, 20)); // old: removed from the clock
    r.dm().exec("INSERT INTO ORV_RaceClockTime (LiberCode, LiberDate, LoftNo, RaceCode) "
                "VALUES ('1234','2026-05-20','001','12340520')");
    r.clock().saveRace("12340520", {});
    r.clockPigeon("OLD");
    r.clockPigeon("GONE", 1);
    r.dm().exec("UPDATE ORV_PigData SET SynchFlag=1 WHERE PRingNo='GONE'");
    for (int i = 1; i <= 5; ++i)
        r.pigeon(QStringLiteral("BE-%1").arg(i));
}

void syncRun(Rig &r)
{
    SyncPass(r.dm(), r.api, r.session, r.sink).run();
}

void markedSetUp(Rig &r)
{
    r.markedRace(6, false);
    QVERIFY(RaceChoice::choose(r.dm(), Race, r.session));
}

void markedRun(Rig &r)
{
    MarkedUpload(r.dm(), r.api, r.session, r.sink).poll();
}

void resultSetUp(Rig &r)
{
    r.markedRace(6, true);
    QVERIFY(RaceChoice::choose(r.dm(), Race, r.session));
}

void resultRun(Rig &r)
{
    ResultUpload(r.dm(), r.api, r.session, r.sink).poll();
}
} // namespace

void TestLinkFaults::sweepSync_data()
{
    sweepRows(syncSetUp, syncRun);
}

void TestLinkFaults::sweepSync()
{
    QFETCH(int, cut);
    QFETCH(bool, lostReplies);
    Rig r;
    syncSetUp(r);
    r.sim.cutAt(r.sim.requestCount() + cut, lostReplies);
    SyncPass pass(r.dm(), r.api, r.session, r.sink);
    pass.run();
    QVERIFY(!pass.succeeded());
    QVERIFY(!r.sink.has("Clock Synchornize Success !"));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_LoftClocks"), 0);
    checkSyncConsistent(r, {"GONE"});
    QCOMPARE(r.dm().scalar("PRAGMA integrity_check").toString(), QString("ok"));
    r.sim.cutAt(-1);
    r.sink.clear();
    SyncPass again(r.dm(), r.api, r.session, r.sink);
    again.run();
    QVERIFY2(again.succeeded(), qPrintable(r.sink.texts().join('|')));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE SynchFlag<>0"), 0);
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo='GONE'"), 0);
    QVERIFY(!r.clock().pigeon("GONE"));
    for (int i = 1; i <= 5; ++i)
        QVERIFY(r.clock().pigeon(QStringLiteral("BE-%1").arg(i)));
    checkSyncConsistent(r, {"GONE"});
}

void TestLinkFaults::sweepMarkedUpload_data()
{
    sweepRows(markedSetUp, markedRun);
}

void TestLinkFaults::sweepMarkedUpload()
{
    QFETCH(int, cut);
    QFETCH(bool, lostReplies);
    Rig r;
    markedSetUp(r);
    r.sim.cutAt(r.sim.requestCount() + cut, lostReplies);
    markedRun(r);
    QVERIFY(!r.sink.has("Marked data upload Success !"));
    QVERIFY(r.session.PreDeviceno.isEmpty());
    // What was stored is the clock's marking, one row per bird.
    QCOMPARE(r.count("SELECT COUNT(*) FROM (SELECT PRingNo FROM ORV_PigRaceData GROUP BY PRingNo HAVING COUNT(*)>1)"),
             0);
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE MarkedTime IS NULL OR RaceCode<>?", {Race}), 0);
    r.sim.cutAt(-1);
    r.sink.clear();
    markedRun(r);
    QVERIFY2(r.sink.has("Marked data upload Success !"), qPrintable(r.sink.texts().join('|')));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE RaceCode=?", {Race}), 6);
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_RaceClockTime WHERE DLMarkedTime='2026-05-31 18:00:00'"), 1);
}

void TestLinkFaults::sweepResultUpload_data()
{
    sweepRows(resultSetUp, resultRun);
}

void TestLinkFaults::sweepResultUpload()
{
    QFETCH(int, cut);
    QFETCH(bool, lostReplies);
    Rig r;
    resultSetUp(r);
    r.sim.cutAt(r.sim.requestCount() + cut, lostReplies);
    resultRun(r);
    QVERIFY(!r.sink.has("Race Result upload Success !"));
    QVERIFY(r.session.PreDeviceno.isEmpty());
    checkArrivalsConsistent(r);
    r.sim.cutAt(-1);
    r.sink.clear();
    resultRun(r);
    QVERIFY2(r.sink.has("Race Result upload Success !"), qPrintable(r.sink.texts().join('|')));
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE RaceCode=? AND BackTime<>''", {Race}), 6);
    QCOMPARE(r.count("SELECT COUNT(*) FROM ORV_PigRaceData WHERE FlySpeed>0"), 6);
    checkArrivalsConsistent(r);
}

QTEST_GUILESS_MAIN(TestLinkFaults)
#include "test_linkfaults.moc"
