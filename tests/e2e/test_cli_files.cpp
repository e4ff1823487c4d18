// Files through the real program under a full disk and with crafted input: every export fails with a
// message and leaves the previous file as it was, input that is not a regular file is refused at
// once, and hostile workbooks are refused within bounded memory.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>

namespace {
// Mounts a small tmpfs at $1 in a mount namespace of its own (unprivileged through a user namespace),
// puts "previous" into each target named in $2 (separated by ":"), fills the rest of the space and runs
// the program; prints the exit code, then each target's content and the folder's listing.
const char *FullDiskScript = R"sh(
mnt=$1; targets=$2; shift 2
mount -t tmpfs -o size=256k tmpfs "$mnt" || exit 97
IFS=:; for t in $targets; do printf previous > "$mnt/$t"; done; unset IFS
cat /dev/zero > "$mnt/filler" 2>/dev/null
"$@"; echo "exit=$?"
IFS=:; for t in $targets; do echo "$t=$(cat "$mnt/$t")"; done; unset IFS
echo "files=$(LC_ALL=C ls "$mnt" | tr '\n' ' ')"
)sh";
} // namespace

class TestCliFiles : public QObject
{
    Q_OBJECT

    struct Run
    {
        int code = -1;
        QString output;
    };
    QTemporaryDir dir_;
    QString race_;

