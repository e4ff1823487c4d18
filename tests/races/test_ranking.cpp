// Result list, positions, summary, status and the recalculation of a whole race.
#include "racefixture.h"
#include "races/flytime.h"
#include "races/raceinfo.h"
#include "races/racelists.h"
#include "races/ranking.h"
#include "races/resulttext.h"
#include "races/sundata.h"
#include "tests/support/recordingsink.h"
#include "tests/support/testdb.h"

#include <QtTest>

using namespace RaceFixture;

class TestRanking : public QObject
{
    Q_OBJECT
private slots:
    void positionsShareAndSkip()
    {
        const std::vector<qint64> field{1480088, 1480088, 1400000, 1500000, 0};
        QCOMPARE(Ranking::positions(field, {1500000, 1480088, 1480088, 1400000, 0}),
                 (std::vector<int>{1, 2, 2, 4, 5}));
    }

    void resultListOrderAndMembership()
    {
        TestDb db;
        db.insertClub();
        for (const char *l : {"L1", "L2", "L3"})
            loft(db.dm(), l, QStringLiteral("Name ") + l);
        pigeon(db.dm(), "L1", "R1");
        pigeon(db.dm(), "L1", "R2", "H");
        pigeon(db.dm(), "L2", "R3");
        pigeon(db.dm(), "L3", "R4"); // L3 has no distance row
        distance(db.dm(), "1234", "L1", 400, 0);
        distance(db.dm(), "1234", "L2", 68, 1654);
        const QString rc = QStringLiteral("12340526");
        entry(db.dm(), rc, "1234", "R1", QStringLiteral("2026-05-26 11:30:15.250"), 1480.088);
        entry(db.dm(), rc, "1234", "R2", QStringLiteral("2026-05-26 11:30:14.000"), 1480.088, 2);
        entry(db.dm(), rc, "1234", "R4", QStringLiteral("2026-05-26 10:00:00.000"),
              1600.5); // faster, not listed
        entry(db.dm(), rc, "1234", "R3", QStringLiteral("2026-05-26 12:00:00.000"), 1300);
        entry(db.dm(), rc, "1234", "UNKNOWN", QStringLiteral("2026-05-26 12:00:00.000"), 1700);
        entry(db.dm(), rc, "1234", "R5", {}); // not arrived
        entry(db.dm(), rc, "1234", "R6", QStringLiteral(""), 0);

        const auto list = Ranking::resultList(db.dm(), rc);
        QCOMPARE(list.size(), size_t(3));
        // the unknown ring and L3's bird count for the positions
        QCOMPARE(list[0].ringNo, QStringLiteral("R2")); // equal velocity, earlier arrival first
        QCOMPARE(list[0].pos, 3);
        QCOMPARE(list[1].ringNo, QStringLiteral("R1"));
        QCOMPARE(list[1].pos, 3);
        QCOMPARE(list[2].pos, 5);
        QCOMPARE(ResultText::distance(list[2].miles, list[2].yards, 1), QStringLiteral("68/1654"));
        // metres with three digits, yards with four: never read as a decimal
        QCOMPARE(ResultText::distance(66, 43, 0), QStringLiteral("66/043"));
        QCOMPARE(ResultText::distance(66, 43, 0, QLatin1Char('-')), QStringLiteral("66-043"));
        QCOMPARE(ResultText::distance(68, 12, 1), QStringLiteral("68/0012"));
        QCOMPARE(list[0].sex, QStringLiteral("H"));
        QCOMPARE(ResultText::variation(list[0].timeVari), QStringLiteral("+2"));

        const Ranking::Summary s = Ranking::summary(db.dm(), rc, static_cast<int>(list.size()));
        QCOMPARE(s.text(), QStringLiteral("   4 Members sent     7 birds -     3 were clocked"));

        RaceStatusList status(db.dm());
        status.load(rc);
        bool sawL3 = false;
        for (int i = 0; i < status.rowCount(); ++i)
            if (status.value(i, "LoftNo").toString() == QLatin1String("L3")) {
                sawL3 = true;
                QCOMPARE(status.value(i, "MarkedCnt").toInt(), 1);
                QCOMPARE(status.value(i, "ArriveCnt").toInt(), 1);
                QCOMPARE(status.displayText(i, 0), QStringLiteral("Name L3"));
            }
        QVERIFY(sawL3);
    }

    void displayTexts()
    {
        QCOMPARE(ResultText::clocked(QStringLiteral("2026-05-26 11:30:15.250")),
                 QStringLiteral("11:30:15.250  26-05"));
        QCOMPARE(ResultText::clocked(QStringLiteral("26-05-2026 11:30:15")), QStringLiteral("11:30:15  26-05"));
        QCOMPARE(ResultText::flyTimeShort(QStringLiteral("04:30:15.250")), QStringLiteral("04:30:15"));
        QVERIFY(ResultText::speed(0).isEmpty());
        QVERIFY(ResultText::speed(0.0004).isEmpty()); // 0 to the thousandth
        QCOMPARE(ResultText::speed(980.5), QStringLiteral(" 980.500"));
        QCOMPARE(ResultText::variation(2), QStringLiteral("+2"));
        QCOMPARE(ResultText::variation(-3), QStringLiteral("-3"));
        QCOMPARE(ResultText::variation(0), QStringLiteral("0"));
        QVERIFY(ResultText::variation(QVariant()).isEmpty());
    }

