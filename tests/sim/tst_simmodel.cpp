#include "device/twinapiv8.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "sim/simstate.h"
#include "store/appclock.h"

#include <QElapsedTimer>
#include <QTest>

class TstSimModel : public QObject
{
    Q_OBJECT

private slots:
    void switchingClocksNeedsNewVerification();
    void antennaAnswersWhenNoClockIsConnected();
    void filtersPigeonsAndRaces();
    void recordsMarkingAndArrival();
    void keepsClockSideFieldsOnResave();
    void savesAndLoadsState();
    void rejectsBadFaultsAndFiles();
    void realTimingPacesAt9600Baud();
};

namespace {
struct Setup
{
    ClockSimulator sim;
    SimLink *link;
    TWinApiV8 api;
    QByteArray key;
    Setup() : link(new SimLink(sim)), api(std::unique_ptr<ByteLink>(link)) {}
    bool verify(QString *owner = nullptr)
    {
        QString no, o;
        QByteArray a, b;
        const bool ok = api.GetDeviceNo(no, o) && api.ComVerify(no, TWinApiV8::DiverseKey(no), a, b, key);
        if (owner)
            *owner = o;
        return ok;
    }
};
} // namespace

void TstSimModel::switchingClocksNeedsNewVerification()
{
    Setup s;
    s.sim.addClock(QStringLiteral("11111111"), QStringLiteral("001"));
    s.sim.addClock(QStringLiteral("22222222"), QStringLiteral("CLUB_002"));
    QVERIFY(s.sim.connectClock(0));
    QVERIFY(s.verify());
    QString reply;
    QVERIFY(s.api.SetLoftInfo(s.key, QStringLiteral("City:Brno"), reply));
    QVERIFY(s.sim.connectClock(1));
    QVERIFY(!s.api.SetLoftInfo(s.key, QStringLiteral("City:Praha"), reply)); // old key
    QCOMPARE(reply, QStringLiteral("{\"error\":1}"));
    QString owner;
    QVERIFY(s.verify(&owner));
    QCOMPARE(owner, QStringLiteral("CLUB_002"));
    QVERIFY(s.api.SetLoftInfo(s.key, QStringLiteral("City:Praha"), reply));
    QCOMPARE(s.sim.clock(0).loftInfo.text(QStringLiteral("City")), QStringLiteral("Brno"));
    QCOMPARE(s.sim.clock(1).loftInfo.text(QStringLiteral("City")), QStringLiteral("Praha"));
    QVERIFY(!s.sim.connectClock(2));
    QCOMPARE(s.sim.connectedClock(), 1);
}

void TstSimModel::antennaAnswersWhenNoClockIsConnected()
{
    Setup s;
    s.sim.addClock(QStringLiteral("11111111"), QStringLiteral("001"));
    QString no, owner;
    QVERIFY(s.api.GetDeviceNo(no, owner));
    QCOMPARE(no, QStringLiteral("A0000001"));
    // The club download: initialise the antenna with the club code, then write the club record.
    QString reply;
    QVERIFY(s.api.DeviceInit(no, QStringLiteral("NC"), TWinApiV8::DiverseKey(no), reply));
    QVERIFY(s.verify(&owner));
    QCOMPARE(owner, QStringLiteral("NC"));
    QVERIFY(s.api.SetClubInfo(s.key, QStringLiteral("ClubCode:NC%ClubName:North"), reply));
    QCOMPARE(s.sim.antenna().clubInfo.text(QStringLiteral("ClubName")), QStringLiteral("North"));
    QVERIFY(s.api.GetClubInfo(s.key, QStringLiteral("ClubName%ClubCode"), reply));
    QCOMPARE(reply, QStringLiteral("North%NC%"));
}

