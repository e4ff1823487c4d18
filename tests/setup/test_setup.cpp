#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include "device/twinapiv8.h"
#include "setup/backuprestore.h"
#include "setup/clubdownload.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <thread>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

class TestSetup : public QObject
{
    Q_OBJECT
private slots:
    void backupNames();
    void backupOfTheDayIsOverwritten();
    void restorePutsTheBackupInPlace();
    void restoreRefusesAFileThatIsNoClubDatabase();
    void restoreChecksEveryTableAndTheClubRow();
    void restoreReachesEveryOpenConnection();
    void restoreReadsTheLogOfAFileInUse();
    void restoreTakesOnlyTheTablesOfAClub();
    void backupAndRestoreRefuseWhatIsNoFile();
    void backupNamesArePlainFileNames();
    void clubDownloadTiesTheAntennaToTheClub();
    void clubDownloadToAnAntennaOfAnotherClub();
};

void TestSetup::backupNames()
{
    const QDate d(2020, 12, 31);
    QCOMPARE(BackupRestore::backupName("C:/Club/backup", d), QString("C:/Club/backup_201231.Bak"));
    QCOMPARE(BackupRestore::backupName("C:/Club/old.Bak", d), QString("C:/Club/old.Bak_201231.Bak"));
}

void TestSetup::backupOfTheDayIsOverwritten()
{
    TestDb db;
    RecordingSink sink;
    const QString chosen = db.root() + "/mine";
    const QDate day(2026, 12, 9);
    QVERIFY(BackupRestore::backup(db.dm(), chosen, day, sink));
    QCOMPARE(sink.last(), QString("backup was successful!"));
    db.insertClub();
    QVERIFY(BackupRestore::backup(db.dm(), chosen, day, sink));
    const QString file = BackupRestore::backupName(chosen, day);
    {
        TestDb other;
        QVERIFY(BackupRestore::restore(other.dm(), file, sink));
        other.reopen();
        QCOMPARE(other.dm().scalar("SELECT COUNT(*) FROM ORV_ClubData").toInt(), 1); // the second backup
    }
    QVERIFY(!BackupRestore::backup(db.dm(), db.root() + "/no/such/folder/x", day, sink));
    // The reason follows, with the folder named.
    QCOMPARE(sink.last(), "backup failed, please retry! the folder " +
                              QDir::toNativeSeparators(db.root() + "/no/such/folder") + " does not exist");
}

void TestSetup::restorePutsTheBackupInPlace()
{
    TestDb db;
    RecordingSink sink;
    db.insertClub("OLD");
    const QDate day(2026, 12, 9);
    QVERIFY(BackupRestore::backup(db.dm(), db.root() + "/bk", day, sink));
    db.dm().exec("DELETE FROM ORV_ClubData");
    db.dm().exec("INSERT INTO ORV_LoftData (LoftNo) VALUES ('001')");
    QVERIFY(BackupRestore::restore(db.dm(), BackupRestore::backupName(db.root() + "/bk", day), sink));
    QCOMPARE(sink.last(), QString("successful recovery of data!"));
    QVERIFY(!db.dm().adocORVS().isOpen()); // the program must end now
    db.reopen();                            // the next start
    QCOMPARE(db.dm().scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("OLD"));
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftData").toInt(), 0);
    // The replaced database is kept beside the new one, not deleted; nothing else is left behind.
    QVERIFY(QFile::exists(db.dm().databasePath() + ".previous"));
    QCOMPARE(BackupRestore::checkClubDatabase(db.dm().databasePath() + ".previous"), QString("it holds no club record"));
    db.close();
    QCOMPARE(QDir(db.dataFolder()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"ORVS.udl", "Pennavox_Europe.mdb", "Pennavox_Europe.mdb.previous"}));
}

