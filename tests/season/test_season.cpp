#include "../races/racefixture.h"
#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include "season/championship.h"
#include "report/report.h"
#include "report/reportrecorder.h"
#include "season/print/seasonreports.h"
#include "season/prizes.h"
#include "season/seasonlists.h"
#include "season/standings.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Season;

namespace {
// A race whose birds arrive in the given order (each slower than the one before, by the given
// velocities or 10 m/min apart), padded with basketed birds that did not arrive up to `entries`.
void flyRace(TdmORVS &dm, const QString &raceCode, const QString &code, int entries,
             const QStringList &arrivalOrder, const QList<double> &speeds = {})
{
    RaceFixture::race(dm, raceCode, code, QStringLiteral("2026-05-26"), QStringLiteral("07:00:00"));
    for (const char *loft : {"A", "B", "C"})
        RaceFixture::distance(dm, code, loft, 100, 0);
    int i = 0;
    for (const QString &ring : arrivalOrder) {
        const double v = i < speeds.size() ? speeds.at(i) : 1500.0 - 10 * i;
        RaceFixture::entry(dm, raceCode, code, ring, QStringLiteral("2026-05-26 10:00:%1.000").arg(i, 2, 10, QChar('0')),
                           v);
        ++i;
    }
    for (; i < entries; ++i)
        RaceFixture::entry(dm, raceCode, code, QStringLiteral("F%1-%2").arg(raceCode).arg(i), QVariant());
}

void pigeons(TdmORVS &dm, const QStringList &ringAtLoft)
{
    for (const QString &pair : ringAtLoft) {
        const QStringList p = pair.split('@');
        RaceFixture::pigeon(dm, p[1], p[0]);
    }
}

QStringList prizeLines(const PrizeList &pl, Scheme s)
{
    QStringList out;
    for (const Prize &p : pl.rows)
        out << QStringLiteral("%1 %2 %3").arg(p.pos).arg(p.ringNo, scoreText(p.score, s));
    return out;
}

QStringList aceLines(const Standings::Result &r)
{
    QStringList out;
    for (const auto &a : r.aces)
        out << QStringLiteral("%1,%2,%3,%4,%5,%6")
                   .arg(a.rank)
                   .arg(a.ringNo, a.loftNo)
                   .arg(a.prizes)
                   .arg(a.counted)
                   .arg(scoreText(a.total, r.scheme));
    return out;
}

QStringList loftLines(const Standings::Result &r)
{
    QStringList out;
    for (const auto &l : r.lofts)
        out << QStringLiteral("%1,%2,%3,%4").arg(l.rank).arg(l.loftNo, l.loftName, scoreText(l.total, r.scheme));
    return out;
}

Championship season3(int best, int loftBirds)
{
    Championship c;
    c.name = QStringLiteral("Season");
    c.races = QStringList{"10010501", "10010508", "10010515"};
    c.rule.maxHundredths = 100000;
    c.rule.minHundredths = 20000;
    c.bestCount = best;
    c.loftBirds = loftBirds;
    return c;
}

// Three races, ratio 1 in 4, linear 1000 to 200:
//   R1 20 entries, 5 prizes 1000/800/600/400/200: P1 P2 P3 P4 P5 (P6 sixth, no prize)
//   R2 12 entries, 3 prizes 1000/600/200:          P2 P1 P4 (P6 fourth)
//   R3  8 entries, 2 prizes 1000/200:              P3 P1 (P5 third)
void threeRaces(TdmORVS &dm)
{
    RaceFixture::loft(dm, "A", "Adams");
    RaceFixture::loft(dm, "B", "Baker, Sons");
    RaceFixture::loft(dm, "C", "Claes");
    pigeons(dm, {"P1@A", "P2@B", "P3@A", "P4@A", "P5@C", "P6@C"});
    flyRace(dm, "10010501", "1001", 20, {"P1", "P2", "P3", "P4", "P5", "P6"});
    flyRace(dm, "10010508", "1001", 12, {"P2", "P1", "P4", "P6"});
    flyRace(dm, "10010515", "1001", 8, {"P3", "P1", "P5"});
}
} // namespace

