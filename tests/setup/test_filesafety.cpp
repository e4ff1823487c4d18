// The club database under kills, full disks, a second program and a read-only folder.
#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include "app/startup.h"
#include "members/pigeonexchange.h"
#include "setup/backuprestore.h"
#include "store/faulthook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
// What a club database holds, as "CLUB/pigeons"; "?" when it cannot be read as one.
QString contentOf(TdmORVS &dm)
{
    const QVariant club = dm.scalar("SELECT ClubID FROM ORV_ClubData");
    return club.toString() + "/" + dm.scalar("SELECT COUNT(*) FROM ORV_PigData").toString();
}

QString contentOfFile(const QString &path)
{
    if (!BackupRestore::checkClubDatabase(path).isEmpty())
        return "?";
    QString out = "?";
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "content");
        c.setDatabaseName(path); // not read-only: the last connection tidies a -wal and -shm away
        if (c.open()) {
            QSqlQuery q(c);
            if (q.exec("SELECT (SELECT ClubID FROM ORV_ClubData), (SELECT COUNT(*) FROM ORV_PigData)") && q.next())
                out = q.value(0).toString() + "/" + q.value(1).toString();
        }
    }
    QSqlDatabase::removeDatabase("content");
    return out;
}

void seedClub(TdmORVS &dm, const QString &club, int pigeons, int backupDays = 0)
{
    dm.exec("INSERT INTO ORV_ClubData (ClubID, ClubName, AssociationCode, DBBackupDays) VALUES (?, 'Club', 'BE', ?)",
            {club, backupDays});
    dm.exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('001', 'Loft')");
    for (int i = 0; i < pigeons; ++i)
        dm.exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, DeleteMark) VALUES ('001', ?, 0)",
                {QString("%1-%2").arg(club).arg(i)});
}

void copyTree(const QString &from, const QString &to)
{
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    const QDir src(from);
    for (const QFileInfo &fi : src.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (fi.isDir())
            copyTree(fi.filePath(), to + "/" + fi.fileName());
        else if (QFile::copy(fi.filePath(), to + "/" + fi.fileName())) {
            QFile f(to + "/" + fi.fileName()); // the file dates decide whether a backup is due
            if (f.open(QIODevice::ReadWrite))
                f.setFileTime(fi.lastModified(), QFileDevice::FileModificationTime);
        }
    }
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

struct Run
{
    bool killed = false;
    int exitCode = -1;
    QString output;
    qint64 ms = 0;
};

Run cli(const QStringList &args, const QByteArray &fault = {}, const QStringList &prefix = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!fault.isEmpty())
        env.insert("PENNAVOX_FAULT", QString::fromLatin1(fault));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer t;
    t.start();
    if (prefix.isEmpty())
        p.start(CLI_EXE, args);
    else
        p.start(prefix.first(), prefix.mid(1) + QStringList{CLI_EXE} + args);
    Run r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
    }
    r.ms = t.elapsed();
    r.killed = p.exitStatus() == QProcess::CrashExit;
    r.exitCode = p.exitCode();
    r.output = QString::fromUtf8(p.readAll());
    return r;
}
} // namespace

class TestFileSafety : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { FaultHook::setDiskFull(false); }
    void killedAtEveryStep_data();
    void killedAtEveryStep();
    void fullDiskKeepsEveryPreviousFile();
    void secondProgramOnTheFolderIsToldAtOnce();
    void readOnlyFolderIsOpenedForReading();

private:
    QTemporaryDir dir_;
    QString pristine_;
    QString today_;
};