void TestSetup::restoreRefusesAFileThatIsNoClubDatabase()
{
    TestDb db;
    RecordingSink sink;
    db.insertClub();
    QFile junk(db.root() + "/junk.Bak");
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a database");
    junk.close();
    QVERIFY(!BackupRestore::restore(db.dm(), junk.fileName(), sink));
    QCOMPARE(sink.last(), QString("recovery failed, please try again!"));
    QVERIFY(!BackupRestore::restore(db.dm(), db.root() + "/missing.Bak", sink));
    // The current database is untouched and still in use.
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubData").toInt(), 1);
    QVERIFY(!BackupRestore::restore(db.dm(), QString(), sink)); // cancelled dialog: nothing happens
    QCOMPARE(sink.messages.size(), 4); // each refusal says why, then that recovery failed
}

void TestSetup::restoreChecksEveryTableAndTheClubRow()
{
    TestDb db;
    RecordingSink sink;
    db.insertClub("LIVE");
    for (int i = 0; i < 48; ++i)
        db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo) VALUES ('001', ?)", {QString::number(i)});
    const QString live = db.dm().databasePath();
    QFile previous(live + ".previous");
    QVERIFY(previous.open(QIODevice::WriteOnly));
    previous.write("an earlier copy");
    previous.close();

    // Files that SQLite opens but that are no club database of ours.
    const auto make = [&](const QString &name, const QStringList &statements) {
        const QString path = db.root() + "/" + name;
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", name);
            other.setDatabaseName(path);
            other.open();
            QSqlQuery q(other);
            q.exec("PRAGMA journal_mode=WAL"); // a journal kept beside the file must not stay behind
            bool ok = true;
            for (const QString &st : statements)
                ok = q.exec(st) && ok;
            other.close();
            if (!ok)
                return QString();
        }
        QSqlDatabase::removeDatabase(name);
        return path;
    };
    const QString onlyClubTable = make("club.Bak", {"CREATE TABLE ORV_ClubData(x)", "INSERT INTO ORV_ClubData VALUES (1)"});
    QVERIFY(!onlyClubTable.isEmpty());
    TestDb full; // a complete schema to copy from, then spoiled
    full.insertClub("BK");
    full.dm().close();
    const QString noColumn = db.root() + "/nocolumn.Bak";
    QVERIFY(QFile::copy(full.dm().databasePath(), noColumn));
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "spoil");
        other.setDatabaseName(noColumn);
        QVERIFY(other.open());
        QSqlQuery q(other);
        QVERIFY(q.exec("ALTER TABLE ORV_PigData DROP COLUMN ColorType"));
        other.close();
    }
    QSqlDatabase::removeDatabase("spoil");

    QCOMPARE(BackupRestore::checkClubDatabase(onlyClubTable), QString("table ORV_LoftData is missing"));
    QCOMPARE(BackupRestore::checkClubDatabase(noColumn), QString("column ColorType of table ORV_PigData is missing"));
    for (const QString &file : {onlyClubTable, noColumn}) {
        sink.clear();
        QVERIFY(!BackupRestore::restore(db.dm(), file, sink));
        QCOMPARE(sink.last(), QString("recovery failed, please try again!"));
        QVERIFY(sink.hasContaining("is missing"));
        // Nothing replaced: the live club with its pigeons, the earlier copy, no stray files.
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData").toInt(), 48);
        QCOMPARE(db.dm().scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("LIVE"));
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), QByteArray("an earlier copy"));
        previous.close();
        const QStringList left = QDir(QFileInfo(live).path()).entryList(QDir::Files);
        QVERIFY2(left.filter(".restore").isEmpty(), qPrintable(left.join(',')));
    }
    // A complete database without a club record is refused as well.
    full.dm().reopen();
    full.dm().exec("DELETE FROM ORV_ClubData");
    full.dm().close();
    QCOMPARE(BackupRestore::checkClubDatabase(full.dm().databasePath()), QString("it holds no club record"));
}

