#include "reportseed.h"

#include "clockops/clockviews.h"
#include "members/memberlists.h"
#include "members/rings.h"
#include "races/raceinfo.h"
#include "races/racelists.h"
#include "report/clockreports.h"
#include "report/memberreports.h"
#include "report/racereports.h"
#include "report/reportrecorder.h"

#include <QtTest>

namespace {
// The line holding `first` as its first text.
QStringList lineStarting(const ReportRecorder &rec, int page, const QString &first)
{
    for (const auto &l : rec.lines(page))
        if (!l.isEmpty() && l.first() == first)
            return l;
    return {};
}

bool hasText(const ReportRecorder &rec, const QString &text)
{
    for (int p = 0; p < static_cast<int>(rec.pages().size()); ++p)
        if (rec.find(p, text))
            return true;
    return false;
}

RaceInfo race(TdmORVS &dm)
{
    return *Races::findRace(dm, ReportSeed::Race);
}
} // namespace

class TestReports : public QObject
{
    Q_OBJECT
private slots:
    void clockResultReport();
    void clockResultSingleAndNoArrival();
    void markedListReport();
    void raceResultReportUnitsAndClubMap();
    void raceResultPrintsTheSortedOrder();
    void raceListStatusAndDistances();
    void memberListSortedAndEmpty();
    void ringListKeepsTickedRings();
};

void TestReports::clockResultReport()
{
    TestDb db;
    ReportSeed::seed(db, 1);
    ClockResultList shown(db.dm());
    shown.load(ReportSeed::Race);
    const auto report = ClockReports::raceResult(db.dm(), shown, "1234 26/05/2026 12340526 PER", "1234");
    ReportRecorder rec;
    QCOMPARE(rec.record(*report), 1);
    QCOMPARE(lineStarting(rec, 0, "Pos"), QStringList({"Pos", "Name", "Yds/min", "Ring Particulars ", "C", "S",
                                                        "Clock / day", "Var", "Distance", "Margin"}));
    QCOMPARE(lineStarting(rec, 0, "1"), QStringList({"1", "Alice Archer", "1500.123", "BE-26-1001", "BC", "Cock",
                                                      "12:00:00.000  26-05", "+2", "402/1234", "00:00:00"}));
    QCOMPARE(lineStarting(rec, 0, "2"), QStringList({"2", "Bob Brown", "1490.500", "BE-26-2001", "RE", "Hen",
                                                      "12:01:05.000  26-05", "-1", "398/0056", "00:01:05"}));
    QCOMPARE(lineStarting(rec, 0, "3").value(7), QString("0"));
    // The bird that did not arrive is no ranked arrival.
    QVERIFY(!hasText(rec, "BE-26-2002"));
    QVERIFY(rec.find(0, "NAM- North Club"));
    QVERIFY(rec.find(0, "LiberSite : Peronne"));
    QVERIFY(rec.find(0, "RaceCode : 1234 26/05/2026 12340526 PER"));
    QVERIFY(rec.find(0, "Total : 003"));
    QVERIFY(rec.find(0, "Date : " + report->printTimeText()));
    QVERIFY(rec.find(0, "Net Flying Time : 05:00:00.000"));
    QVERIFY(rec.find(0, "Winning Margin : 0:1:5"));
    QVERIFY(rec.find(0, "Page 1 of 1"));

    // Metres: the velocity title is "MPM".
    db.dm().exec("UPDATE ORV_ClubData SET Mode=0");
    const auto metric = ClockReports::raceResult(db.dm(), shown, "x", "1234");
    rec.record(*metric);
    QCOMPARE(lineStarting(rec, 0, "Pos").value(2), QString("MPM"));
}

void TestReports::clockResultSingleAndNoArrival()
{
    TestDb db;
    ReportSeed::seed(db);
    db.dm().exec("UPDATE ORV_PigRaceData SET BackTime='', FlyTime=NULL, FlySpeed=0 WHERE PRingNo<>'BE-26-1001'");
    ClockResultList shown(db.dm());
    shown.load(ReportSeed::Race);
    ReportRecorder rec;
    rec.record(*ClockReports::raceResult(db.dm(), shown, "x", "1234"));
    QCOMPARE(lineStarting(rec, 0, "1").value(9), QString("00:00:00"));
    QVERIFY(rec.find(0, "Winning Margin : 0:0:0"));
    QVERIFY(rec.find(0, "Total : 001"));

    // No arrival at all: title and header, no rows, the footer captions without values.
    db.dm().exec("UPDATE ORV_PigRaceData SET BackTime='', FlyTime=NULL, FlySpeed=0");
    shown.load(ReportSeed::Race);
    QCOMPARE(rec.record(*ClockReports::raceResult(db.dm(), shown, "x", "1234")), 1);
    QVERIFY(!lineStarting(rec, 0, "Pos").isEmpty());
    QVERIFY(lineStarting(rec, 0, "1").isEmpty());
    QVERIFY(rec.find(0, "Total : 000"));
    QVERIFY(rec.find(0, "Net Flying Time :"));
    QVERIFY(rec.find(0, "Winning Margin :"));
}

