#include "races/raceinfo.h"
#include "races/racelists.h"
#include "races/resultexports.h"

#include "../support/jsonrows.h"
#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray expected(const QString &name)
{
    QFile f(QStringLiteral(PENNAVOX_TEST_DATA "/exports/") + name);
    if (!f.open(QIODevice::ReadOnly))
        qWarning() << "missing expected file" << name;
    return f.readAll();
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Byte comparison with the first differing line named, so a failure is readable.
void compareText(const QByteArray &actual, const QByteArray &wanted)
{
    const QList<QByteArray> a = actual.split('\n'), w = wanted.split('\n');
    for (int i = 0; i < qMin(a.size(), w.size()); ++i)
        QVERIFY2(a.at(i) == w.at(i), qPrintable(QStringLiteral("line %1:\n  got  [%2]\n  want [%3]")
                                                     .arg(i + 1)
                                                     .arg(QString::fromLatin1(a.at(i)), QString::fromLatin1(w.at(i)))));
    QCOMPARE(a.size(), w.size());
}
} // namespace

class TestExports : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void winSpeedWeek();
    void winSpeedRingField();
    void winSpeedStopsOnABadRing();
    void xmlReadOutDataSet();
    void smsFiles();
    void resultWorkbookInAnIndependentReader();
    void fileNames();

private:
    std::unique_ptr<TestDb> db_;
    RaceInfo race() { return *Races::findRace(db_->dm(), QStringLiteral("120526")); }
};

void TestExports::init()
{
    db_ = std::make_unique<TestDb>();
    QVERIFY(loadJsonRows(db_->dm(), QStringLiteral(PENNAVOX_TEST_DATA "/exports/race_week.json")));
}

void TestExports::winSpeedWeek()
{
    // BLUE LOFT: 3 of 7 arrived, sixth and seventh basketed get order 0; RED LOFT: 2 arrived, 3
    // missing, no clock-time row; the Sunday race belongs to the week, the next Monday's and a
    // deleted race do not.
    ResultExports::WinSpeed w;
    QString error;
    QVERIFY2(ResultExports::buildWinSpeed(db_->dm(), race(), &w, &error), qPrintable(error));
    compareText(w.file.bytes(), expected(QStringLiteral("W0000021.D00")));
    compareText(w.liberCodes.bytes(), expected(QStringLiteral("LiberCode_List.txt")));
    compareText(w.lofts.bytes(), expected(QStringLiteral("Loft_List.txt")));

    QTemporaryDir dir;
    RecordingSink sink;
    const QString path = dir.filePath(ResultExports::winSpeedFileName(race().liberDate));
    QVERIFY(ResultExports::saveWinSpeed(db_->dm(), race(), path, sink));
    QCOMPARE(sink.textsOf(MessageKind::Success), QStringList{path});
    QCOMPARE(fileBytes(path), expected(QStringLiteral("W0000021.D00")));
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("Loft_List.txt"))), expected(QStringLiteral("Loft_List.txt")));

    // A week without entries writes nothing.
    db_->dm().exec(QStringLiteral("DELETE FROM ORV_PigRaceData"));
    sink.clear();
    QVERIFY(!ResultExports::saveWinSpeed(db_->dm(), race(), dir.filePath(QStringLiteral("empty.D00")), sink));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("empty.D00"))));
    QCOMPARE(sink.textsOf(MessageKind::Failure).size(), 1);
}

void TestExports::winSpeedRingField()
{
    QString field, error;
    QVERIFY(ResultExports::winSpeedRing(QStringLiteral("GB"), QStringLiteral("2016"), QStringLiteral("A"),
                                        QStringLiteral("12345"), QString(), &field, &error));
    QCOMPARE(field, QStringLiteral("GB16   A012345"));
    QVERIFY(ResultExports::winSpeedRing(QStringLiteral("GB"), QStringLiteral("16"), QStringLiteral("ABCDE"),
                                        QStringLiteral("7"), QString(), &field, &error));
    QCOMPARE(field, QStringLiteral("GB16ABCDE000007")); // longer letters are written whole
    QVERIFY(ResultExports::winSpeedRing(QString(), QString(), QString(), QString(), QStringLiteral("NL-15-1234567"),
                                        &field, &error));
    QCOMPARE(field, QStringLiteral("NL  151234567"));
}