class TestSeason : public QObject
{
    Q_OBJECT
private slots:
    void prizeCountsAndPoints();
    void prizeListOfARace();
    void tiesOnTheLastPrizeShareIt();
    void aceStandingCountsTheBestResults();
    void loftStandingCountsFirstBirdsOfEachLoft();
    void coefficientStandingNeedsResultsBeforeLowTotals();
    void correctedRaceShowsAtOnce();
    void savingChecksTheChoices();
    void reportsAndWorkbooks();
};

void TestSeason::prizeCountsAndPoints()
{
    QCOMPARE(prizeCount(17, 4), 5);
    QCOMPARE(prizeCount(16, 4), 4);
    QCOMPARE(prizeCount(17, 3), 6);
    QCOMPARE(prizeCount(1, 5), 1);
    QCOMPARE(prizeCount(0, 4), 0);

    QList<QString> pts;
    for (int p = 1; p <= 5; ++p)
        pts << scoreText(linearPoints(p, 5, 100000, 20000), Scheme::Linear);
    QCOMPARE(pts, (QList<QString>{"1000.00", "800.00", "600.00", "400.00", "200.00"}));
    QCOMPARE(linearPoints(1, 1, 100000, 10000), 100000); // a single prize gets the maximum
    // Thirds: 1000, 666.67, 333.33, 0 (rounded once, on the points).
    QCOMPARE(linearPoints(2, 4, 100000, 0), 66667);
    QCOMPARE(linearPoints(3, 4, 100000, 0), 33333);
    QCOMPARE(linearPoints(4, 4, 100000, 0), 0);
    QCOMPARE(linearPoints(7, 7, 100000, 10000), 10000);

    QCOMPARE(coefficient(3, 17), 17647);
    QCOMPARE(scoreText(coefficient(3, 17), Scheme::Coefficient), QString("17.647"));
    QCOMPARE(coefficient(1, 8), 12500);
    QCOMPARE(coefficient(2, 3), 66667); // 66.6666… rounds up

    qint64 h = 0;
    QVERIFY(parsePoints("150.5", &h));
    QCOMPARE(h, 15050);
    QVERIFY(parsePoints("1000", &h));
    QCOMPARE(h, 100000);
    QVERIFY(!parsePoints("-5", &h));
    QVERIFY(!parsePoints("1,5", &h));
    QVERIFY(!parsePoints("1.005", &h));
}

void TestSeason::prizeListOfARace()
{
    TestDb db;
    TdmORVS &dm = db.dm();
    RaceFixture::loft(dm, "A", "Adams");
    pigeons(dm, {"R1@A", "R2@A", "R3@A", "R4@A", "R5@A", "R6@A", "R7@A"});
    // 17 basketed, 7 arrived: 5 prizes.
    flyRace(dm, "10010526", "1001", 17, {"R1", "R2", "R3", "R4", "R5", "R6", "R7"});
    PointsRule linear;
    linear.minHundredths = 20000;
    PrizeList pl = prizeList(dm, "10010526", linear);
    QCOMPARE(pl.entries, 17);
    QCOMPARE(pl.prizes, 5);
    QCOMPARE(prizeLines(pl, Scheme::Linear),
             (QStringList{"1 R1 1000.00", "2 R2 800.00", "3 R3 600.00", "4 R4 400.00", "5 R5 200.00"}));
    QCOMPARE(pl.rows.front().loftNo, QString("A"));
    QCOMPARE(pl.rows.front().flySpeed, 1500.0);

    // The list the grid, the report and the command line share: stored values with fixed decimals.
    PrizeListTable table;
    table.load(pl, Scheme::Linear);
    QCOMPARE(table.csvLines().mid(0, 3), (QStringList{"Pos,PRingNo,LoftNo,FlySpeed,Points",
                                                      "1,R1,A,1500.000,1000.00", "2,R2,A,1490.000,800.00"}));

    PointsRule coef;
    coef.scheme = Scheme::Coefficient;
    pl = prizeList(dm, "10010526", coef);
    QCOMPARE(prizeLines(pl, Scheme::Coefficient).at(2), QString("3 R3 17.647"));
    table.load(pl, Scheme::Coefficient);
    QCOMPARE(table.csvLines().at(3), QString("3,R3,A,1480.000,17.647"));

    // 1 in 3 gives 6 prizes; an unknown race has none.
    coef.ratio = 3;
    QCOMPARE(prizeList(dm, "10010526", coef).rows.size(), size_t(6));
    QCOMPARE(prizeList(dm, "99990101", linear).prizes, 0);

    // A bird without a velocity does not take a prize, even when it is the only one home.
    flyRace(dm, "20020526", "2002", 3, {"R1"}, {0.0});
    pl = prizeList(dm, "20020526", linear);
    QCOMPARE(pl.prizes, 1);
    QVERIFY(pl.rows.empty());
}