void TstSimModel::filtersPigeonsAndRaces()
{
    Setup s;
    s.sim.connectClock(s.sim.addClock(QStringLiteral("11111111"), QStringLiteral("001")));
    QVERIFY(s.verify());
    QString reply;
    AppClock::setFixed(QDateTime::fromMSecsSinceEpoch(1000000));
    QVERIFY(s.api.SavePigeon(s.key, QStringLiteral("P1"), QStringLiteral("Year:#2023"), reply));
    AppClock::setFixed(QDateTime::fromMSecsSinceEpoch(2000000));
    QVERIFY(s.api.SavePigeon(s.key, QStringLiteral("P2"), QStringLiteral("Year:#2024"), reply));
    AppClock::setFixed({});
    int n = 0;
    QVERIFY(s.api.QueryPigeons(s.key, QStringLiteral("updateTime>=2000000"), n, reply));
    QCOMPARE(n, 1);
    QVERIFY(s.api.GetPigeonInfo(s.key, 0, QStringLiteral("AssocNum%UpdateTime"), reply));
    QCOMPARE(reply, QStringLiteral("P2%2000000%"));
    QVERIFY(s.api.QueryPigeons(s.key, QStringLiteral("updateTime>=2000001"), n, reply));
    QCOMPARE(n, 0);
    // A ring assigned on the clock is a change the program reads back.
    QVERIFY(s.sim.current().assignRing(QStringLiteral("P1"), QStringLiteral("UID7"), QStringLiteral("E7"),
                                       3000000));
    QVERIFY(s.api.QueryPigeons(s.key, QStringLiteral("updateTime>=2500000"), n, reply));
    QCOMPARE(n, 1);
    QVERIFY(s.api.GetPigeonInfo(s.key, 0, QStringLiteral("AssocNum%Uid%EringNum"), reply));
    QCOMPARE(reply, QStringLiteral("P1%UID7%E7%"));

    QVERIFY(s.api.SaveRace(s.key, QStringLiteral("1234A526"), QString(), reply));
    QVERIFY(s.api.SaveRace(s.key, QStringLiteral("99B0527"), QString(), reply));
    QVERIFY(s.api.QueryRace(s.key, QStringLiteral("RaceCode='''99B0527'''"), n, reply));
    QCOMPARE(n, 1);
    QVERIFY(s.api.GetRaceInfo(s.key, 0, QStringLiteral("RaceCode"), reply));
    QCOMPARE(reply, QStringLiteral("99B0527%"));
    QVERIFY(s.api.QueryRace(s.key, QString(), n, reply));
    QCOMPARE(n, 2);
    QVERIFY(!s.api.QueryRace(s.key, QStringLiteral("this is no filter"), n, reply));
    QCOMPARE(reply, QStringLiteral("{\"error\":3}"));
}

void TstSimModel::recordsMarkingAndArrival()
{
    SimDevice d(QStringLiteral("11111111"), QStringLiteral("001"));
    d.saveRace(QStringLiteral("R1"), {});
    d.savePigeon(QStringLiteral("P1"), {}, 0);
    d.savePigeon(QStringLiteral("P2"), {}, 0);
    QVERIFY(!d.markPigeon(QStringLiteral("P1"), QStringLiteral("nope"), 10)); // unknown race
    QVERIFY(!d.arrive(QStringLiteral("P1"), 50));                             // not marked
    QVERIFY(d.markPigeon(QStringLiteral("P1"), QStringLiteral("R1"), 10, 5));
    QVERIFY(d.markPigeon(QStringLiteral("P2"), QStringLiteral("R1"), 11, 6));
    QVERIFY(d.arrive(QStringLiteral("P2"), 500, 1, 2));
    QVERIFY(d.arrive(QStringLiteral("P1"), 600));
    QVERIFY(!d.arrive(QStringLiteral("P1"), 700)); // arrives once
    QCOMPARE(d.record(QStringLiteral("P2"))->fields.number(QStringLiteral("BackOrder")), 1);
    QCOMPARE(d.record(QStringLiteral("P1"))->fields.number(QStringLiteral("BackOrder")), 2);
    QCOMPARE(d.record(QStringLiteral("P1"))->fields.number(QStringLiteral("BackTimeEring")), 600);
    d.savePigeon(QStringLiteral("P3"), {}, 0);
    d.savePigeon(QStringLiteral("P4"), {}, 0);
    QVERIFY(d.markPigeon(QStringLiteral("P3"), QStringLiteral("R1"), 12));
    QVERIFY(d.markPigeon(QStringLiteral("P4"), QStringLiteral("R1"), 13));
    QCOMPARE(d.arriveMarked(QStringLiteral("R1"), 800, 50), 2); // only the two still out
    QCOMPARE(d.record(QStringLiteral("P4"))->fields.number(QStringLiteral("BackTimeEring")), 850);
    QCOMPARE(d.record(QStringLiteral("P4"))->fields.number(QStringLiteral("BackOrder")), 4);
    QVERIFY(d.stopRace(QStringLiteral("R1"), 1000, 1001));
    QCOMPARE(d.race(QStringLiteral("R1"))->fields.number(QStringLiteral("RaceStopReaderTime")), 1001);
    // Marking again for a new race replaces the bird's record.
    d.saveRace(QStringLiteral("R2"), {});
    QVERIFY(d.markPigeon(QStringLiteral("P1"), QStringLiteral("R2"), 20));
    QCOMPARE(d.record(QStringLiteral("P1"))->raceCode(), QStringLiteral("R2"));
    QVERIFY(!d.record(QStringLiteral("P1"))->arrived());
}