    QString data() const { return dir_.filePath("data"); }
    Run run(const QString &program, const QStringList &args, const QStringList &env = {})
    {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const QString &kv : env)
            e.insert(kv.section('=', 0, 0), kv.section('=', 1));
        p.setProcessEnvironment(e);
        p.start(program, args);
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished(3000);
            return {-2, QStringLiteral("timed out")};
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError())};
    }
    Run cli(const QStringList &args) { return run(QStringLiteral(CLI_EXE), QStringList{"--data", data()} + args); }
    void sql(const QString &statement)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "files");
            db.setDatabaseName(dir_.filePath("data/Pennavox_Europe.mdb"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY2(q.exec(statement), qPrintable(statement));
        }
        QSqlDatabase::removeDatabase("files");
    }
    // Runs the CLI with the export target on a full disk; the targets are file names in the mount.
    Run onFullDisk(const QString &mount, const QStringList &targets, const QStringList &args,
                   const QStringList &env = {})
    {
        return run(QStringLiteral("unshare"),
                   QStringList{"-rm", "sh", "-c", QString::fromUtf8(FullDiskScript), "sh", mount, targets.join(':'),
                               QStringLiteral(CLI_EXE), "--data", data()} +
                       args,
                   env);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QDir().mkpath(data());
        QCOMPARE(cli({"schema"}).code, 0);
        race_ = "1234" + QDate(2026, 5, 26).toString("MMdd");
        sql("INSERT INTO ORV_ClubData (ClubID, ClubName, AssociationCode, Language, Mode, DBBackupDays, PrintCount) "
            "VALUES ('NC','North Club','BE',0,0,0,1)");
        QCOMPARE(cli({"member-save", "001", "Adams", "--assoc", "BE"}).code, 0);
        QCOMPARE(cli({"ring-add", "001", "BELG", "2026", "", "3001001"}).code, 0);
        sql("INSERT INTO ORV_LiberateSite (LiberCode, LiberSite, LiberSiteAbbr) VALUES ('1234','Quievrain','QUIEV')");
        sql(QString("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, LiberTime, "
                    "Updatetime, SynchFlag, RaceCode, DeleteMark) VALUES ('NC','1234','Quievrain','QUIEV',"
                    "'2026-05-26','07:00:00','2026-05-26 06:00:00',1,'%1',0)")
                .arg(race_));
        sql(QString("INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, RaceCode, MarkedTime, "
                    "BackTime) VALUES ('NC','1234','2026-05-26','BELG263001001','%1','2026-05-25 19:00:00',"
                    "'2026-05-26 11:30:15.250')")
                .arg(race_));
    }

    void fullDiskFailsEveryExportAndKeepsThePreviousFile()
    {
        const QString mount = dir_.filePath("full");
        QDir().mkpath(mount);
        const Run probe = onFullDisk(mount, {"probe"}, {"schema"});
        if (probe.code == 97 || !probe.output.contains("exit="))
            QSKIP(qPrintable("no small file system can be mounted here (a user namespace is needed): " +
                             probe.output));
        const QString m = mount + '/';
        struct Case
        {
            QStringList targets, args;
        };
        const QList<Case> cases = {
            {{"COTE.txt"}, {"export", "cote", m + "COTE.txt"}},
            {{"COTE.txt", "RING.txt"}, {"export", "sms", race_, mount}},
            {{"W0000022.D00"}, {"export", "winspeed", race_, m + "W0000022.D00"}},
            {{"RO.xml"}, {"export", "xml", race_, m + "RO.xml"}},
            {{"result.xlsx"}, {"export", "xlsx", race_, m + "result.xlsx"}},
            {{"marked.xlsx"}, {"export", "marked", race_, m + "marked.xlsx"}},
            {{"multi.xlsx"}, {"export", "multi", "001", m + "multi.xlsx"}},
            {{"pigeons.xlsx"}, {"export", "pigeons", m + "pigeons.xlsx"}},
            {{"loft.xlsx"}, {"export", "pigeons", m + "loft.xlsx", "--loft", "001"}},
            {{"DISTANCES.txt"}, {"distance-request", m + "DISTANCES.txt"}},
            {{"captions.tsv"}, {"captions", "export", "Deutsch", m + "captions.tsv"}},
            {{"members.pdf"}, {"report", "member-list", m + "members.pdf"}},
        };
        for (const Case &c : cases) {
            const Run r = onFullDisk(mount, c.targets, c.args);
            const QString what = c.args.join(' ') + ":\n" + r.output;
            QVERIFY2(r.output.contains("exit=1"), qPrintable(what));
            QVERIFY2(r.output.contains("failure: "), qPrintable(what));
            QVERIFY2(!r.output.contains("success: "), qPrintable(what));
            for (const QString &t : c.targets)
                QVERIFY2(r.output.contains(t + "=previous\n"), qPrintable(what));
            // No temporary file of the failed save is left beside the target.
            QString expected = "files=";
            QStringList names = c.targets;
            names << "filler";
            names.sort();
            expected += names.join(' ') + ' ';
            QVERIFY2(r.output.contains(expected), qPrintable(what));
        }

        // A workbook is packed in the temporary folder first; a full one is named as such.
        const Run tmp = onFullDisk(mount, {"kept.xlsx"}, {"export", "pigeons", dir_.filePath("p.xlsx")},
                                   {"TMPDIR=" + mount});
        QVERIFY2(tmp.output.contains("exit=1"), qPrintable(tmp.output));
        const QString failure = tmp.output.section("failure: ", 1).section('\n', 0, 0);
        QVERIFY2(failure.contains("the temporary folder " + mount + ": the folder is full"), qPrintable(tmp.output));
        QVERIFY2(!failure.contains("ZIP_ERRNO"), qPrintable(tmp.output));
    }

    void inputThatIsNotARegularFileIsRefusedAtOnce()
    {
        const QString fifo = dir_.filePath("pipe");
        QCOMPARE(QProcess::execute("mkfifo", {fifo}), 0);
        const QString refusal = fifo + " is not a regular file";
        for (const QStringList &args : {QStringList{"import", "pigeons", fifo}, QStringList{"import-distances", fifo},
                                        QStringList{"captions", "import", fifo}}) {
            const Run r = cli(args);
            QVERIFY2(r.code == 1, qPrintable(args.join(' ') + ": " + r.output));
            QVERIFY2(r.output.contains(refusal), qPrintable(args.join(' ') + ": " + r.output));
        }
    }

    void hostileWorkbooksAreRefusedInBoundedMemory()
    {
        // Millions of nested elements in a few kB: in a sheet, inside an inline text, and a flat
        // flood of elements.
        const char *script = R"(
import sys, zipfile
ns = 'http://schemas.openxmlformats.org/'
head = '<worksheet xmlns="' + ns + 'spreadsheetml/2006/main"><sheetData>'
n = 5000000
sheets = {
  'nested': head + '<x>' * n + '</x>' * n + '</sheetData></worksheet>',
  'inline': head + '<row r="1"><c r="A1" t="inlineStr"><is><t>a</t>' + '<x>' * n + '</x>' * n
            + '</is></c></row></sheetData></worksheet>',
  'flood': head + '<x/>' * (4 * n) + '</sheetData></worksheet>',
}
for name, sheet in sheets.items():
    z = zipfile.ZipFile(sys.argv[1] + '/' + name + '.xlsx', 'w', zipfile.ZIP_DEFLATED)
    z.writestr('[Content_Types].xml', '<Types xmlns="' + ns + 'package/2006/content-types"/>')
    z.writestr('_rels/.rels', '<Relationships xmlns="' + ns + 'package/2006/relationships"><Relationship '
               'Id="rId1" Type="' + ns + 'officeDocument/2006/relationships/officeDocument" '
               'Target="xl/workbook.xml"/></Relationships>')
    z.writestr('xl/workbook.xml', '<workbook xmlns="' + ns + 'spreadsheetml/2006/main" xmlns:r="' + ns +
               'officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>')
    z.writestr('xl/_rels/workbook.xml.rels', '<Relationships xmlns="' + ns + 'package/2006/relationships">'
               '<Relationship Id="rId1" Type="' + ns + 'officeDocument/2006/relationships/worksheet" '
               'Target="worksheets/sheet1.xml"/></Relationships>')
    z.writestr('xl/worksheets/sheet1.xml', sheet)
    z.close()
print('ok')
)";
        const Run made = run("/usr/bin/python3", {"-c", QString::fromUtf8(script), dir_.path()});
        QCOMPARE(made.output.trimmed(), QStringLiteral("ok"));
        for (const char *name : {"nested", "inline", "flood"}) {
            const QString path = dir_.filePath(QString::fromLatin1(name) + ".xlsx");
            QVERIFY(QFileInfo(path).size() < 400 * 1024);
            const Run r = cli({"import", "pigeons", path});
            QVERIFY2(r.code == 1, qPrintable(QString::fromLatin1(name) + ": " + r.output));
            QVERIFY2(r.output.startsWith("failure: The workbook cannot be read: its part xl/worksheets/sheet1.xml "),
                     qPrintable(QString::fromLatin1(name) + ": " + r.output));
        }
        // The largest resident size of any program this test ran.
        rusage usage{};
        QCOMPARE(getrusage(RUSAGE_CHILDREN, &usage), 0);
        QVERIFY2(usage.ru_maxrss < 512 * 1024, qPrintable(QString("%1 kB").arg(usage.ru_maxrss)));
    }
};

QTEST_GUILESS_MAIN(TestCliFiles)
#include "test_cli_files.moc"