namespace {
// A club database of our schema at path with the club and the number of pigeons given.
QString makeClub(const QString &folder, const QString &club, int pigeons)
{
    TdmORVS dm(folder);
    dm.exec("INSERT INTO ORV_ClubData (ClubID, ClubName, AssociationCode) VALUES (?, 'Club', 'BE')", {club});
    for (int i = 0; i < pigeons; ++i)
        dm.exec("INSERT INTO ORV_PigData (LoftNo, PRingNo) VALUES ('001', ?)", {QString::number(i)});
    return dm.databasePath();
}

// Runs statements on a file through a connection of its own.
bool runOn(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "runOn");
        c.setDatabaseName(path);
        ok = c.open();
        QSqlQuery q(c);
        for (const QString &st : statements)
            ok = q.exec(st) && ok;
        c.close();
    }
    QSqlDatabase::removeDatabase("runOn");
    return ok;
}
} // namespace

void TestSetup::restoreReachesEveryOpenConnection()
{
    TestDb db;
    db.insertClub("OLD");
    RecordingSink sink;
    const QString backup = makeClub(db.root() + "/other", "NEW", 5);
    // A second connection to the club, as a worker of the program or a reading program has.
    TdmORVS worker(db.dataFolder());
    QCOMPARE(worker.scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("OLD"));
    QVERIFY(BackupRestore::restore(db.dm(), backup, sink));
    // It sees the restored club at once, and what it stores lands in the club's database.
    QCOMPARE(worker.scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("NEW"));
    worker.exec("INSERT INTO ORV_LoftData (LoftNo) VALUES ('007')");
    db.reopen();
    QCOMPARE(db.dm().scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("NEW"));
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData").toInt(), 5);
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftData WHERE LoftNo='007'").toInt(), 1);
}

void TestSetup::restoreReadsTheLogOfAFileInUse()
{
    TestDb db;
    db.insertClub("LIVE");
    RecordingSink sink;
    // Another program's club, still open, its newest rows only in its write-ahead log.
    const QString folder = db.root() + "/running";
    makeClub(folder, "RUN", 3);
    TdmORVS running(folder);
    running.exec("PRAGMA wal_autocheckpoint=0");
    for (int i = 100; i < 140; ++i)
        running.exec("INSERT INTO ORV_PigData (LoftNo, PRingNo) VALUES ('001', ?)", {QString::number(i)});
    QVERIFY(QFileInfo(running.databasePath() + "-wal").size() > 0);
    QVERIFY(BackupRestore::restore(db.dm(), running.databasePath(), sink));
    db.reopen();
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData").toInt(), 43);
}

void TestSetup::restoreTakesOnlyTheTablesOfAClub()
{
    TestDb db;
    db.insertClub("LIVE");
    db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo) VALUES ('001', 'KEEP')");
    RecordingSink sink;
    // A club whose pigeons are a view: every command would fail on it.
    const QString viewed = makeClub(db.root() + "/viewed", "VIEW", 2);
    QVERIFY(runOn(viewed, {"ALTER TABLE ORV_PigData RENAME TO Hidden",
                           "CREATE VIEW ORV_PigData AS SELECT * FROM Hidden"}));
    QVERIFY(!BackupRestore::restore(db.dm(), viewed, sink));
    QVERIFY2(sink.has("The file cannot be restored: ORV_PigData is a view, not a table."), qPrintable(sink.texts().join('\n')));
    QCOMPARE(db.dm().scalar("SELECT PRingNo FROM ORV_PigData").toString(), QString("KEEP"));

    // A club with a trigger that deletes every pigeon when a member is saved, and a table of its own.
    const QString trapped = makeClub(db.root() + "/trapped", "TRAP", 4);
    QVERIFY(runOn(trapped, {"CREATE TRIGGER wipe AFTER UPDATE ON ORV_LoftData BEGIN DELETE FROM ORV_PigData; END",
                            "CREATE TABLE Extra (x)", "INSERT INTO ORV_LoftData (LoftNo) VALUES ('001')"}));
    sink.clear();
    QVERIFY(BackupRestore::restore(db.dm(), trapped, sink));
    QVERIFY(sink.has("Not restored, as no part of a club database: trigger wipe, table Extra."));
    db.reopen();
    db.dm().exec("UPDATE ORV_LoftData SET LoftName='Saved' WHERE LoftNo='001'");
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData").toInt(), 4);
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM sqlite_master WHERE type IN ('trigger','view') "
                            "OR name='Extra'").toInt(), 0);
}