void TstSimModel::keepsClockSideFieldsOnResave()
{
    Setup s;
    s.sim.connectClock(s.sim.addClock(QStringLiteral("11111111"), QStringLiteral("001")));
    QVERIFY(s.verify());
    QString reply;
    QVERIFY(s.api.SaveRace(s.key, QStringLiteral("R1"), QStringLiteral("LiberCode:A"), reply));
    s.sim.current().markRace(QStringLiteral("R1"), 111, 222);
    QVERIFY(s.api.SaveRace(s.key, QStringLiteral("R1"), QStringLiteral("LiberCode:B"), reply));
    QCOMPARE(s.sim.current().races.size(), 1);
    QVERIFY(s.api.GetRaceInfo(s.key, 0, QStringLiteral("LiberCode%MarkDeviceTime%MarkReaderTime"), reply));
    QCOMPARE(reply, QStringLiteral("B%111%222%"));
    QVERIFY(s.api.SavePigeon(s.key, QStringLiteral("P1"), QString(), reply));
    s.sim.current().assignRing(QStringLiteral("P1"), QStringLiteral("U1"), QStringLiteral("E1"), 5);
    QVERIFY(s.api.SavePigeon(s.key, QStringLiteral("P1"), QStringLiteral("Color:BB"), reply));
    QCOMPARE(s.sim.current().pigeon(QStringLiteral("P1"))->fields.text(QStringLiteral("Uid")),
             QStringLiteral("U1"));
    QVERIFY(s.api.DeletePigeon(s.key, QStringLiteral("P1"), reply));
    QVERIFY(s.api.DeletePigeon(s.key, QStringLiteral("P1"), reply)); // gone already: still no refusal
    QCOMPARE(s.sim.current().pigeons.size(), 0);
}

