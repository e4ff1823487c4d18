// The files the program writes on a club's PC: under each of the six languages' locales and on
// European time, every export is the one written under the C locale and UTC. Each export is a
// pennavox-cli run of its own with that environment, as a secretary's PC starts it.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Condition
{
    const char *name;
    const char *locale; // LANG and LC_ALL
    const char *zone;   // TZ
};
const Condition Plain{"C", "C", "UTC"};
const Condition Clubs[] = {
    {"German", "de_DE.UTF-8", "Europe/Brussels"},    {"Czech", "cs_CZ.UTF-8", "Europe/Prague"},
    {"Romanian", "ro_RO.UTF-8", "Europe/Bucharest"}, {"Spanish", "es_ES.UTF-8", "Europe/Madrid"},
    {"French", "fr_FR.UTF-8", "Europe/Paris"},       {"Hungarian", "hu_HU.UTF-8", "Europe/Budapest"}};

// Every part of a workbook (the creation time of its properties masked) and what openpyxl reads:
// each cell's value, type and number format, and the column widths.
const char *workbookScript = R"(
import sys, json, re, zipfile, openpyxl
z = zipfile.ZipFile(sys.argv[1])
parts = {}
for n in sorted(z.namelist()):
    t = z.read(n).decode('utf-8')
    parts[n] = re.sub(r'(<dcterms:(created|modified)[^>]*>)[^<]*', r'\1', t)
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
cells = [[c.coordinate, c.value, type(c.value).__name__, c.number_format]
         for row in ws.iter_rows() for c in row if c.value is not None]
widths = {k: v.width for k, v in ws.column_dimensions.items()}
print(json.dumps({'parts': parts, 'cells': cells, 'widths': widths}, sort_keys=True))
)";
} // namespace

class TestClubConditions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void exportsReadTheSameOnEveryClubsPc();

private:
    struct Run
    {
        int code;
        QString out;
    };
    Run cli(const Condition &c, const QStringList &args);
    void sql(const QString &statement);
    // The files written by every export under the condition, by name.
    QMap<QString, QByteArray> exportAll(const Condition &c);
    QJsonObject describe(const QString &workbook);

    QTemporaryDir dir_;
};

TestClubConditions::Run TestClubConditions::cli(const Condition &c, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QString::fromLatin1(c.locale));
    env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(c.locale));
    env.insert(QStringLiteral("TZ"), QString::fromLatin1(c.zone));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(CLI_EXE), QStringList{"--data", dir_.filePath("data")} + args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
}

void TestClubConditions::sql(const QString &statement)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "conditions");
        db.setDatabaseName(dir_.filePath("data/Pennavox_Europe.mdb"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY2(q.exec(statement), qPrintable(statement));
    }
    QSqlDatabase::removeDatabase("conditions");
}

void TestClubConditions::initTestCase()
{
    QVERIFY(dir_.isValid());
    QCOMPARE(cli(Plain, {"schema"}).code, 0);
    sql("INSERT INTO ORV_ClubData (ClubID, ClubName, AssociationCode, Language, Mode, DBBackupDays, "
        "PrintCount) "
        "VALUES ('NC','North Club','BE',0,0,0,1)");
    sql("INSERT INTO ORV_LoftData (LoftNo, LoftName, City) VALUES "
        "('001','Adams','Liège'),('002','Brown','Brno')");
    sql("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegNumber, Sex, ColorType, E_Ring, "
        "SynchFlag, "
        "DeleteMark) VALUES ('001','BELG24-3001001','BELG','24','3001001','H','BB','E1',0,0),"
        "('001','BELG24-3001002','BELG','24','3001002','C','BC','E2',0,0),"
        "('002','BELG24-3002001','BELG','24','3002001','H','BB','E3',0,0)");
    // A race of the Saturday before the change of time in March 2024, one bird home the next day.
    sql("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, LiberTime, "
        "LiberLon, "
        "LiberLat, Updatetime, SynchFlag, RaceCode, DeleteMark) VALUES ('NC','1234','Quiévrain','QUIEV',"
        "'2024-03-30','08:00:00','E0034020','N5024030','2024-03-29 10:00:00',0,'12340330',0)");
    sql("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES ('1234','001',500,250),"
        "('1234','002',612,125)");
    sql("INSERT INTO ORV_SunSet_SunRise (RaceCode, RaceDate, SunSet, SunRise) VALUES "
        "('12340330','2024-03-30','20:05:00','07:12:00'),('12340330','2024-03-31','20:07:00','07:09:00')");
    sql("INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, BackTime, FlySpeed, Dist, "
        "ClockID, "
        "TimeVari, MarkedTime, FlyTime, BackLon, BackLat, RaceCode) VALUES "
        "('NC','1234','2024-03-30','BELG24-3001001','2024-03-30 16:53:10.250',936.247,500250,'1A2B3C4D',3,"
        "'2024-03-29 19:00:00','08:53:10.250','E004''15:27.05','N050''51:10.00','12340330'),"
        "('NC','1234','2024-03-30','BELG24-3001002','2024-03-31 08:15:42.000',812.5,500250,'1A2B3C4D',-2,"
        "'2024-03-29 19:01:00','13:11:42.000','0000''00:00','0000''00:00','12340330'),"
        "('NC','1234','2024-03-30','BELG24-3002001','2024-03-30 18:01:00.125',1017.604,612125,'0C0D0E0F',0,"
        "'2024-03-29 19:05:00','10:01:00.125','E004''02:11.40','N050''47:59.99','12340330')");
    sql("INSERT INTO ORV_RaceClockTime (LiberCode, LiberDate, LoftNo, ClockID, DLMarkedTime, ULMasterTime, "
        "ULClockTime, DLMasterTime, RaceCode) VALUES ('1234','2024-03-30','001','1A2B3C4D','2024-03-29 "
        "19:00:00',"
        "'2024-03-31 10:00:00','2024-03-31 10:00:03','2024-03-29 19:00:00','12340330')");
}