void TestSetup::backupAndRestoreRefuseWhatIsNoFile()
{
#ifdef Q_OS_UNIX
    TestDb db;
    db.insertClub("LIVE");
    RecordingSink sink;
    const QString pipe = db.root() + "/club.Bak";
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Should anything open the pipe, a writer comes after a while, so the test ends either way.
    std::thread unblock([pipe] {
        QThread::sleep(5);
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    });
    QElapsedTimer t;
    t.start();
    QVERIFY(!BackupRestore::restore(db.dm(), pipe, sink));
    QVERIFY2(sink.hasContaining("is not a regular file"), qPrintable(sink.texts().join('\n')));
    QVERIFY(t.elapsed() < 4000);
    const QDate day(2026, 12, 9);
    QCOMPARE(::mkfifo(QFile::encodeName(BackupRestore::backupName(pipe, day)).constData(), 0600), 0);
    QVERIFY(!BackupRestore::backup(db.dm(), pipe, day, sink));
    QVERIFY(sink.last().startsWith("backup failed, please retry! "));
    QVERIFY(sink.last().endsWith("is not a regular file (a named pipe, a device or a socket)"));
    unblock.join();
    QCOMPARE(db.dm().scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("LIVE"));
#else
    QSKIP("named pipes of this kind exist on Unix");
#endif
}

void TestSetup::backupNamesArePlainFileNames()
{
    TestDb db;
    db.insertClub("LIVE");
    RecordingSink sink;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(db.root()));
    // SQLite would read this as a URI naming another file; it is the secretary's file name.
    const bool ok = BackupRestore::backup(db.dm(), "file:club.db?mode=rwc", QDate(2026, 12, 9), sink);
    QDir::setCurrent(before);
    QVERIFY(ok);
    QVERIFY(!QFile::exists(db.root() + "/club.db"));
    QCOMPARE(BackupRestore::checkClubDatabase(db.root() + "/file:club.db?mode=rwc_261209.Bak"), QString());
}

void TestSetup::clubDownloadTiesTheAntennaToTheClub()
{
    TestDb db;
    db.insertClub("NC");
    db.dm().exec("UPDATE ORV_ClubData SET Street='Main 1', City='Aalst', PostCode='9300'");
    ClockSimulator sim; // no clock connected: the antenna answers
    sim.antenna().owner = "OTHER";
    TWinApiV8 api(std::make_unique<SimLink>(sim));
    RecordingSink sink;
    QVERIFY(ClubDataDownload(db.dm(), api, sink).run());
    QCOMPARE(sink.last(), QString(" Club Data Download Success !"));
    QCOMPARE(sim.antenna().owner, QString("NC"));
    QCOMPARE(sim.antenna().clubInfo.text("ClubStreet"), QString("Main 1"));
    QCOMPARE(sim.antenna().clubInfo.text("AssocCode"), QString("BE"));
    QCOMPARE(sim.antenna().display, QString("NC Club Data Download Success !"));
    QCOMPARE(sink.beeps, 1);
}

void TestSetup::clubDownloadToAnAntennaOfAnotherClub()
{
    TestDb db;
    db.insertClub("NC");
    ClockSimulator sim;
    sim.antenna().owner = "OTHER";
    QVERIFY(sim.injectFault("status:1@DeviceInit"));
    TWinApiV8 api(std::make_unique<SimLink>(sim));
    RecordingSink sink;
    QVERIFY(!ClubDataDownload(db.dm(), api, sink).run());
    QCOMPARE(sink.texts(), QStringList({"DeviceInit Error :", "ClubCode Wrong ! ReCheck !"}));
    QCOMPARE(sim.antenna().clubInfo.size(), 0);
}

QTEST_GUILESS_MAIN(TestSetup)
#include "test_setup.moc"
