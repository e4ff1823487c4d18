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

class TestSetup : public QObject
{
    Q_OBJECT
private slots:
    void backupNames();
    void backupOfTheDayIsOverwritten();
    void restorePutsTheBackupInPlace();
    void restoreRefusesAFileThatIsNoClubDatabase();
    void restoreChecksEveryTableAndTheClubRow();
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
    QCOMPARE(sink.last(), QString("backup failed, please retry!"));
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
    // The replaced database is kept beside the new one, not deleted.
    QVERIFY(QFile::exists(db.dm().databasePath() + ".previous"));
    QCOMPARE(BackupRestore::checkClubDatabase(db.dm().databasePath() + ".previous"), QString("it holds no club record"));
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