void TestFileSafety::initTestCase()
{
    // Every connection of this process goes through the counting file layer from here on.
    FaultHook::setDiskFull(false);
    today_ = QDate::currentDate().toString("yyMMdd");
    // The world each run starts from: a club OLD of 20 pigeons in P, its shared backup folder with a
    // backup of 7 pigeons due for renewal, a chosen backup of the day with 9, a club NEW of 35 to
    // restore and a sheet of 30 more pigeons to import.
    pristine_ = dir_.filePath("pristine");
    {
        TdmORVS dm(pristine_ + "/P");
        seedClub(dm, "OLD", 7, 1);
    }
    QDir().mkpath(pristine_ + "/Backup");
    QDir().mkpath(pristine_ + "/bk");
    QVERIFY(QFile::copy(pristine_ + "/P/Pennavox_Europe.mdb", pristine_ + "/Backup/Pennavox_Europe.bak"));
    {
        QFile f(pristine_ + "/Backup/Pennavox_Europe.bak");
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime(QDate::currentDate().addDays(-30), QTime(12, 0)),
                              QFileDevice::FileModificationTime));
    }
    {
        TdmORVS dm(pristine_ + "/P");
        for (int i = 7; i < 9; ++i)
            dm.exec("INSERT INTO ORV_PigData (LoftNo, PRingNo) VALUES ('001', ?)", {QString("OLD-%1").arg(i)});
    }
    QVERIFY(QFile::copy(pristine_ + "/P/Pennavox_Europe.mdb", pristine_ + "/bk/mine_" + today_ + ".Bak"));
    {
        TdmORVS dm(pristine_ + "/P");
        for (int i = 9; i < 20; ++i)
            dm.exec("INSERT INTO ORV_PigData (LoftNo, PRingNo) VALUES ('001', ?)", {QString("OLD-%1").arg(i)});
        QCOMPARE(contentOf(dm), QString("OLD/20"));
    }
    {
        TdmORVS dm(dir_.filePath("new"));
        seedClub(dm, "NEW", 35);
    }
    QVERIFY(QFile::copy(dir_.filePath("new/Pennavox_Europe.mdb"), pristine_ + "/new.Bak"));
    {
        TdmORVS dm(dir_.filePath("sheet"));
        seedClub(dm, "SHEET", 30);
        RecordingSink sink;
        QVERIFY(PigeonExchange::savePigeons(dm, "001", pristine_ + "/pigeons.xlsx", sink));
    }
    QCOMPARE(contentOfFile(pristine_ + "/Backup/Pennavox_Europe.bak"), QString("OLD/7"));
    QCOMPARE(contentOfFile(pristine_ + "/bk/mine_" + today_ + ".Bak"), QString("OLD/9"));
}

void TestFileSafety::killedAtEveryStep_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("after"); // what the club holds when the operation is done
    QTest::newRow("backup") << QStringList{"backup", "@/bk/mine"} << "OLD/20";
    QTest::newRow("automatic backup") << QStringList{"auto-backup"} << "OLD/20";
    QTest::newRow("restore") << QStringList{"restore", "@/new.Bak"} << "NEW/35";
    QTest::newRow("import") << QStringList{"import", "pigeons", "@/pigeons.xlsx"} << "OLD/50";
}