void TestSeason::tiesOnTheLastPrizeShareIt()
{
    TestDb db;
    TdmORVS &dm = db.dm();
    RaceFixture::loft(dm, "A", "Adams");
    pigeons(dm, {"R1@A", "R2@A", "R3@A", "R4@A", "R5@A", "R6@A", "R7@A"});
    PointsRule rule;
    rule.minHundredths = 20000;
    // Positions 1 2 3 4 5 5 7: both fifth birds win the fifth prize.
    flyRace(dm, "10010526", "1001", 17, {"R1", "R2", "R3", "R4", "R5", "R6", "R7"},
            {1500, 1490, 1480, 1470, 1460, 1460, 1450});
    QCOMPARE(prizeLines(prizeList(dm, "10010526", rule), Scheme::Linear),
             (QStringList{"1 R1 1000.00", "2 R2 800.00", "3 R3 600.00", "4 R4 400.00", "5 R5 200.00",
                          "5 R6 200.00"}));
    // Positions 1 2 3 4 4 4 7: the tie on the fourth place reaches over the last prize.
    flyRace(dm, "20020526", "2002", 17, {"R1", "R2", "R3", "R4", "R5", "R6", "R7"},
            {1500, 1490, 1480, 1470, 1470, 1470, 1450});
    QCOMPARE(prizeLines(prizeList(dm, "20020526", rule), Scheme::Linear),
             (QStringList{"1 R1 1000.00", "2 R2 800.00", "3 R3 600.00", "4 R4 400.00", "4 R5 400.00",
                          "4 R6 400.00"}));
}

void TestSeason::aceStandingCountsTheBestResults()
{
    TestDb db;
    threeRaces(db.dm());
    // Best 2: P2 800+1000; P1 1000+600 (its 200 not counted) and 3 prizes before P3's 600+1000 with 2.
    QCOMPARE(aceLines(Standings::compute(db.dm(), season3(2, 2))),
             (QStringList{"1,P2,B,2,2,1800.00", "2,P1,A,3,2,1600.00", "3,P3,A,2,2,1600.00", "4,P4,A,2,2,600.00",
                          "5,P5,C,1,1,200.00"}));
    // All results: P1 1800 ties P2 1800 on total; more prizes puts P1 first.
    QCOMPARE(aceLines(Standings::compute(db.dm(), season3(0, 2))),
             (QStringList{"1,P1,A,3,3,1800.00", "2,P2,B,2,2,1800.00", "3,P3,A,2,2,1600.00", "4,P4,A,2,2,600.00",
                          "5,P5,C,1,1,200.00"}));
}