QMap<QString, QByteArray> TestClubConditions::exportAll(const Condition &c)
{
    const QString out = dir_.filePath(QString::fromLatin1(c.name));
    QDir().mkpath(out + "/sms");
    const QList<QStringList> runs{
        {"export", "xlsx", "12340330", out + "/result.xlsx"},
        {"export", "xml", "12340330", out + "/result.xml"},
        {"export", "winspeed", "12340330", out + "/winspeed.txt"},
        {"export", "marked", "12340330", out + "/marked.xlsx"},
        {"export", "sms", "12340330", out + "/sms"},
        {"export", "multi", "001", out + "/multi.xlsx", "--from", "2024-03-01"},
        {"export", "pigeons", out + "/pigeons.xlsx"},
        {"export", "cote", out + "/cote.txt"},
    };
    for (const QStringList &args : runs) {
        const Run r = cli(c, args);
        if (r.code != 0)
            qWarning().noquote() << c.name << args.join(' ') << r.out;
    }
    QMap<QString, QByteArray> files;
    QDirIterator it(out, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files.insert(QDir(out).relativeFilePath(path), f.readAll());
    }
    // The result list as the CLI prints it: the C library's numbers never reach it either.
    files.insert("results (printed)", cli(c, {"results", "12340330", "--raw"}).out.toUtf8());
    return files;
}

QJsonObject TestClubConditions::describe(const QString &workbook)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {"-c", QString::fromLatin1(workbookScript), workbook});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning().noquote() << p.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

void TestClubConditions::exportsReadTheSameOnEveryClubsPc()
{
    const QMap<QString, QByteArray> plain = exportAll(Plain);
    for (const char *name : {"result.xlsx", "result.xml", "winspeed.txt", "marked.xlsx", "multi.xlsx",
                             "pigeons.xlsx", "cote.txt"})
        QVERIFY2(plain.value(name).size() > 0, name);
    QVERIFY(plain.size() >= 10); // the SMS folder holds two files

    // Under C the velocities are numbers with their format, the codes texts.
    const QJsonObject plainResult = describe(dir_.filePath("C/result.xlsx"));
    int numbers = 0;
    for (const QJsonValue &cell : plainResult.value("cells").toArray()) {
        const QJsonArray c = cell.toArray();
        if (c.at(2).toString() == "float" && c.at(1).toDouble() == 936.247) {
            ++numbers;
            QCOMPARE(c.at(3).toString(), QStringLiteral("0.000"));
        }
    }
    QCOMPARE(numbers, 1);

    QMap<QString, QJsonObject> refs; // what the reader sees of each workbook written under C
    for (auto it = plain.constBegin(); it != plain.constEnd(); ++it)
        if (it.key().endsWith(".xlsx"))
            refs.insert(it.key(),
                        it.key() == "result.xlsx" ? plainResult : describe(dir_.filePath("C/" + it.key())));

    for (const Condition &club : Clubs) {
        const QMap<QString, QByteArray> files = exportAll(club);
        QCOMPARE(files.keys(), plain.keys());
        for (auto it = plain.constBegin(); it != plain.constEnd(); ++it) {
            const QString what = QStringLiteral("%1 %2").arg(QString::fromLatin1(club.name), it.key());
            if (!it.key().endsWith(".xlsx")) {
                QVERIFY2(files.value(it.key()) == it.value(), qPrintable(what + " differs"));
                continue;
            }
            const QJsonObject mine = describe(dir_.filePath(QString::fromLatin1(club.name) + "/" + it.key()));
            const QJsonObject ref = refs.value(it.key());
            QVERIFY2(!ref.isEmpty() && !mine.isEmpty(), qPrintable(what + " unreadable"));
            // Every part of the file byte for byte, then what a reader sees (numbers as numbers).
            const QJsonObject parts = mine.value("parts").toObject(),
                              refParts = ref.value("parts").toObject();
            QCOMPARE(parts.keys(), refParts.keys());
            for (const QString &part : refParts.keys())
                QVERIFY2(parts.value(part) == refParts.value(part),
                         qPrintable(what + ": " + part + " differs"));
            QVERIFY2(mine.value("cells") == ref.value("cells"), qPrintable(what + ": cells differ"));
            QVERIFY2(mine.value("widths") == ref.value("widths"), qPrintable(what + ": widths differ"));
        }
    }
}

QTEST_GUILESS_MAIN(TestClubConditions)
#include "test_club_conditions.moc"