void TstSimModel::savesAndLoadsState()
{
    ClockSimulator a;
    const int i = a.addClock(QStringLiteral("0badcafe"), QStringLiteral("007"));
    SimDevice &c = a.clock(i);
    c.password = QStringLiteral("00112233445566778899AABBCCDDEEFF").left(16);
    c.loftInfo.set(QStringLiteral("Year"), qint64(2016));
    c.loftInfo.set(QStringLiteral("City"), QStringLiteral("Brno"));
    c.saveRace(QStringLiteral("R1"), {});
    c.savePigeon(QStringLiteral("P1"), {}, 1700000000123);
    c.markPigeon(QStringLiteral("P1"), QStringLiteral("R1"), 1700000000999, 3);
    c.addLog(QStringLiteral("marked"), 5);
    a.connectClock(i);
    a.antenna().clubInfo.set(QStringLiteral("ClubCode"), QStringLiteral("NC"));

    ClockSimulator b;
    QString error;
    QVERIFY2(SimState::load(b, SimState::save(a), &error), qPrintable(error));
    QCOMPARE(b.clockCount(), 1);
    QCOMPARE(b.connectedClock(), 0);
    SimDevice &d = b.clock(0);
    QCOMPARE(d.deviceNo, QStringLiteral("0BADCAFE"));
    QCOMPARE(d.password, c.password);
    QCOMPARE(d.loftInfo.value(QStringLiteral("Year")), QVariant(qint64(2016)));
    QCOMPARE(d.pigeon(QStringLiteral("P1"))->fields.number(QStringLiteral("UpdateTime")),
             Q_INT64_C(1700000000123));
    QCOMPARE(d.record(QStringLiteral("P1"))->fields.number(QStringLiteral("markTime")),
             Q_INT64_C(1700000000999));
    QCOMPARE(d.log.size(), 1);
    QCOMPARE(b.antenna().clubInfo.text(QStringLiteral("ClubCode")), QStringLiteral("NC"));
    QCOMPARE(SimState::save(b), SimState::save(a));

    // A minimal file: the password is derived, the first clock connected.
    ClockSimulator m;
    QVERIFY(SimState::load(m, R"({"clocks":[{"deviceNo":"1a2b3c4d","owner":"001"}]})", &error));
    QCOMPARE(m.connectedClock(), 0);
    QCOMPARE(m.clock(0).password, TWinApiV8::DiverseKey(QStringLiteral("1A2B3C4D")));
}

void TstSimModel::rejectsBadFaultsAndFiles()
{
    SimFault f;
    QString error;
    QVERIFY(!SimFault::parse(QStringLiteral("refuse"), &f, &error));
    QVERIFY(!SimFault::parse(QStringLiteral("gap:abc"), &f, &error));
    QVERIFY(!SimFault::parse(QStringLiteral("explode"), &f, &error));
    QVERIFY(!SimFault::parse(QStringLiteral("pieces:0"), &f, &error));
    QVERIFY(SimFault::parse(QStringLiteral("refuse:1287@queryRaceRecord"), &f, &error));
    QCOMPARE(f.kind, SimFault::Refuse);
    QCOMPARE(f.number, 1287);
    QCOMPARE(f.target, QStringLiteral("queryRaceRecord"));
    QVERIFY(SimFault::parse(QStringLiteral("reply:{\"a\":\"x@y\"}"), &f, &error));
    QCOMPARE(f.text, QStringLiteral("{\"a\":\"x@y\"}"));
    QVERIFY(f.target.isEmpty());

    ClockSimulator sim;
    sim.addClock(QStringLiteral("11111111"), QStringLiteral("001"));
    QVERIFY(!SimState::load(sim, "not json", &error));
    QVERIFY(!SimState::load(sim, R"({"clocks":[{"deviceNo":"12"}]})", &error));
    QVERIFY(error.contains(QLatin1String("8 hexadecimal")));
    QVERIFY(!SimState::load(sim, R"({"clocks":[{"deviceNo":"11111111","pigeons":[{"Year":1}]}]})", &error));
    QVERIFY(!SimState::load(sim, R"({"clocks":[],"connected":3})", &error));
    QCOMPARE(sim.clockCount(), 1); // a failed load changes nothing
}

void TstSimModel::realTimingPacesAt9600Baud()
{
    ClockSimulator sim;
    auto *link = new SimLink(sim, SimLink::Timing::Real);
    link->setByteTimeMs(SimLink::ByteTime9600);
    TWinApiV8 api{std::unique_ptr<ByteLink>(link)};
    sim.injectFault(QStringLiteral("delay:30"));
    QElapsedTimer t;
    t.start();
    QString no, owner;
    QVERIFY(api.GetDeviceNo(no, owner));
    // 5 bytes out, 30 ms device delay, 14 bytes back ("CLUB"): about 50 ms, not 50 ms more.
    const qint64 ms = t.elapsed();
    QVERIFY2(ms >= 49 && ms < 90, qPrintable(QString::number(ms)));
}

QTEST_GUILESS_MAIN(TstSimModel)
#include "tst_simmodel.moc"