// Killed before each file-system step in turn (so also after the one before it): the club is
// there, whole, old or new, the next start opens it without the first-run setup, and nothing
// stray is left once the next start (and, for backups, the next backup) has run.
void TestFileSafety::killedAtEveryStep()
{
    QFETCH(QStringList, args);
    QFETCH(QString, after);
    const QString run = dir_.filePath("run");
    for (QString &a : args)
        a.replace("@", run);
    const QStringList command = QStringList{"--data", run + "/P"} + args;
    const QString bak = run + "/bk/mine_" + today_ + ".Bak";
    int steps = 0;
    for (int k = 1;; ++k) {
        QVERIFY2(k < 2000, "the operation never ended");
        copyTree(pristine_, run);
        const Run r = cli(command, "kill:" + QByteArray::number(k));
        const QString where = QString("%1, killed at step %2").arg(QTest::currentDataTag()).arg(k);
        if (!r.killed)
            QVERIFY2(r.exitCode == 0, qPrintable(where + ": " + r.output));

        const bool leftover = QFileInfo::exists(run + "/P/Pennavox_Europe.mdb.restore");
        QVERIFY2(QFileInfo::exists(run + "/P/Pennavox_Europe.mdb"), qPrintable(where));
        {
            TdmORVS next(run + "/P"); // the next start
            QVERIFY2(!next.createdNow(), qPrintable(where));
            QCOMPARE(next.scalar("PRAGMA integrity_check").toString(), QString("ok"));
            const QString c = contentOf(next);
            QVERIFY2(c == "OLD/20" || c == after, qPrintable(where + ": " + c));
            if (!r.killed)
                QCOMPARE(c, after);
            // A start that finds a restore's leftovers says whether it had finished.
            if (leftover)
                QVERIFY2(next.startNotice().contains(c == "OLD/20" ? "before it changed the club database"
                                                                   : "after it had put the backup in place"),
                         qPrintable(where + ": " + next.startNotice()));
        }
        QStringList allowed{"ORVS.udl", "Pennavox_Europe.mdb"};
        if (args.first() == "restore")
            allowed << "Pennavox_Europe.mdb.previous";
        for (const QString &f : filesIn(run + "/P"))
            QVERIFY2(allowed.contains(f), qPrintable(where + ": stray " + f));
        if (args.first() == "restore" && QFileInfo::exists(run + "/P/Pennavox_Europe.mdb.previous"))
            QCOMPARE(contentOfFile(run + "/P/Pennavox_Europe.mdb.previous"), QString("OLD/20"));

        if (args.first() == "backup") {
            // The previous backup of that name, or the new one: never a half.
            const QString c = contentOfFile(bak);
            QVERIFY2(c == "OLD/9" || c == "OLD/20", qPrintable(where + ": " + c));
            QVERIFY(cli({"--data", run + "/P", "backup", run + "/bk/mine"}).exitCode == 0);
            QCOMPARE(filesIn(run + "/bk"), QStringList{"mine_" + today_ + ".Bak"});
        }
        if (args.first() == "auto-backup") {
            // The earlier backup is, at every instant, the current one or the archive.
            const QString archive = "Pennavox_Europe_" + QDate::currentDate().addDays(-30).toString("yyyyMMdd") + ".bak";
            const QStringList kept{contentOfFile(run + "/Backup/Pennavox_Europe.bak"),
                                   contentOfFile(run + "/Backup/" + archive)};
            QVERIFY2(kept.contains("OLD/7"), qPrintable(where + ": " + kept.join(' ')));
            const Run again = cli({"--data", run + "/P", "auto-backup"});
            QVERIFY2(again.exitCode == 0, qPrintable(again.output));
            QCOMPARE(filesIn(run + "/Backup"), QStringList({"Pennavox_Europe.bak", archive}));
            QCOMPARE(contentOfFile(run + "/Backup/" + archive), QString("OLD/7"));
            QCOMPARE(contentOfFile(run + "/Backup/Pennavox_Europe.bak"), QString("OLD/20"));
        }
        if (!r.killed) {
            steps = k - 1;
            break;
        }
    }
    qInfo("%s: %d file-system steps, killed before each", QTest::currentDataTag(), steps);
    QVERIFY(steps > 3);
}

