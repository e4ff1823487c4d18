// The races page's lists: rows, display texts, report layouts, title-click order, and the one
// ranking behind every result list.
#include "racefixture.h"
#include "races/racelists.h"
#include "races/resulttext.h"
#include "tests/support/listtext.h"
#include "tests/support/testdb.h"

#include <QtTest>

using namespace RaceFixture;

using namespace ListText;

namespace {
// Three lofts, two with distance rows; five arrivals, two non-arrivals, one unknown ring.
void seedRace(TestDb &db, int mode = 0)
{
    db.insertClub(QStringLiteral("NC"), mode);
    loft(db.dm(), "L1", "Ann");
    loft(db.dm(), "L2", "Bob");
    loft(db.dm(), "L3", "Cy");
    pigeon(db.dm(), "L1", "R1");
    pigeon(db.dm(), "L1", "R2", "H");
    pigeon(db.dm(), "L2", "R3", "U");
    pigeon(db.dm(), "L3", "R4");
    pigeon(db.dm(), "L2", "R5");
    pigeon(db.dm(), "L2", "R6");
    distance(db.dm(), "1234", "L1", 400, 0);
    distance(db.dm(), "1234", "L2", 68, 1654);
    race(db.dm(), "12340526", "1234", "2026-05-26", "07:00:00");
    entry(db.dm(), "12340526", "1234", "R1", QStringLiteral("2026-05-26 11:30:15.250"), 1480.088, 0);
    entry(db.dm(), "12340526", "1234", "R2", QStringLiteral("2026-05-26 11:30:14.000"), 1480.088, 2);
    entry(db.dm(), "12340526", "1234", "R3", QStringLiteral("2026-05-26 12:00:00.000"), 1300, -1);
    entry(db.dm(), "12340526", "1234", "R4", QStringLiteral("2026-05-26 10:00:00.000"),
          1600.5); // no distance row
    entry(db.dm(), "12340526", "1234", "XX", QStringLiteral("2026-05-26 12:10:00.000"), 1200); // unknown ring
    entry(db.dm(), "12340526", "1234", "R5", {});                                              // marked only
    // Not arrived, stored with an empty arrival and a velocity left from an earlier computation.
    entry(db.dm(), "12340526", "1234", "R6", QStringLiteral(""), 2000);
}
} // namespace

class TestLists : public QObject
{
    Q_OBJECT
private slots:
    void emptyArrivalsAreNotArrivals()
    {
        TestDb db;
        seedRace(db);
        RaceResultList list(db.dm());
        list.load("12340526");
        // R6's stale velocity must not push the real arrivals down, nor list R6.
        QCOMPARE(column(list, 2), (QStringList{"R2", "R1", "R3"}));
        QCOMPARE(column(list, 0), (QStringList{"2", "2", "4"})); // R4 (1600.5) counts, unlisted
        QCOMPARE(list.summary().text(), QStringLiteral("   4 Members sent     7 birds -     3 were clocked"));
        // The ranking itself: every arrival, none of the two non-arrivals.
        const auto all = Ranking::rankedArrivals(db.dm(), "12340526");
        QCOMPARE(all.size(), size_t(5));
        QCOMPARE(all.front().ringNo, QStringLiteral("R4"));
        QCOMPARE(all.front().pos, 1);
        QCOMPARE(all.back().ringNo, QStringLiteral("XX"));
        QCOMPARE(all.back().pos, 5);
        for (const auto &a : all)
            QVERIFY(!a.backTime.isEmpty());
    }