void TestSeason::loftStandingCountsFirstBirdsOfEachLoft()
{
    TestDb db;
    threeRaces(db.dm());
    // First two of each loft: A 1000+600 | 600+200 | 1000+200 = 3600 (P4's 400 in R1 is its third bird);
    // B 800 + 1000; C 200.
    QCOMPARE(loftLines(Standings::compute(db.dm(), season3(0, 2))),
             (QStringList{"1,A,Adams,3600.00", "2,B,Baker, Sons,1800.00", "3,C,Claes,200.00"}));
    LoftStandingList lofts;
    lofts.load(Standings::compute(db.dm(), season3(0, 2)));
    QCOMPARE(lofts.csvLines(), (QStringList{"Rank,LoftNo,LoftName,Total", "1,A,Adams,3600.00",
                                            "2,B,\"Baker, Sons\",1800.00", "3,C,Claes,200.00"}));
    // First bird only: A 1000 + 600 + 1000.
    QCOMPARE(loftLines(Standings::compute(db.dm(), season3(0, 1))).first(), QString("1,A,Adams,2600.00"));
}

void TestSeason::coefficientStandingNeedsResultsBeforeLowTotals()
{
    TestDb db;
    TdmORVS &dm = db.dm();
    RaceFixture::loft(dm, "A", "Adams");
    RaceFixture::loft(dm, "B", "Baker");
    pigeons(dm, {"Q1@A", "Q2@A", "Q3@B", "Q4@B", "Q5@B"});
    // X: 20 entries, 5 prizes, coefficients 5 10 15 20; Y: 10 entries, 3 prizes, 10 20 30.
    flyRace(dm, "10010501", "1001", 20, {"Q1", "Q2", "Q3", "Q4"});
    flyRace(dm, "10010508", "1001", 10, {"Q3", "Q1", "Q5"});
    Championship c;
    c.name = "Coef";
    c.races = QStringList{"10010501", "10010508"};
    c.rule.scheme = Scheme::Coefficient;
    const Standings::Result r = Standings::compute(dm, c);
    // Q1 and Q3 both 25.000 over two results: Q1's best (5) beats Q3's (10). Q2's single 10.000 is
    // lower than their totals but counts one result only.
    QCOMPARE(aceLines(r), (QStringList{"1,Q1,A,2,2,25.000", "2,Q3,B,2,2,25.000", "3,Q2,A,1,1,10.000",
                                       "4,Q4,B,1,1,20.000", "5,Q5,B,1,1,30.000"}));
    // Lofts (first two birds): B 15+20 and 10+30 = 75 over four; A 5+10 and 20 = 35 over three.
    QCOMPARE(loftLines(r), (QStringList{"1,B,Baker,75.000", "2,A,Adams,35.000"}));
}

void TestSeason::correctedRaceShowsAtOnce()
{
    TestDb db;
    TdmORVS &dm = db.dm();
    threeRaces(dm);
    const Championship c = season3(2, 2);
    RecordingSink sink;
    QVERIFY(Championships::save(dm, c, sink));
    const Championship stored = *Championships::find(dm, "season");
    QCOMPARE(aceLines(Standings::compute(dm, stored)).at(4), QString("5,P5,C,1,1,200.00"));

    // R3 corrected after the standings were shown: P5's arrival recalculated to the fastest.
    dm.exec("UPDATE ORV_PigRaceData SET FlySpeed=2000 WHERE RaceCode='10010515' AND PRingNo='P5'");
    // and a basketed bird of R2 that was forgotten, added by hand: R2 now has 13 entries, 4 prizes.
    RaceFixture::entry(dm, "10010508", "1001", "P3", QStringLiteral("2026-05-26 09:59:00.000"), 1600);
    const Standings::Result r = Standings::compute(dm, stored);
    // R2 4 prizes 1000/733.33/466.67/200: P3 P2 P1 P4. R3: P5 1000, P3 200.
    QCOMPARE(aceLines(r), (QStringList{"1,P3,A,3,2,1600.00", "2,P2,B,2,2,1533.33", "3,P1,A,2,2,1466.67",
                                       "4,P5,C,2,2,1200.00", "5,P4,A,2,2,600.00"}));
    AceStandingList aces;
    aces.load(r);
    QCOMPARE(aces.csvLines().mid(0, 4), (QStringList{"Rank,PRingNo,LoftNo,Prizes,Counted,Total",
                                                     "1,P3,A,3,2,1600.00", "2,P2,B,2,2,1533.33",
                                                     "3,P1,A,2,2,1466.67"}));
}

