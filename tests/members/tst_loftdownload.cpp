#include "device/twinapiv8.h"
#include "members/loftdownload.h"
#include "members/members.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "tests/support/recordingsink.h"
#include "tests/support/testdb.h"

#include <QtTest>

namespace {
// Refuses the n-th setLoftInfo request, to see that the lists after it are not sent.
class RefusingLink : public SimLink
{
public:
    RefusingLink(ClockSimulator &sim, int refuseAt) : SimLink(sim), sim_(sim), refuseAt_(refuseAt) {}

protected:
    bool doWrite(const QByteArray &bytes) override
    {
        if (bytes.contains("setLoftInfo") && ++seen_ == refuseAt_)
            sim_.injectFault(QStringLiteral("refuse:5@setLoftInfo"));
        return SimLink::doWrite(bytes);
    }

private:
    ClockSimulator &sim_;
    int refuseAt_;
    int seen_ = 0;
};

struct Rig
{
    TestDb db;
    ClockSimulator sim;
    RecordingSink sink;
    MemberSettings settings;
    std::unique_ptr<TWinApiV8> driver;

    explicit Rig(const QString &clockOwner, int refuseAt = 0)
    {
        db.insertClub();
        MemberForm m;
        m.associationCode = "BE";
        m.loftNo = "12345";
        m.name = "Jan";
        m.city = "Gent";
        m.street = "Kerkstraat 1";
        m.email = "jan@example.org";
        m.lon = "E004'21:30.50";
        m.lat = "N050'51:00.00";
        RecordingSink quiet;
        Members::save(db.dm(), m, quiet);
        sim.connectClock(sim.addClock(QStringLiteral("1A2B3C4D"), clockOwner));
        std::unique_ptr<ByteLink> link;
        if (refuseAt)
            link = std::make_unique<RefusingLink>(sim, refuseAt);
        else
            link = std::make_unique<SimLink>(sim);
        driver = std::make_unique<TWinApiV8>(std::move(link));
    }
    bool run(Answer a)
    {
        sink.answers = {a};
        return LoftDataDownload(db.dm(), *driver, sink, settings).run("12345");
    }
    SimDevice &clock() { return sim.clock(0); }
};
} // namespace

class TestLoftDownload : public QObject
{
    Q_OBJECT
private slots:
    void yesInitialisesAndWritesEverything()
    {
        Rig rig{QString()}; // a new clock
        rig.settings.timeZoneSeconds = 3600;
        QVERIFY(rig.run(Answer::Yes));
        QCOMPARE(rig.sink.questions, QStringList{"Do you want to Initialize this timer ?"});
        QVERIFY(rig.sink.lastAskHadCancel);
        QCOMPARE(rig.clock().owner, QStringLiteral("12345"));
        const SimFields &loft = rig.clock().loftInfo;
        QCOMPARE(loft.text("OwnerName"), QStringLiteral("Jan"));
        QCOMPARE(loft.text("LoftLon"), QStringLiteral("E004'21:30.50"));
        QCOMPARE(loft.text("Email"), QStringLiteral("jan@example.org"));
        QCOMPARE(loft.text("ClubCode"), QStringLiteral("NC"));
        QCOMPARE(loft.text("HostIp"), LoftDataDownload::UploadHost + ":80");
        QCOMPARE(loft.text("HostPath"), QStringLiteral("/SendGPRS"));
        QCOMPARE(loft.number("timeZone"), 3600);
        QCOMPARE(loft.number("UploadMode"), 112);
        QCOMPARE(loft.number("pi0"), 2);
        QCOMPARE(rig.clock().params.number("userMode"), 2);
        const QString done = "12345 Loft/Club Data Download Success !";
        QCOMPARE(rig.sink.textsOf(MessageKind::Success), QStringList{done});
        QCOMPARE(rig.clock().display, done);
        QCOMPARE(rig.sink.beeps, 1);
    }

    void noWithOwnClockWritesWithoutInit()
    {
        Rig rig("12345");
        rig.settings.timeZoneSeconds = -7200;
        rig.settings.setParams = "3";
        const QString oldPassword = rig.clock().password;
        QVERIFY(rig.run(Answer::No));
        QVERIFY(rig.sink.textsOf(MessageKind::Failure).isEmpty());
        QCOMPARE(rig.clock().loftInfo.number("timeZone"), -7200);
        QCOMPARE(rig.clock().params.number("userMode"), 3);
        QCOMPARE(rig.clock().password, oldPassword);
    }