    void resultDisplayTextsAndLayouts()
    {
        TestDb db;
        seedRace(db);
        db.dm().exec("UPDATE ORV_PigRaceData SET Dist=400000 WHERE PRingNo='R2'");
        RaceResultList grid(db.dm());
        grid.load("12340526");
        QCOMPARE(grid.value(0, "Dist").toInt(), 400000); // exports read the stored distance
        QCOMPARE(grid.value(0, "DistText").toString(), QStringLiteral("400/000"));
        QCOMPARE(titles(grid), (QStringList{"Pos.", "Name", "Ring", "S", "C", "Clocked", "FlyiTime", "MPM",
                                            "Var", "Dist"}));
        QCOMPARE(column(grid, 1), (QStringList{"Ann", "Ann", "Bob"}));
        QCOMPARE(grid.displayText(0, 3), QStringLiteral("H")); // sex as stored
        QCOMPARE(grid.displayText(0, 5), QStringLiteral("11:30:14.000  26-05"));
        QCOMPARE(grid.displayText(0, 7), QStringLiteral("1480.088"));
        QCOMPARE(column(grid, 8), (QStringList{"+2", "0", "-1"}));
        QCOMPARE(column(grid, 9), (QStringList{"400/000", "400/000", "68/1654"}));
        QCOMPARE(grid.data(grid.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);

        // The report prints the grid's rows in the grid's order, in its own columns.
        QString sort;
        grid.titleClick(sort, "PRingNo");
        RaceResultList report(db.dm(), ListLayout::Report);
        report.copyRowsFrom(grid);
        report.load("12340526"); // a load gives the unit title, and the query's order again
        report.copyRowsFrom(grid);
        QCOMPARE(titles(report), (QStringList{"Pos.", "Name", "Ring", "Clocked", "FlyTime", "M/min", "Dist.",
                                              "S", "Var", "C"}));
        QCOMPARE(column(report, 2), (QStringList{"R1", "R2", "R3"}));
        QCOMPARE(report.sortText(), QStringLiteral("PRingNo ASC"));
    }

    void unitTitlesFollowTheClubMode()
    {
        TestDb db;
        seedRace(db, 1);
        RaceResultList grid(db.dm()), report(db.dm(), ListLayout::Report);
        grid.load("12340526");
        report.load("12340526");
        QCOMPARE(grid.headerData(7, Qt::Horizontal).toString(), QStringLiteral("Yds/Min"));
        QCOMPARE(report.headerData(5, Qt::Horizontal).toString(), QStringLiteral("Yds/min"));
        DistanceList dist(db.dm(), false), all(db.dm(), true), printed(db.dm(), false, ListLayout::Report);
        dist.load("1234");
        all.load();
        printed.load("1234");
        QCOMPARE(titles(dist), (QStringList{"Member", "LoftNo", "Miles", "Yards"}));
        QCOMPARE(titles(all), (QStringList{"LiberCode", "Member", "LoftNo", "Miles", "Yards"}));
        QCOMPARE(titles(printed), (QStringList{"Member", "Loft Number", "Miles", "Yards"}));
        db.dm().exec("UPDATE ORV_ClubData SET Mode=0");
        dist.load("1234");
        QCOMPARE(titles(dist), (QStringList{"Member", "LoftNo", "KM", "M"}));
    }

    void distanceListEditsInPlace()
    {
        TestDb db;
        db.insertClub();
        loft(db.dm(), "L1", "Ann");
        distance(db.dm(), "1234", "L1", 12345, 6);
        distance(db.dm(), "1234", "GONE", 1, 2);
        distance(db.dm(), "9", "L1", 3, 4);
        DistanceList dist(db.dm(), false);
        dist.load("1234");
        QCOMPARE(dist.rowCount(), 2);
        QCOMPARE(column(dist, 0), (QStringList{"Ann", ""})); // a loft without a member row has no name
        QCOMPARE(dist.displayText(0, 2), QLocale::system().toString(12345));
        QVERIFY(dist.flags(dist.index(0, 2)).testFlag(Qt::ItemIsEditable));
        QVERIFY(!dist.flags(dist.index(0, 1)).testFlag(Qt::ItemIsEditable));
        QVERIFY(!dist.setData(dist.index(0, 2), "x7"));
        QVERIFY(dist.setData(dist.index(0, 2), "77"));
        QCOMPARE(db.dm()
                     .scalar("SELECT Miles FROM ORV_LoftLibPointDist WHERE LiberCode='1234' AND LoftNo='L1'")
                     .toInt(),
                 77);
        QCOMPARE(db.dm().scalar("SELECT Miles FROM ORV_LoftLibPointDist WHERE LiberCode='9'").toInt(), 3);
        QCOMPARE(dist.data(dist.index(0, 2), Qt::EditRole).toInt(), 77);
        DistanceList printed(db.dm(), false, ListLayout::Report);
        printed.copyRowsFrom(dist);
        QVERIFY(!printed.flags(printed.index(0, 2)).testFlag(Qt::ItemIsEditable));
    }

    void raceListAndTitleClicks()
    {
        TestDb db;
        db.insertClub();
        race(db.dm(), "B0601", "B", "2026-06-01", "07:05:09");
        race(db.dm(), "A0501", "A", "2026-05-01", "06:00:00");
        race(db.dm(), "C0701", "C", "2026-07-01", "08:00:00");
        db.dm().exec("UPDATE ORV_RaceData SET LiberTime=NULL, LiberSite='Zagreb' WHERE RaceCode='C0701'");
        db.dm().exec("UPDATE ORV_RaceData SET LiberSite='Arras' WHERE RaceCode='B0601'");
        race(db.dm(), "D0801", "D", "2026-08-01", "08:00:00");
        db.dm().exec("UPDATE ORV_RaceData SET DeleteMark=1 WHERE RaceCode='D0801'");
        RaceList list(db.dm());
        list.load();
        QCOMPARE(column(list, 6), (QStringList{"A0501", "B0601", "C0701"})); // by date, deleted left out
        QCOMPARE(column(list, 5), (QStringList{"06:00:00", "07:05:09", ""}));
        QCOMPARE(titles(list), (QStringList{"Club", "Code", "LibSite Abbre.", "Liberation Site", "Lib. Date",
                                            "Lib. Time", "RaceCode"}));
        // One sort text for the page's grids: ascending, descending, and a new field ascending.
        QString sort;
        list.titleClick(sort, "LiberSite");
        QCOMPARE(column(list, 3), (QStringList{"Arras", "Orleans", "Zagreb"}));
        list.titleClick(sort, "LiberSite");
        QCOMPARE(column(list, 3), (QStringList{"Zagreb", "Orleans", "Arras"}));
        QCOMPARE(sort, QStringLiteral("LiberSite DESC"));
        list.titleClick(sort, "LiberCode");
        QCOMPARE(column(list, 1), (QStringList{"A", "B", "C"}));

        RaceList report(db.dm(), ListLayout::Report);
        report.copyRowsFrom(list);
        QCOMPARE(titles(report),
                 (QStringList{"Club", "Code", "Lib.Site Abbr.", "Liberation Site", "Lib Date", "Lib Time"}));
        QCOMPARE(column(report, 1), (QStringList{"A", "B", "C"}));
        RaceList empty(db.dm(), ListLayout::Report);
        QCOMPARE(empty.rowCount(), 0);
        QCOMPARE(empty.columnCount(), 6);
    }

    void statusNamesAndCounts()
    {
        TestDb db;
        seedRace(db);
        RaceStatusList status(db.dm()), report(db.dm(), ListLayout::Report);
        status.load("12340526");
        QCOMPARE(titles(status), (QStringList{"Member", "Clock", "Birds marked", "Birds arrived"}));
        // Unknown ring first (NULL loft, no name), then by loft; empty arrivals are not arrivals.
        QCOMPARE(column(status, 0), (QStringList{"", "Ann", "Bob", "Cy"}));
        QCOMPARE(column(status, 2), (QStringList{"0", "2", "3", "1"}));
        QCOMPARE(column(status, 3), (QStringList{"1", "2", "1", "1"}));
        report.copyRowsFrom(status);
        QCOMPARE(titles(report), (QStringList{"Member", "Clock", "Birds Marked", "Birds arrived"}));
    }

    void marginTexts()
    {
        QCOMPARE(ResultText::margin("04:30:15.250", "04:30:15.999"), QStringLiteral("00:00:00"));
        QCOMPARE(ResultText::margin("04:30:15.250", "05:31:20.000"), QStringLiteral("01:01:05"));
        QCOMPARE(ResultText::margin("27:00:00.000", "26:59:59.000"), QStringLiteral("-00:00:01"));
        QVERIFY(ResultText::margin("04:30:15.250", "").isEmpty());
        QCOMPARE(ResultText::winningMargin("04:30:15.250", "04:31:20.900", 2), QStringLiteral("0:1:5"));
        QCOMPARE(ResultText::winningMargin("04:30:15.250", {}, 1), QStringLiteral("0:0:0"));
        QVERIFY(ResultText::winningMargin({}, {}, 0).isEmpty());
        QCOMPARE(ResultText::sexWord("U"), QStringLiteral("Cock"));
        QCOMPARE(ResultText::sexWord("H"), QStringLiteral("Hen"));
        QVERIFY(ResultText::sexWord(QVariant()).isEmpty());
        QCOMPARE(ResultText::colourShort("BBW"), QStringLiteral("BB"));
    }
};

QTEST_GUILESS_MAIN(TestLists)
#include "test_lists.moc"
