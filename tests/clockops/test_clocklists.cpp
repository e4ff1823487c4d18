// The clock page's lists: marked birds, the race's ranking and the loft's arrivals over races,
// in their grid and report layouts.
#include "clockops/clockviews.h"
#include "tests/support/listtext.h"
#include "tests/support/testdb.h"

#include <QtTest>

using namespace ListText;

namespace {
void pigeon(TdmORVS &dm, const char *loft, const char *ring, const QVariant &sex, const char *colour = "BBW")
{
    dm.exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, Sex, ColorType, DeleteMark) VALUES (?,?,?,?,0)",
            {loft, ring, sex, colour});
}

void arrival(TdmORVS &dm, const char *race, const char *ring, const QVariant &back, const QVariant &fly,
             double speed, int vari = 0)
{
    dm.exec(
        "INSERT INTO ORV_PigRaceData (RaceCode, LiberCode, LiberDate, PRingNo, BackTime, FlyTime, FlySpeed, "
        "Dist, TimeVari) VALUES (?, '1234', '2026-06-01', ?, ?, ?, ?, 400000, ?)",
        {race, ring, back, fly, speed, vari});
}
} // namespace

class TestClockLists : public QObject
{
    Q_OBJECT
private slots:
    void resultReportTexts()
    {
        TestDb db;
        db.insertClub(QStringLiteral("NC"), 1);
        auto &dm = db.dm();
        dm.exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('001','Adams'),('002','Brown')");
        dm.exec("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberDate, RaceCode, DeleteMark) "
                "VALUES ('NC','1234','2026-06-01','R',0)");
        dm.exec("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES "
                "('1234','001',227,480)");
        pigeon(dm, "001", "A", "C");
        pigeon(dm, "001", "B", "U");
        pigeon(dm, "002", "C", "H", "R");
        pigeon(dm, "002", "D", QVariant(QMetaType::fromType<QString>()));
        arrival(dm, "R", "A", "2026-06-01 11:30:15.250", "04:30:15.250", 1480.088, 2);
        arrival(dm, "R", "B", "2026-06-01 11:31:20.000", "04:31:20.000", 1470.5, -1);
        arrival(dm, "R", "C", "2026-06-01 11:32:00.000", "04:32:00.000", 0, 0);
        arrival(dm, "R", "D", "", QVariant(QMetaType::fromType<QString>()), 1900); // not arrived
        arrival(dm, "R", "X", "2026-06-01 11:40:00.000", "04:40:00.000", 1400);    // ring of no pigeon

        ClockResultList grid(dm);
        grid.load("R");
        QCOMPARE(titles(grid),
                 (QStringList{"Pos.", "Member", "Pigeon", "Clocked", "Yds/Min", "Flying Time", "Dist."}));
        QCOMPARE(column(grid, 2), (QStringList{"A", "B", "X", "C"}));
        QCOMPARE(column(grid, 0), (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(column(grid, 1), (QStringList{"001", "001", "", "002"})); // the loft number on the grid
        QCOMPARE(column(grid, 4), (QStringList{"1480.088", "1470.500", "1400.000", ""}));
        QCOMPARE(column(grid, 6), (QStringList{"227/0480", "227/0480", "0", "0"}));
        QCOMPARE(grid.value(0, "Dist").toInt(), 400000); // exports read the stored distance

        ClockResultList report(dm, ListLayout::Report);
        report.refreshTitles();
        report.copyRowsFrom(grid);
        QCOMPARE(titles(report), (QStringList{"Pos", "Name", "Yds/min", "Ring Particulars ", "C", "S",
                                              "Clock / day", "Var", "Distance", "Margin"}));
        QCOMPARE(column(report, 1), (QStringList{"Adams", "Adams", "", "Brown"}));
        QCOMPARE(column(report, 4), (QStringList{"BB", "BB", "", "R"}));
        QCOMPARE(column(report, 5), (QStringList{"Cock", "Cock", "", "Hen"})); // "U" prints Cock
        QCOMPARE(report.displayText(0, 6), QStringLiteral("11:30:15.250  01-06"));
        QCOMPARE(column(report, 7), (QStringList{"+2", "-1", "0", "0"}));
        QCOMPARE(column(report, 9), (QStringList{"00:00:00", "00:01:05", "00:09:45", "00:01:45"}));
        QCOMPARE(report.netFlyingTime(), QStringLiteral("04:30:15.250"));
        QCOMPARE(report.winningMargin(), QStringLiteral("0:1:5"));

        // A single arrival: margins 00:00:00 and 0:0:0; none: nothing to show.
        dm.exec("DELETE FROM ORV_PigRaceData WHERE PRingNo<>'A'");
        grid.load("R");
        report.copyRowsFrom(grid);
        QCOMPARE(report.displayText(0, 9), QStringLiteral("00:00:00"));
        QCOMPARE(report.winningMargin(), QStringLiteral("0:0:0"));
        grid.load("NONE");
        report.copyRowsFrom(grid);
        QCOMPARE(report.rowCount(), 0);
        QVERIFY(report.netFlyingTime().isEmpty());
        QVERIFY(report.winningMargin().isEmpty());
    }

    void markedPlacesAndReport()
    {
        TestDb db;
        db.insertClub();
        auto &dm = db.dm();
        dm.exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('001','Adams')");
        for (const char *r : {"P1", "P2", "P3", "P4", "P5", "P6"})
            pigeon(dm, "001", r, "H");
        pigeon(dm, "009", "Q1", "C"); // a loft without a member row
        const QStringList times{"18:05", "18:01", "18:03", "18:02", "18:09", "18:07"};
        for (int i = 0; i < 6; ++i)
            dm.exec("INSERT INTO ORV_PigRaceData (RaceCode, PRingNo, MarkedTime) VALUES ('R', ?, ?)",
                    {QStringLiteral("P%1").arg(i + 1), QStringLiteral("2026-05-31 %1:00").arg(times.at(i))});
        dm.exec("INSERT INTO ORV_PigRaceData (RaceCode, PRingNo, MarkedTime) VALUES ('R','Q1','2026-05-31 "
                "18:00:00'),"
                "('R','ZZ','2026-05-31 18:00:00')");
        MarkedList grid(dm);
        grid.load("R", false);
        QCOMPARE(titles(grid), (QStringList{"Member", "Association Number", "Marked Time"}));
        // By loft then ring: the ring of no pigeon (NULL loft) first.
        QCOMPARE(column(grid, 1), (QStringList{"ZZ", "P1", "P2", "P3", "P4", "P5", "P6", "Q1"}));
        QCOMPARE(column(grid, 0),
                 (QStringList{"", "Adams", "Adams", "Adams", "Adams", "Adams", "Adams", ""}));
        QStringList places;
        for (int r = 0; r < grid.rowCount(); ++r)
            places << grid.value(r, "Nom").toString();
        QCOMPARE(places, (QStringList{"", "4", "1", "3", "2", "6", "5", "1"}));
        grid.load("R", true);
        QCOMPARE(grid.displayText(0, 1), QStringLiteral("P1"));

        MarkedList report(dm, ListLayout::Report);
        report.copyRowsFrom(grid);
        QCOMPARE(titles(report), (QStringList{"Pos", "Name", "Rigeon ", "S", "Marled Time", "Yds/Min",
                                              "Flying Time", "Dist."}));
        QCOMPARE(column(report, 0), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}));
        QCOMPARE(report.displayText(0, 3), QStringLiteral("H"));
        QVERIFY(report.displayText(0, 5).isEmpty() && report.displayText(0, 7).isEmpty());
    }