    void foreignClockAndCancel()
    {
        Rig rig("99999");
        QVERIFY(!rig.run(Answer::No));
        QCOMPARE(rig.sink.last(), QStringLiteral("LoftNo Wrong ! ReCheck !"));
        QCOMPARE(rig.clock().loftInfo.size(), 0);
        QCOMPARE(rig.clock().owner, QStringLiteral("99999"));

        const int before = rig.sim.requestCount();
        QVERIFY(!rig.run(Answer::Cancel));
        QCOMPARE(rig.sim.requestCount(), before);

        rig.sim.injectFault(QStringLiteral("silence"));
        rig.sink.clear();
        QVERIFY(!rig.run(Answer::No));
        QCOMPARE(rig.sink.last(), QStringLiteral("Please connect to club antenna and clock."));
    }

    void refusalOfListThreeStopsBeforeListFour()
    {
        Rig rig("12345", 3);
        QVERIFY(!rig.run(Answer::No));
        const QStringList failures = rig.sink.textsOf(MessageKind::Failure);
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures[0].startsWith("SetLoftInfo_3 Error :"), qPrintable(failures[0]));
        QVERIFY(rig.clock().loftInfo.contains("Email"));    // list 2 stays written
        QVERIFY(!rig.clock().loftInfo.contains("ClubCode")); // list 3 refused
        QVERIFY(!rig.clock().loftInfo.contains("HostIp"));   // list 4 never sent
        QVERIFY(!rig.clock().params.contains("userMode"));
        QVERIFY(rig.sink.textsOf(MessageKind::Success).isEmpty());
    }

    void fieldListsWithoutClubAndSettings()
    {
        TestDb db;
        db.dm().exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('7','Ann')");
        ClockSimulator sim;
        TWinApiV8 driver(std::make_unique<SimLink>(sim));
        RecordingSink sink;
        const QStringList lists = LoftDataDownload(db.dm(), driver, sink, MemberSettings()).fieldLists("7");
        QCOMPARE(lists.size(), 5);
        QCOMPARE(lists[2], QStringLiteral("ClubCode:%ClubName:%ClubStreet:%ClubCity:%ClubPostCode:%AssocCode:"));
        QVERIFY(lists[3].contains("%Apn:%HostSmsCode:%UploadInterval:#120000%NotifyMode:#0%UploadMode:#112"
                                  "%timeZone:#0%pi0:#2"));
        QCOMPARE(lists[4], QStringLiteral("userMode:#2"));
        QVERIFY(!LoftDataDownload(db.dm(), driver, sink, MemberSettings()).run("nobody"));
        QVERIFY(sink.questions.isEmpty());
    }

    void percentInAValueNeverReachesTheClock()
    {
        // A name with "%" would add fields of its own: LoftNo and Password of the clock.
        const QString hostile = "Adams%LoftNo:999%Password:#12345";
        Rig rig{"12345"};
        MemberForm typed = *Members::load(rig.db.dm(), "12345");
        typed.name = "Adams%LoftNo:999";
        RecordingSink entry;
        QVERIFY(!Members::save(rig.db.dm(), typed, entry)); // refused where it is typed
        QVERIFY(entry.hasContaining("Name"));
        QVERIFY(entry.hasContaining("%"));
        // A value stored before (by an older version or an import) is refused before sending.
        rig.db.dm().exec("UPDATE ORV_LoftData SET LoftName=? WHERE LoftNo='12345'", {hostile});
        rig.clock().loftInfo.set("LoftNo", "12345");
        const int before = rig.sim.requestCount();
        QVERIFY(!rig.run(Answer::No));
        QVERIFY2(rig.sink.hasContaining("Member 12345: Name: the character \"%\" cannot be sent to a clock. Nothing was sent."),
                 qPrintable(rig.sink.texts().join('|')));
        QCOMPARE(rig.sim.requestCount(), before); // nothing was sent
        QCOMPARE(rig.clock().loftInfo.text("LoftNo"), QString("12345"));
        QVERIFY(rig.clock().loftInfo.text("Password").isEmpty());
    }

    void lettersTheClockCannotShowAreNamed()
    {
        Rig rig{"12345"};
        rig.db.dm().exec("UPDATE ORV_LoftData SET LoftName=? WHERE LoftNo='12345'", {QStringLiteral("Łukasz")});
        QVERIFY(rig.run(Answer::No));
        QCOMPARE(rig.sink.textsOf(MessageKind::Info),
                 QStringList{QStringLiteral("Name: 1 character(s) the clock cannot show are sent as \"?\".")});
        QCOMPARE(rig.clock().loftInfo.text("OwnerName"), QStringLiteral("?ukasz"));
    }
};

QTEST_GUILESS_MAIN(TestLoftDownload)
#include "tst_loftdownload.moc"