void TestFileSafety::fullDiskKeepsEveryPreviousFile()
{
    const QString run = dir_.filePath("full");
    copyTree(pristine_, run);
    TdmORVS dm(run + "/P");
    RecordingSink sink;
    FaultHook::setDiskFull(true);
    const QString bak = run + "/bk/mine_" + today_ + ".Bak";
    QVERIFY(!BackupRestore::backup(dm, run + "/bk/mine", QDate::currentDate(), sink));
    QVERIFY2(sink.last().startsWith("backup failed, please retry! the disk is full; free space on it and retry"),
             qPrintable(sink.last()));
    const auto automatic = Startup::automaticBackup(dm, 1, QDate::currentDate());
    QCOMPARE(automatic.outcome, Startup::BackupResult::Failed);
    QVERIFY2(automatic.error.startsWith("the disk is full"), qPrintable(automatic.error));
    sink.clear();
    const auto imported = PigeonExchange::importPigeons(dm, run + "/pigeons.xlsx", sink);
    QVERIFY(!imported.ok);
    QVERIFY2(sink.hasContaining("The disk is full: the change was not stored"), qPrintable(sink.texts().join('\n')));
    QVERIFY(!sink.hasContaining("Unknown error"));
    FaultHook::setDiskFull(false);

    // Each previous file as it was, nothing half-written beside it, the club intact.
    QCOMPARE(contentOfFile(bak), QString("OLD/9"));
    QCOMPARE(contentOfFile(run + "/Backup/Pennavox_Europe.bak"), QString("OLD/7"));
    QCOMPARE(filesIn(run + "/bk"), QStringList{"mine_" + today_ + ".Bak"});
    QCOMPARE(filesIn(run + "/Backup"), QStringList{"Pennavox_Europe.bak"});
    QCOMPARE(dm.scalar("PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(contentOf(dm), QString("OLD/20"));
    // With room again, the same work succeeds.
    QVERIFY(PigeonExchange::importPigeons(dm, run + "/pigeons.xlsx", sink).ok);
    QVERIFY(BackupRestore::backup(dm, run + "/bk/mine", QDate::currentDate(), sink));
    QCOMPARE(contentOfFile(bak), QString("OLD/50"));
}

void TestFileSafety::secondProgramOnTheFolderIsToldAtOnce()
{
    const QString run = dir_.filePath("second");
    copyTree(pristine_, run);
    TdmORVS writer(run + "/P"); // this program writes the club
    const Run write = cli({"--data", run + "/P", "import", "pigeons", run + "/pigeons.xlsx"});
    QCOMPARE(write.exitCode, 1);
    const QString holder = QString("open for writing in %1 (process %2)")
                               .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName())
                               .arg(QCoreApplication::applicationPid());
    QVERIFY2(write.output.contains(holder), qPrintable(write.output));
    QVERIFY2(write.ms < 3000, qPrintable(QString::number(write.ms))); // no wait for a busy database
    const Run restore = cli({"--data", run + "/P", "restore", run + "/new.Bak"});
    QCOMPARE(restore.exitCode, 1);
    QVERIFY2(restore.output.contains(holder), qPrintable(restore.output));
    // Reading and backing up still work.
    const Run read = cli({"--data", run + "/P", "members"});
    QVERIFY2(read.exitCode == 0 && read.output.contains("001 members"), qPrintable(read.output));
    QCOMPARE(cli({"--data", run + "/P", "backup", run + "/bk/other"}).exitCode, 0);
    QCOMPARE(contentOfFile(run + "/bk/other_" + today_ + ".Bak"), QString("OLD/20"));
    QCOMPARE(contentOf(writer), QString("OLD/20"));
    writer.exec("INSERT INTO ORV_PigData (LoftNo, PRingNo) VALUES ('001', 'MINE')");
}

void TestFileSafety::readOnlyFolderIsOpenedForReading()
{
#ifdef Q_OS_UNIX
    const QString run = dir_.filePath("readonly");
    copyTree(pristine_, run);
    QStringList asOther;
    if (::geteuid() == 0) {
        // Root writes everywhere: the program runs as nobody, for whom the folder is read-only.
        if (QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP("setpriv is needed to run the program as another user");
        asOther = {QStandardPaths::findExecutable("setpriv"), "--reuid=65534", "--regid=65534", "--clear-groups"};
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(dir_.path(), open));
        QVERIFY(QFile::setPermissions(run + "/bk", open | QFile::WriteOther));
    } else {
        QFile::setPermissions(run + "/P", QFile::ReadOwner | QFile::ExeOwner);
    }
    const Run read = cli({"--data", run + "/P", "members"}, {}, asOther);
    QVERIFY2(read.exitCode == 0 && read.output.contains("001 members"), qPrintable(read.output));
    const Run backup = cli({"--data", run + "/P", "backup", run + "/bk/ro"}, {}, asOther);
    QVERIFY2(backup.exitCode == 0, qPrintable(backup.output));
    QCOMPARE(contentOfFile(run + "/bk/ro_" + today_ + ".Bak"), QString("OLD/20"));
    const Run write = cli({"--data", run + "/P", "member-save", "002", "New"}, {}, asOther);
    QCOMPARE(write.exitCode, 1);
    QVERIFY2(write.output.contains("The data folder " + QDir::toNativeSeparators(run + "/P") +
                                   " is read-only: the club is open for reading only."),
             qPrintable(write.output));
    QFile::setPermissions(run + "/P", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#else
    QSKIP("folder permissions of this kind exist on Unix");
#endif
}

QTEST_GUILESS_MAIN(TestFileSafety)
#include "test_filesafety.moc"