void TestExports::winSpeedStopsOnABadRing()
{
    QString field, error;
    QVERIFY(!ResultExports::winSpeedRing(QStringLiteral("GB"), QStringLiteral("2016"), QStringLiteral("A"),
                                         QStringLiteral("12A45"), QStringLiteral("GB16A12A45"), &field, &error));
    QVERIFY(error.contains(QStringLiteral("12A45")));
    QVERIFY(!ResultExports::winSpeedRing(QString(), QString(), QString(), QString(), QStringLiteral("NL-2015"), &field,
                                         &error));

    // One bad ring anywhere in the week: nothing is saved, the previous file stays.
    db_->dm().exec(QStringLiteral("UPDATE ORV_PigData SET RRegNumber='1O05' WHERE PRingNo='BE151005'"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("W0000021.D00"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("last week's file");
    f.close();
    RecordingSink sink;
    QVERIFY(!ResultExports::saveWinSpeed(db_->dm(), race(), path, sink));
    QVERIFY(sink.textsOf(MessageKind::Failure).join(QString()).contains(QStringLiteral("1O05")));
    QCOMPARE(fileBytes(path), QByteArray("last week's file"));
}

void TestExports::xmlReadOutDataSet()
{
    // Loft 0002 has neither a distance row nor a clock-time row.
    const QByteArray xml = ResultExports::buildXml(db_->dm(), race());
    compareText(xml, expected(QStringLiteral("RO0526_12_2016-05-26.xml")));

    QTemporaryDir dir;
    RecordingSink sink;
    const QString path = dir.filePath(ResultExports::xmlFileName(race()));
    QVERIFY(ResultExports::saveXml(db_->dm(), race(), path, sink));
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
    QVERIFY(lint.waitForFinished(30000));
    QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());

    // Non-Latin names and markup characters stay well-formed.
    db_->dm().exec(QStringLiteral("UPDATE ORV_LoftData SET LoftName=? WHERE LoftNo='0001'"),
                   {QStringLiteral("Łódź <&> \"Ωμέγα\"")});
    QVERIFY(ResultExports::saveXml(db_->dm(), race(), path, sink));
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
    QVERIFY(lint.waitForFinished(30000));
    QCOMPARE(lint.exitCode(), 0);
    QVERIFY(fileBytes(path).contains(QStringLiteral("Łódź &lt;&amp;&gt;").toUtf8()));
}

void TestExports::smsFiles()
{
    QCOMPARE(ResultExports::smsMembers(db_->dm(), race()).bytes(), expected(QStringLiteral("COTE_race.txt")));
    compareText(ResultExports::smsBirds(db_->dm(), race()).bytes(), expected(QStringLiteral("RING.txt")));

    // A cancelled dialog skips only its own file.
    QTemporaryDir dir;
    RecordingSink sink;
    QVERIFY(ResultExports::saveSms(db_->dm(), race(), QString(), dir.filePath(QStringLiteral("RING.txt")), sink));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("COTE.txt"))));
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("RING.txt"))), expected(QStringLiteral("RING.txt")));

    // A comma stored before the entry checks would shift every field after it: written as a blank
    // (the name on each of the loft's seven bird lines, and one comment).
    db_->dm().exec(QStringLiteral("UPDATE ORV_LoftData SET LoftName='BLUE, LOFT' WHERE LoftNo='0001'"));
    db_->dm().exec(QStringLiteral("UPDATE ORV_PigData SET Comment='fast,first' WHERE PRingNo='GB16A12345'"));
    sink.clear();
    QVERIFY(ResultExports::saveSms(db_->dm(), race(), dir.filePath(QStringLiteral("COTE.txt")),
                                   dir.filePath(QStringLiteral("RING.txt")), sink));
    const QList<QByteArray> members = fileBytes(dir.filePath(QStringLiteral("COTE.txt"))).split('\n');
    QVERIFY(members.first().startsWith("0001,BLUE  LOFT,0612,"));
    const QList<QByteArray> birds = fileBytes(dir.filePath(QStringLiteral("RING.txt"))).split('\n');
    QCOMPARE(birds.first(), QByteArray("0001,BLUE  LOFT,GB16A12345,E1234567,U9876543,NORD,120526,fast first\r"));
    for (const auto &line : members + birds)
        QVERIFY2(line.isEmpty() || line.count(',') == (members.contains(line) ? 8 : 7), line.constData());
    QVERIFY(sink.hasContaining(QStringLiteral("COTE.txt: 1 comma(s) inside fields were written as blanks")));
    QVERIFY(sink.hasContaining(QStringLiteral("RING.txt: 8 comma(s) inside fields were written as blanks")));
}

