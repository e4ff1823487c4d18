// The clock page's lasting log and its list of lofts still to read, and the antenna answering
// alone, against the operations running on the simulator.
#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include "clockops/clocklog.h"
#include "clockops/clockstamp.h"
#include "clockops/markedupload.h"
#include "clockops/racechoice.h"
#include "clockops/resultupload.h"
#include "clockops/syncpass.h"
#include "device/twinapiv8.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "store/appclock.h"

#include <QtTest>

namespace {
const QDateTime Now(QDate(2026, 6, 3), QTime(12, 0));
}

class TestClockLog : public QObject
{
    Q_OBJECT
private slots:
    void init() { AppClock::setFixed(Now); }
    void cleanup() { AppClock::setFixed({}); }

    void linesSayWhatBecameOfEachClock_data()
    {
        using ClockLog::Stage;
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("synced");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("expected");
        const int done = int(PollOutcome::Done);
        const QString who = "10:04 loft 003 Peeters, clock 5E000003: ";
        QTest::newRow("marked") << int(Stage::Marked) << done << 8 << false << "" << who + "8 birds marked";
        QTest::newRow("one bird") << int(Stage::Marked) << done << 1 << false << "" << who + "1 bird marked";
        QTest::newRow("none marked") << int(Stage::Marked) << done << 0 << false
                                     << "RaceCode : 10010603 No Marked data ! " << who + "no birds marked";
        QTest::newRow("refused") << int(Stage::Marked) << int(PollOutcome::NotVerified) << 0 << false
                                 << "ComVerify Error !" << who + "refused, ComVerify Error";
        QTest::newRow("sync refused") << int(Stage::Sync) << int(PollOutcome::NotVerified) << 0 << false
                                      << "ComVerify Error : " << who + "refused, ComVerify Error";
        QTest::newRow("synchronised") << int(Stage::Sync) << done << 0 << true << "" << who + "synchronised";
        QTest::newRow("sync errors") << int(Stage::Sync) << done << 0 << false << "SavePigeon Error : 1287"
                                     << who + "not synchronised, SavePigeon Error : 1287";
        QTest::newRow("results") << int(Stage::Result) << done << 7 << false << "" << who + "7 arrivals read";
        QTest::newRow("results with an error") << int(Stage::Result) << done << 6 << false
                                               << "QueryRaceRecord Error : {\"error\":3}"
                                               << who + "6 arrivals read, QueryRaceRecord Error : {\"error\":3}";
        QTest::newRow("no arrivals") << int(Stage::Multi) << done << 0 << false << "Race Result No Record upload !"
                                     << who + "no arrivals";
        QTest::newRow("no clock") << int(Stage::Marked) << int(PollOutcome::NoClock) << 0 << false
                                  << "Please connect to club antenna and clock." << "";
        QTest::newRow("same clock") << int(Stage::Result) << int(PollOutcome::SameClock) << 0 << false << ""
                                    << "";
    }
    void linesSayWhatBecameOfEachClock()
    {
        QFETCH(int, stage);
        QFETCH(int, outcome);
        QFETCH(int, count);
        QFETCH(bool, synced);
        QFETCH(QString, failure);
        QFETCH(QString, expected);
        ClockLog::Entry e;
        e.at = QTime(10, 4, 59);
        e.stage = ClockLog::Stage(stage);
        e.outcome = PollOutcome(outcome);
        e.loftNo = "003";
        e.loftName = "Peeters";
        e.deviceNo = "5E000003";
        e.count = count;
        e.synced = synced;
        e.firstFailure = failure;
        QCOMPARE(ClockLog::line(e), expected);
    }

    // Two lofts synchronised for a race: both unread; one read at basketing, the other still
    // missing; the first one's arrivals read, nothing left for the results.
    void unreadLoftsFollowTheRaceDay()
    {
        TestDb db;
        db.insertClub("NC");
        TdmORVS &dm = db.dm();
        dm.exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('001','Adams'),('002','Brown'),('003','Cole')");
        dm.exec("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, LiberTime, "
                "Updatetime, SynchFlag, RaceCode, DeleteMark) VALUES ('NC','1001','Quievrain','QV','2026-06-03',"
                "'07:00:00','2026-06-01 10:00:00',1,'10010603',0)");
        for (const char *p : {"001|A1", "001|A2", "002|B1", "003|C1"}) {
            const QStringList v = QString(p).split('|');
            dm.exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegNumber, Sex, E_Ring, SynchFlag, "
                    "DeleteMark) VALUES (?,?,'BE','2025','1234','H',?,1,0)",
                    {v[0], v[1], "E" + v[1]});
        }
        ClockSimulator sim;
        sim.addClock("5E000001", "001");
        sim.addClock("5E000002", "002");
        TWinApiV8 api{std::make_unique<SimLink>(sim)};
        ClockSession s;
        RecordingSink sink;
        for (int c = 0; c < 2; ++c) { // loft 003 never comes to the club
            sim.connectClock(c);
            QCOMPARE(SyncPass(dm, api, s, sink).run(), PollOutcome::Done);
        }
        using ClockLog::Stage;
        QCOMPARE(ClockLog::unreadLofts(dm, "10010603", Stage::Marked), QStringList({"001 Adams", "002 Brown"}));
        QVERIFY(ClockLog::unreadLofts(dm, "10010603", Stage::Result).isEmpty());