void TestReports::markedListReport()
{
    TestDb db;
    ReportSeed::seed(db);
    MarkedList shown(db.dm());
    shown.load(ReportSeed::Race, false);
    ReportRecorder rec;
    rec.record(*ClockReports::markedList(db.dm(), shown, "1234 26/05/2026 12340526 PER", "1234"));
    QCOMPARE(lineStarting(rec, 0, "Pos"), QStringList({"Pos", "Name", "Rigeon ", "S", "Marled Time", "Yds/Min",
                                                        "Flying Time", "Dist."}));
    // Numbered lines in the grid's order (loft, then ring), sex as stored, last three columns empty.
    const QStringList first = lineStarting(rec, 0, "1");
    QCOMPARE(first.mid(0, 4), QStringList({"1", "Alice Archer", "BE-26-1001", "U"}));
    QCOMPARE(first.size(), 5);
    QCOMPARE(lineStarting(rec, 0, "4").mid(0, 4), QStringList({"4", "Bob Brown", "BE-26-2002", "H"}));
    QVERIFY(rec.find(0, "Total : 004"));
    QVERIFY(rec.find(0, "LiberSite : Peronne"));
}

void TestReports::raceResultReportUnitsAndClubMap()
{
    TestDb db;
    ReportSeed::seed(db, 1);
    RaceResultList shown(db.dm());
    shown.load(ReportSeed::Race);
    ReportRecorder rec;
    rec.record(*RaceReports::raceResult(db.dm(), shown, race(db.dm()), shown.summary().text()));
    QCOMPARE(lineStarting(rec, 0, "Pos."), QStringList({"Pos.", "Name", "Ring", "Clocked", "FlyTime", "Yds/min",
                                                         "Dist.", "S", "Var", "C"}));
    const QStringList first = lineStarting(rec, 0, "1");
    QCOMPARE(first.mid(0, 5), QStringList({"1", "Alice Archer", "BE-26-1001", "12:00:00.000  26-05", "05:00:00"}));
    QCOMPARE(first.value(8), QString("+2"));
    QVERIFY(rec.find(0, "Test Club")); // the club map's name
    QVERIFY(rec.find(0, "PER"));
    // headed and titled like the club's other lists, saved under the race's name
    QVERIFY(rec.find(0, "Race Result"));
    QVERIFY(rec.find(0, "North Club"));
    QVERIFY(rec.find(0, "LS1 1AA"));
    QCOMPARE(RaceReports::raceResult(db.dm(), shown, race(db.dm()), QString())->fileName(),
             QString("Result 12340526 Peronne"));
    QVERIFY(rec.find(0, shown.summary().text()));
    QVERIFY(!hasText(rec, "BE-26-2002"));

    db.dm().exec("UPDATE ORV_ClubData SET Mode=0");
    rec.record(*RaceReports::raceResult(db.dm(), shown, race(db.dm()), shown.summary().text()));
    QCOMPARE(lineStarting(rec, 0, "Pos.").value(5), QString("M/min"));

    // A race whose club is not in the club map prints without a club name.
    db.dm().exec("DELETE FROM ORV_ClubMap");
    rec.record(*RaceReports::raceResult(db.dm(), shown, race(db.dm()), shown.summary().text()));
    QVERIFY(!hasText(rec, "Test Club"));
    QVERIFY(rec.find(0, "PER"));
    QVERIFY(!lineStarting(rec, 0, "1").isEmpty());
}

void TestReports::raceResultPrintsTheSortedOrder()
{
    TestDb db;
    ReportSeed::seed(db);
    RaceResultList shown(db.dm());
    shown.load(ReportSeed::Race);
    QString sort;
    shown.titleClick(sort, "PRingNo");
    shown.titleClick(sort, "PRingNo"); // descending
    ReportRecorder rec;
    rec.record(*RaceReports::raceResult(db.dm(), shown, race(db.dm()), QString()));
    QStringList rings;
    for (const auto &l : rec.lines(0))
        if (l.size() > 3 && l[2].startsWith("BE-26-"))
            rings << l[2];
    QCOMPARE(rings, QStringList({"BE-26-2001", "BE-26-1002", "BE-26-1001"}));
}

