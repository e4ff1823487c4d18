#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include "device/twinapiv8.h"
#include "setup/backuprestore.h"
#include "setup/clubdownload.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"

#include <QFile>
#include <QtTest>

class TestSetup : public QObject
{
    Q_OBJECT
private slots:
    void backupNames();
    void backupOfTheDayIsOverwritten();
    void restorePutsTheBackupInPlace();
    void restoreRefusesAFileThatIsNoClubDatabase();
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
    QVERIFY(!QFile::exists(db.dm().databasePath() + ".previous"));
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
    QCOMPARE(sink.messages.size(), 2);
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