void TestSeason::savingChecksTheChoices()
{
    TestDb db;
    TdmORVS &dm = db.dm();
    threeRaces(dm);
    RecordingSink sink;
    Championship c = season3(2, 1);
    c.rule.scheme = Scheme::Coefficient;
    c.rule.ratio = 3;
    c.races = QStringList{" 10010508", "10010501", "10010508", ""}; // doubles and blanks dropped
    QVERIFY(Championships::save(dm, c, sink));
    std::optional<Championship> got = Championships::find(dm, "SEASON");
    QVERIFY(got);
    QCOMPARE(got->name, QString("Season"));
    QCOMPARE(got->races, (QStringList{"10010508", "10010501"}));
    QCOMPARE(got->rule.scheme, Scheme::Coefficient);
    QCOMPARE(got->rule.ratio, 3);
    QCOMPARE(got->rule.minHundredths, 20000);
    QCOMPARE(got->bestCount, 2);
    QCOMPARE(got->loftBirds, 1);

    // The same name in another letter case replaces it, races and all.
    c.name = "season";
    c.races = QStringList{"10010515"};
    QVERIFY(Championships::save(dm, c, sink));
    QCOMPARE(Championships::all(dm).size(), size_t(1));
    QCOMPARE(Championships::find(dm, "Season")->races, QStringList{"10010515"});
    QCOMPARE(dm.scalar("SELECT COUNT(*) FROM PNX_ChampionshipRace").toInt(), 1);

    // Refused, nothing stored: an unknown or deleted race, no race, bad numbers, no name.
    dm.exec("UPDATE ORV_RaceData SET DeleteMark=1 WHERE RaceCode='10010501'");
    Championship bad = season3(0, 2);
    bad.name = "Other";
    bad.races = QStringList{"10010508", "10010501", "77770101"};
    QVERIFY(!Championships::save(dm, bad, sink));
    QVERIFY(sink.has("Not in the race list: 10010501, 77770101"));
    bad.races = QStringList{};
    QVERIFY(!Championships::save(dm, bad, sink));
    bad.races = QStringList{"10010508"};
    bad.rule.minHundredths = bad.rule.maxHundredths + 1;
    QVERIFY(!Championships::save(dm, bad, sink));
    bad = season3(0, 0);
    bad.name = "Other";
    QVERIFY(!Championships::save(dm, bad, sink));
    bad = season3(0, 1);
    bad.name = "  ";
    QVERIFY(!Championships::save(dm, bad, sink));
    QCOMPARE(Championships::all(dm).size(), size_t(1));

    // A race deleted after the championship was saved is reported and left out.
    Championship three = season3(0, 2);
    three.races = QStringList{"10010501", "10010508", "10010515", "20020101"};
    RaceFixture::race(dm, "20020101", "2002", "2026-06-01", "07:00:00"); // not flown yet
    const Standings::Result r = Standings::compute(dm, three);
    QCOMPARE(r.racesNotCounted, QStringList{"10010501"});
    QCOMPARE(r.racesWithoutEntries, QStringList{"20020101"});
    // R2 and R3 only: P2 and P3 1000 each from one prize share the first rank; P1 600 + 200.
    QCOMPARE(aceLines(r).mid(0, 3),
             (QStringList{"1,P2,B,1,1,1000.00", "1,P3,A,1,1,1000.00", "3,P1,A,2,2,800.00"}));

    QVERIFY(Championships::remove(dm, "SEASON", sink));
    QVERIFY(Championships::all(dm).empty());
    QVERIFY(!Championships::remove(dm, "Season", sink));
}