        const qint64 basket = ClockStamp::fromLocal(QDateTime(QDate(2026, 6, 2), QTime(19, 0)));
        sim.connectClock(0);
        QVERIFY(sim.clock(0).markRace("10010603", basket, basket));
        QVERIFY(sim.clock(0).markPigeon("A1", "10010603", basket + 4000));
        QVERIFY(sim.clock(0).markPigeon("A2", "10010603", basket + 8000));
        QVERIFY(RaceChoice::choose(dm, "10010603", s));
        MarkedUpload marked(dm, api, s, sink);
        QCOMPARE(marked.poll(), PollOutcome::Done);
        QCOMPARE(marked.count(), 2);
        QCOMPARE(ClockLog::unreadLofts(dm, "10010603", Stage::Marked), QStringList({"002 Brown"}));
        QCOMPARE(ClockLog::unreadLofts(dm, "10010603", Stage::Result), QStringList({"001 Adams"}));
        // read before its birds were basketed: read, yet not done
        sim.connectClock(1);
        QVERIFY(sim.clock(1).markRace("10010603", basket, basket));
        s.PreDeviceno.clear();
        MarkedUpload early(dm, api, s, sink);
        QCOMPARE(early.poll(), PollOutcome::Done);
        QCOMPARE(early.count(), 0);
        QCOMPARE(ClockLog::unreadLofts(dm, "10010603", Stage::Marked),
                 QStringList({"002 Brown (read, no birds marked)"}));
        QVERIFY(sim.clock(1).markPigeon("B1", "10010603", basket + 4000));
        s.PreDeviceno.clear();
        MarkedUpload again(dm, api, s, sink);
        QCOMPARE(again.poll(), PollOutcome::Done);
        QCOMPARE(again.count(), 1);
        QVERIFY(ClockLog::unreadLofts(dm, "10010603", Stage::Marked).isEmpty());
        QCOMPARE(ClockLog::unreadLofts(dm, "10010603", Stage::Result), QStringList({"001 Adams", "002 Brown"}));

        const qint64 liberation = ClockStamp::fromLocal(QDateTime(QDate(2026, 6, 3), QTime(7, 0)));
        sim.connectClock(0);
        QVERIFY(sim.clock(0).arrive("A1", liberation + 3600000));
        QVERIFY(sim.clock(0).stopRace("10010603", liberation + 7200000, liberation + 7200000));
        s.PreDeviceno.clear();
        ResultUpload result(dm, api, s, sink);
        QCOMPARE(result.poll(), PollOutcome::Done);
        QCOMPARE(result.stored(), 1);
        QCOMPARE(ClockLog::unreadLofts(dm, "10010603", Stage::Result), QStringList({"002 Brown"}));
        QCOMPARE(ClockLog::loftName(dm, "002"), QString("Brown"));
    }

    // With no clock on it the antenna answers with the club's own id: that is no loft to read.
    void antennaAloneIsNoClock()
    {
        TestDb db;
        db.insertClub("NC");
        ClockSimulator sim;
        sim.antenna().owner = "NC";
        sim.addClock("5E000001", "001");
        TWinApiV8 api{std::make_unique<SimLink>(sim)};
        ClockSession s;
        s.AntennaOwner = "NC";
        RecordingSink sink;
        QCOMPARE(SyncPass(db.dm(), api, s, sink).run(), PollOutcome::NoClock);
        QCOMPARE(sink.textsOf(MessageKind::Working), QStringList({"Connect a clock to the antenna."}));
        QVERIFY(sink.textsOf(MessageKind::Failure).isEmpty());
        QVERIFY(s.PreDeviceno.isEmpty());
        sink.clear();
        QCOMPARE(MarkedUpload(db.dm(), api, s, sink).poll(), PollOutcome::NoClock);
        QVERIFY(sink.textsOf(MessageKind::Failure).isEmpty());
        // A clock put on the antenna is read as its loft.
        sim.connectClock(0);
        sink.clear();
        QCOMPARE(SyncPass(db.dm(), api, s, sink).run(), PollOutcome::Done);
        QCOMPARE(s.CurLoftNo, QString("001"));
    }
};

QTEST_MAIN(TestClockLog)
#include "test_clocklog.moc"