    void multiRaceRanksByArrival()
    {
        TestDb db;
        db.insertClub();
        auto &dm = db.dm();
        pigeon(dm, "001", "P1", "C");
        pigeon(dm, "001", "P2", "C");
        pigeon(dm, "001", "P3", "C");
        pigeon(dm, "002", "Q1", "C");
        dm.exec(
            "INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES ('11','001',100,5)");
        dm.exec("INSERT INTO ORV_PigRaceData (RaceCode, LiberDate, PRingNo, BackTime, FlySpeed) VALUES "
                "('110601','2026-06-01','P1','2026-06-01 10:00:00.000',1000),"
                "('220602','2026-06-02','P2','2026-06-01 10:00:00.000',0),"
                "('110601','2026-06-01','P3','2026-06-01 09:00:00.000',900),"
                "('110601','2026-06-01','Q1','2026-06-01 08:00:00.000',900),"
                "('110601','2026-05-01','P3','2026-05-01 08:00:00.000',900),"
                "('220602','2026-06-02','P3','',0)");
        MultiRaceList grid(dm);
        grid.load("001", QDate(2026, 6, 1));
        QCOMPARE(titles(grid),
                 (QStringList{"Pos.", "RaceCode", "Pigeon", "Clocked", "Fly Speed", "Flying Time", "Dist."}));
        QCOMPARE(column(grid, 2), (QStringList{"P3", "P1", "P2"}));
        QCOMPARE(column(grid, 0), (QStringList{"1", "2", "2"}));
        QCOMPARE(column(grid, 6), (QStringList{"100/005", "100/005", "0"}));
        QCOMPARE(column(grid, 4), (QStringList{" 900.000", "1000.000", ""}));
    }
};

QTEST_GUILESS_MAIN(TestClockLists)
#include "test_clocklists.moc"