// The printed standings and prize list by their texts; the workbooks as openpyxl reads them.
void TestSeason::reportsAndWorkbooks()
{
    TestDb db;
    TdmORVS &dm = db.dm();
    db.insertClub();
    threeRaces(dm);
    RecordingSink sink;
    QVERIFY(Championships::save(dm, season3(2, 2), sink));
    const Championship c = *Championships::find(dm, "Season");
    const Standings::Result res = Standings::compute(dm, c);
    AceStandingList aces;
    aces.load(res);
    QLocale loc = QLocale::system();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);

    std::unique_ptr<Report> r = SeasonReports::standings(dm, aces, c);
    ReportRecorder rec;
    QCOMPARE(rec.record(*r), 1);
    const QStringList texts = rec.texts(0);
    QVERIFY(texts.contains("Ace Pigeons"));
    QVERIFY(texts.contains("Test Club"));
    QVERIFY(texts.join('|').contains("10010501, 10010508, 10010515"));
    QVERIFY(texts.join('|').contains("best 2 results per pigeon"));
    bool header = false, first = false;
    for (const QStringList &line : rec.lines(0)) {
        header = header || line == QStringList{"Rank", "Ring", "Loft", "Prizes", "Counted", "Points"};
        first = first || line == QStringList{"1", "P2", "B", "2", "2", loc.toString(1800.0, 'f', 2)};
    }
    QVERIFY(header);
    QVERIFY(first);

    // The prize list report of R1, and a PDF of it.
    PrizeListTable prizes;
    const Season::PrizeList pl = prizeList(dm, "10010501", c.rule);
    prizes.load(pl, c.rule.scheme);
    r = SeasonReports::prizeList(dm, prizes, prizeRaceLine(dm, "10010501"), prizeSummary(pl, c.rule));
    ReportRecorder rec2;
    QCOMPARE(rec2.record(*r), 1);
    QVERIFY(rec2.texts(0).contains("Prize List"));
    QVERIFY(rec2.texts(0).join('|').contains("20 birds basketed - 5 prizes (1 in 4), points 1000.00 to 200.00"));
    QVERIFY(rec2.texts(0).join('|').contains("Orleans (ORL) 10010501"));
    QTemporaryDir dir;
    QString error;
    QVERIFY(SeasonReports::writePdf(*r, dir.filePath("prizes.pdf"), &error));
    QFile pdf(dir.filePath("prizes.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");

    // Workbooks: fields in row 1, rings as text, totals as numbers with their decimals.
    QVERIFY2(saveSeasonWorkbook(aces, dir.filePath("aces.xlsx"), &error), qPrintable(error));
    LoftStandingList lofts;
    lofts.load(res);
    QVERIFY2(saveSeasonWorkbook(lofts, dir.filePath("lofts.xlsx"), &error), qPrintable(error));
    const char *script = R"(
import sys, json, openpyxl
out = []
for path in sys.argv[1:]:
    ws = openpyxl.load_workbook(path).worksheets[0]
    out.append({'name': ws.title, 'rows': [[c.value for c in row] for row in ws.iter_rows()],
                'formats': [c.number_format for c in ws[2]]})
print(json.dumps(out))
)";
    QProcess p;
    p.start("/usr/bin/python3", {"-c", QString::fromUtf8(script), dir.filePath("aces.xlsx"), dir.filePath("lofts.xlsx")});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    const QJsonArray books = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    QCOMPARE(books.size(), 2);
    const QJsonObject a = books.at(0).toObject();
    QCOMPARE(a.value("name").toString(), QString("Sheet1"));
    const QJsonArray rows = a.value("rows").toArray();
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows.at(0).toArray().toVariantList(),
             (QVariantList{"Rank", "PRingNo", "LoftNo", "Prizes", "Counted", "Total"}));
    QCOMPARE(rows.at(1).toArray().toVariantList(), (QVariantList{1, "P2", "B", 2, 2, 1800}));
    QCOMPARE(rows.at(2).toArray().at(5).toDouble(), 1600.0);
    QCOMPARE(a.value("formats").toArray().toVariantList(), (QVariantList{"0", "@", "@", "0", "0", "0.00"}));
    const QJsonArray l = books.at(1).toObject().value("rows").toArray();
    QCOMPARE(l.at(2).toArray().toVariantList(), (QVariantList{2, "B", "Baker, Sons", 1800}));
}

QTEST_MAIN(TestSeason)
#include "test_season.moc"