    void recalculateWholeRace()
    {
        TestDb db;
        db.insertClub();
        loft(db.dm(), "L1", "Ann");
        pigeon(db.dm(), "L1", "R1");
        pigeon(db.dm(), "L1", "R2");
        pigeon(db.dm(), "L1", "R3");
        pigeon(db.dm(), "L1", "R4");
        distance(db.dm(), "1234", "L1", 400, 0);
        const QString rc = QStringLiteral("12340526");
        race(db.dm(), rc, "1234", "2026-05-26", "07:00:00");
        entry(db.dm(), rc, "1234", "R1", QStringLiteral("2026-05-26 11:30:15.250"), 1, 0);
        entry(db.dm(), rc, "1234", "R2", QStringLiteral("2026-05-26 11:30:15.250"), 1, 2);
        entry(db.dm(), rc, "1234", "R3", QStringLiteral("26-05-2026 11:30:15"), 999.5, 0);
        entry(db.dm(), rc, "1234", "R4", QStringLiteral("2026-05-27 06:15:00.000"), 1, 0);
        RecordingSink sink;
        SunData::save(
            db.dm(), Races::sunKey("1234", QDate(2026, 5, 26)),
            {{QStringLiteral("2026-05-26"), {}, QStringLiteral("21:30:00"), {}},
             {QStringLiteral("2026-05-27"), {}, QStringLiteral("21:31:00"), QStringLiteral("05:00:00")}},
            sink);
        const auto out = Ranking::recalculate(db.dm(), rc, QDateTime(QDate(2026, 5, 26), QTime(7, 0)), sink);
        QCOMPARE(out.updated, 3);
        QCOMPARE(out.skipped, 1);
        QCOMPARE(sink.textsOf(MessageKind::Failure).size(), 1);
        QVERIFY(sink.textsOf(MessageKind::Failure).first().contains(QStringLiteral("R3")));
        const auto row = [&](const char *ring) {
            return db.dm()
                .rows(
                    "SELECT FlyTime, FlySpeed, Dist, BackTime, TimeVari FROM ORV_PigRaceData WHERE PRingNo=?",
                    {QString::fromLatin1(ring)})
                .front();
        };
        QCOMPARE(row("R1").value(0).toString(), QStringLiteral("04:30:15.250"));
        QCOMPARE(row("R1").value(1).toDouble(), 1480.088);
        QCOMPARE(row("R1").value(2).toInt(), 400000);
        QCOMPARE(row("R2").value(0).toString(), QStringLiteral("04:30:13.250"));
        QCOMPARE(row("R2").value(4).toInt(), 2);        // variation and arrival stay
        QCOMPARE(row("R3").value(1).toDouble(), 999.5); // unreadable: untouched
        QCOMPARE(row("R4").value(0).toString(), QStringLiteral("15:45:00.000"));

        // another liberation moment moves every flying time
        Ranking::recalculate(db.dm(), rc, QDateTime(QDate(2026, 5, 26), QTime(8, 0)), sink);
        QCOMPARE(row("R1").value(0).toString(), QStringLiteral("03:30:15.250"));
        const auto list = Ranking::resultList(db.dm(), rc);
        QCOMPARE(list.size(), size_t(4));
        QCOMPARE(list[0].ringNo, QStringLiteral("R2")); // the fast clock's bird gains its 2 s back
        QCOMPARE(list[1].ringNo, QStringLiteral("R1"));
        QCOMPARE(list[1].pos, 2);
        QVERIFY(Ranking::sunGapsText(db.dm(), rc).isEmpty());

        // Without the second day's row the bird of 27 May is not timed, and the run says so.
        db.dm().exec("DELETE FROM ORV_SunSet_SunRise WHERE RaceDate='2026-05-27'");
        RecordingSink gaps;
        const auto without = Ranking::recalculate(db.dm(), rc, QDateTime(QDate(2026, 5, 26), QTime(7, 0)), gaps);
        QCOMPARE(without.notTimed, 1);
        QVERIFY(gaps.has(QStringLiteral("no sunset and sunrise for 27 May: 1 bird not timed")));
        QCOMPARE(Ranking::sunGapsText(db.dm(), rc), QStringLiteral("no sunset and sunrise for 27 May: 1 bird not timed"));
        RaceResultList shown(db.dm());
        shown.load(rc);
        QCOMPARE(shown.sunGaps(), QStringLiteral("no sunset and sunrise for 27 May: 1 bird not timed"));
    }

    void raceAcrossTheNewYear()
    {
        TestDb db;
        db.insertClub();
        loft(db.dm(), "L1", "Ann");
        pigeon(db.dm(), "L1", "R1");
        distance(db.dm(), "9", "L1", 500, 0);
        const QString rc = QStringLiteral("91231");
        race(db.dm(), rc, "9", "2026-12-31", "08:00:00");
        entry(db.dm(), rc, "9", "R1", QStringLiteral("2027-01-01 09:30:00.000"));
        RecordingSink sink;
        SunData::save(
            db.dm(), Races::sunKey("9", QDate(2026, 12, 31)),
            {{QStringLiteral("2026-12-31"), {}, QStringLiteral("16:00:00"), QStringLiteral("08:30:00")},
             {QStringLiteral("2027-01-01"), {}, QStringLiteral("16:05:00"), QStringLiteral("08:30:00")}},
            sink);
        Ranking::recalculate(db.dm(), rc, QDateTime(QDate(2026, 12, 31), QTime(8, 0)), sink);
        QCOMPARE(db.dm().scalar("SELECT FlyTime FROM ORV_PigRaceData").toString(),
                 QStringLiteral("09:00:00.000"));
        QCOMPARE(db.dm().scalar("SELECT FlySpeed FROM ORV_PigRaceData").toDouble(),
                 FlyTime::velocity(500000, 9LL * 3600000));
    }
};

QTEST_GUILESS_MAIN(TestRanking)
#include "test_ranking.moc"