void TestExports::resultWorkbookInAnIndependentReader()
{
    db_->dm().exec(QStringLiteral("UPDATE ORV_PigRaceData SET FlySpeed=1234.5 WHERE PRingNo='GB16A12347'"));
    db_->dm().exec(QStringLiteral("UPDATE ORV_PigRaceData SET FlySpeed=1200.125 WHERE PRingNo='GB16A12345'"));
    db_->dm().exec(QStringLiteral("UPDATE ORV_PigRaceData SET FlyTime='03:32:03.123' WHERE PRingNo='GB16A12347'"));
    RaceResultList rows(db_->dm());
    rows.load(QStringLiteral("120526"));
    QCOMPARE(rows.rowCount(), 3); // the arrivals of loft 0001 (loft 0002 has no distance row)
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("result.xlsx"));
    RecordingSink sink;
    QVERIFY(ResultExports::saveResultWorkbook(rows, path, sink));

    const char *script = R"(
import sys, json, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
out = {'name': ws.title, 'head': [c.value for c in ws[1]],
       'C3': [ws['C3'].value, ws['C3'].number_format], 'D2': ws['D2'].number_format, 'E2': ws['E2'].number_format,
       'F2': [ws['F2'].value, ws['F2'].number_format], 'G2': ws['G2'].value, 'H2': ws['H2'].value,
       'widths': [ws.column_dimensions[c].width for c in 'CDEFGH']}
print(json.dumps(out))
)";
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    QCOMPARE(o.value(QStringLiteral("name")).toString(), QStringLiteral("Sheet1"));
    QCOMPARE(o.value(QStringLiteral("head")).toArray().toVariantList(),
             (QVariantList{QStringLiteral("Pos"), QStringLiteral("LiberCode"), QStringLiteral("PRingNo"),
                           QStringLiteral("BackTime"), QStringLiteral("FlyTime"), QStringLiteral("FlySpeed"),
                           QStringLiteral("LoftNo"), QStringLiteral("dist"), QStringLiteral("sex"),
                           QStringLiteral("ColorType"), QStringLiteral("TimeVari")}));
    QCOMPARE(o.value(QStringLiteral("C3")).toArray().toVariantList(),
             (QVariantList{QStringLiteral("GB16A12345"), QStringLiteral("@")}));
    QCOMPARE(o.value(QStringLiteral("D2")).toString(), QStringLiteral("@"));
    QCOMPARE(o.value(QStringLiteral("E2")).toString(), QStringLiteral("@"));
    QCOMPARE(o.value(QStringLiteral("F2")).toArray().toVariantList(), (QVariantList{1234.5, QStringLiteral("0.000")}));
    QCOMPARE(o.value(QStringLiteral("G2")).toString(), QStringLiteral("0001"));
    QCOMPARE(o.value(QStringLiteral("H2")).toString(), rows.value(0, QStringLiteral("DistText")).toString());
    QVERIFY(o.value(QStringLiteral("H2")).toString().contains(QLatin1Char('/'))); // Miles/Yards, not the stored distance
    const QJsonArray widths = o.value(QStringLiteral("widths")).toArray();
    const double want[] = {20, 25, 15, 10, 10, 20};
    for (int i = 0; i < 6; ++i)
        QVERIFY2(qAbs(widths.at(i).toDouble() - want[i]) < 1, qPrintable(QString::number(i)));
}

void TestExports::fileNames()
{
    QCOMPARE(ResultExports::winSpeedFileName(QDate(2016, 5, 26)), QStringLiteral("W0000021.D00"));
    QCOMPARE(ResultExports::winSpeedFileName(QDate(2021, 1, 3)), QStringLiteral("W0000053.D00"));
    RaceInfo r;
    r.raceCode = QStringLiteral("12340526");
    r.liberCode = QStringLiteral("1234");
    r.liberDate = QDate(2016, 5, 26);
    QCOMPARE(ResultExports::xmlFileName(r), QStringLiteral("RO0526_1234_2016-05-26.xml"));
}

QTEST_GUILESS_MAIN(TestExports)
#include "test_exports.moc"