void TestReports::raceListStatusAndDistances()
{
    TestDb db;
    ReportSeed::seed(db, 1);
    RaceList races(db.dm());
    races.load();
    ReportRecorder rec;
    rec.record(*RaceReports::raceList(db.dm(), races));
    QVERIFY(rec.find(0, "Race List"));
    QCOMPARE(RaceReports::raceList(db.dm(), races)->fileName(), QString("Race List"));
    QVERIFY(rec.find(0, "North Club"));
    QVERIFY(rec.find(0, "1 High Street"));
    QVERIFY(rec.find(0, "LS1 1AA"));
    QCOMPARE(lineStarting(rec, 0, "Club"),
             QStringList({"Club", "Code", "Lib.Site Abbr.", "Liberation Site", "Lib Date", "Lib Time"}));
    const QStringList row = lineStarting(rec, 0, "NC");
    QCOMPARE(row.mid(0, 4), QStringList({"NC", "1234", "PER", "Peronne"}));
    QCOMPARE(row.value(5), QString("07:00:00"));

    RaceStatusList status(db.dm());
    status.load(ReportSeed::Race);
    rec.record(*RaceReports::raceStatus(db.dm(), status, " Status for Peronne", race(db.dm())));
    QVERIFY(rec.find(0, "Status for Peronne (05/26 07:00:00)"));
    QCOMPARE(lineStarting(rec, 0, "Member"), QStringList({"Member", "Clock", "Birds Marked", "Birds arrived"}));
    QCOMPARE(lineStarting(rec, 0, "Alice Archer"), QStringList({"Alice Archer", "CL1", "2", "2"}));
    QCOMPARE(lineStarting(rec, 0, "Bob Brown"), QStringList({"Bob Brown", "CL2", "2", "1"}));

    // Unit headings follow the club's unit: miles and yards, or kilometres and metres.
    DistanceList dist(db.dm(), false);
    dist.load("1234");
    rec.record(*RaceReports::memberDistances(db.dm(), dist, "Member loft distance to Peronne"));
    QVERIFY(rec.find(0, "Member loft distance to Peronne"));
    QVERIFY(rec.find(0, "Distance method : Club formula"));
    QCOMPARE(lineStarting(rec, 0, "Member"), QStringList({"Member", "Loft Number", "Miles", "Yards"}));
    // The yards grouped as the user's locale groups them.
    QCOMPARE(lineStarting(rec, 0, "Alice Archer"),
             QStringList({"Alice Archer", "L1", "402", QLocale::system().toString(1234)}));
    db.dm().exec("UPDATE ORV_ClubData SET Mode=0, DistanceMethod=1");
    dist.load("1234");
    rec.record(*RaceReports::memberDistances(db.dm(), dist, "x"));
    QVERIFY(rec.find(0, "Distance method : WGS84 geodesic"));
    QCOMPARE(lineStarting(rec, 0, "Member"), QStringList({"Member", "Loft Number", "KM", "M"}));
}

void TestReports::memberListSortedAndEmpty()
{
    TestDb db;
    ReportSeed::seed(db);
    db.dm().exec("INSERT INTO ORV_LoftData (LoftNo, LoftName, AssociationCode) VALUES ('L0','Zoe Zimmer','BE')");
    MemberList shown(db.dm());
    shown.load();
    QString sort;
    shown.titleClick(sort, "LoftName");
    ReportRecorder rec;
    rec.record(*MemberReports::memberList(db.dm(), shown));
    QVERIFY(rec.find(0, "Member List"));
    QCOMPARE(lineStarting(rec, 0, "Name"), QStringList({"Name", "LoftNo", "No. of Clocks"}));
    QStringList names;
    for (const auto &l : rec.lines(0))
        if (l.size() == 3 && l[1].startsWith("BE "))
            names << l[0];
    QCOMPARE(names, QStringList({"Alice Archer", "Bob Brown", "Zoe Zimmer"}));
    QCOMPARE(lineStarting(rec, 0, "Zoe Zimmer"), QStringList({"Zoe Zimmer", "BE L0", "0"}));

    // An empty list prints its title and header only.
    TestDb empty;
    empty.insertClub();
    MemberList none(empty.dm());
    none.load();
    QCOMPARE(rec.record(*MemberReports::memberList(empty.dm(), none)), 1);
    QVERIFY(rec.find(0, "Member List"));
    QVERIFY(!lineStarting(rec, 0, "Name").isEmpty());
    QCOMPARE(rec.lines(0).size(), size_t(4)); // club name, title, header, footer (printed, page)
}

void TestReports::ringListKeepsTickedRings()
{
    TestDb db;
    ReportSeed::seed(db);
    RingList shown(db.dm());
    shown.load("L1");
    QCOMPARE(shown.rowCount(), 2);
    // Tick the first ring for deletion, as the grid does: stored at once, the row stays listed.
    const int r = shown.rowOf("PRingNo", "BE-26-1001");
    const bool marked = Rings::toggleDeleteMark(db.dm(), "L1", "BE-26-1001", false);
    shown.setValue(r, "DeleteMark", marked ? 1 : 0);
    ReportRecorder rec;
    rec.record(*MemberReports::ringList(db.dm(), shown, "Alice Archer", "L1"));
    QVERIFY(rec.find(0, "Ring list of Alice Archer - L1"));
    QCOMPARE(lineStarting(rec, 0, "Life Ring Number"),
             QStringList({"Life Ring Number", "Sex ", "E_Ring", "Color", "Created", "Assign Date", "Updated"}));
    QVERIFY(hasText(rec, "BE-26-1001"));
    QVERIFY(hasText(rec, "BE-26-1002"));
}

QTEST_MAIN(TestReports)
#include "test_reports.moc"
