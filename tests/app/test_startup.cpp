#include "../support/testdb.h"

#include "app/startup.h"
#include "store/datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {
void setFileDate(const QString &path, const QDate &d)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime(d, QTime(12, 0)), QFileDevice::FileModificationTime));
}

int clubRowsIn(const QString &file)
{
    const QString name = QStringLiteral("probe_%1").arg(qHash(file));
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec("SELECT COUNT(*) FROM ORV_ClubData") && q.next())
                n = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return n;
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void firstBackupCreatesFolderAndCopy();
    void renewalByBackupAge_data();
    void renewalByBackupAge();
    void archiveOfSameDateIsOverwritten();
    void failedCopyIsReported();
    void clubsSideBySideKeepTheirOwnBackups();
    void purgeCutOffs();
};

void TestStartup::firstBackupCreatesFolderAndCopy()
{
    TestDb db;
    db.insertClub();
    const QString bak = Startup::currentBackupPath(db.dataFolder());
    QCOMPARE(bak, db.root() + "/Backup/Pennavox_Europe.bak");
    QVERIFY(!QDir(db.root() + "/Backup").exists());
    const auto r = Startup::automaticBackup(db.dm(), 0, QDate::currentDate());
    QCOMPARE(r.outcome, Startup::BackupResult::Created);
    QCOMPARE(clubRowsIn(bak), 1); // a real, readable database
}

void TestStartup::renewalByBackupAge_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("ageOfBackup");
    QTest::addColumn<bool>("renewed");
    QTest::newRow("0 days: renewed at every start") << 0 << 0 << true;
    QTest::newRow("1 day, backup of today: kept") << 1 << 0 << false;
    QTest::newRow("1 day, backup of yesterday: renewed") << 1 << 1 << true;
    QTest::newRow("7 days, backup 6 days old: kept") << 7 << 6 << false;
    QTest::newRow("7 days, backup 7 days old: renewed") << 7 << 7 << true;
}

void TestStartup::renewalByBackupAge()
{
    QFETCH(int, days);
    QFETCH(int, ageOfBackup);
    QFETCH(bool, renewed);
    TestDb db;
    const QDate today(2026, 12, 9);
    QVERIFY(Startup::automaticBackup(db.dm(), days, today).outcome == Startup::BackupResult::Created);
    const QString bak = Startup::currentBackupPath(db.dataFolder());
    const QDate backupDate = today.addDays(-ageOfBackup);
    setFileDate(bak, backupDate);
    db.insertClub(); // the new backup must hold this row, the archive not
    const auto r = Startup::automaticBackup(db.dm(), days, today);
    const QString archive = Startup::archivedBackupPath(db.dataFolder(), backupDate);
    QCOMPARE(archive, db.root() + "/Backup/Pennavox_Europe_" + backupDate.toString("yyyyMMdd") + ".bak");
    QCOMPARE(r.outcome == Startup::BackupResult::Renewed, renewed);
    QCOMPARE(QFile::exists(archive), renewed);
    QCOMPARE(clubRowsIn(bak), renewed ? 1 : 0);
    if (renewed)
        QCOMPARE(clubRowsIn(archive), 0);
}

void TestStartup::archiveOfSameDateIsOverwritten()
{
    TestDb db;
    const QDate today(2026, 12, 9);
    Startup::automaticBackup(db.dm(), 0, today);
    const QString bak = Startup::currentBackupPath(db.dataFolder());
    const QDate d(2026, 12, 1);
    const QString archive = Startup::archivedBackupPath(db.dataFolder(), d);
    QFile old(archive);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("stale");
    old.close();
    setFileDate(bak, d);
    QCOMPARE(Startup::automaticBackup(db.dm(), 3, today).outcome, Startup::BackupResult::Renewed);
    QCOMPARE(clubRowsIn(archive), 0); // now a database, not the stale bytes
}

void TestStartup::failedCopyIsReported()
{
    TestDb db;
    // A file where the backup folder should be: the folder cannot be made, the copy fails.
    QFile blocker(DataFolder::backupFolder(db.dataFolder()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto r = Startup::automaticBackup(db.dm(), 0, QDate::currentDate());
    QCOMPARE(r.outcome, Startup::BackupResult::Failed);
    QVERIFY(!r.error.isEmpty());
}

void TestStartup::clubsSideBySideKeepTheirOwnBackups()
{
    TestDb first;
    first.insertClub("AAA");
    const QDate today(2026, 12, 9);
    QCOMPARE(Startup::automaticBackup(first.dm(), 0, today).outcome, Startup::BackupResult::Created);
    const QString shared = first.root() + "/Backup";
    QCOMPARE(Startup::backupFolderFor(first.dm()), shared);
    // A second club's data folder beside the first: the same ../Backup.
    TdmORVS second(first.root() + "/Q");
    second.exec("INSERT INTO ORV_ClubData (ClubID, ClubName) VALUES ('B/2', 'Second')");
    setFileDate(shared + "/Pennavox_Europe.bak", today.addDays(-3));
    for (int start = 0; start < 2; ++start) {
        const auto r = Startup::automaticBackup(second, 0, today);
        QCOMPARE(r.outcome, start == 0 ? Startup::BackupResult::Created : Startup::BackupResult::Renewed);
    }
    // The first club's backup and its date are untouched; the second's went to a folder of its own.
    const QString own = shared + "/B_2";
    QCOMPARE(Startup::backupFolderFor(second), own);
    QCOMPARE(QDir(shared).entryList(QDir::Files), QStringList({"Pennavox_Europe.bak"}));
    QCOMPARE(QFileInfo(shared + "/Pennavox_Europe.bak").lastModified().date(), today.addDays(-3));
    QCOMPARE(clubRowsIn(shared + "/Pennavox_Europe.bak"), 1);
    QCOMPARE(QDir(own).entryList(QDir::Files),
             QStringList({"Pennavox_Europe.bak", "Pennavox_Europe_" + today.toString("yyyyMMdd") + ".bak"}));
    // The first club goes on renewing its own.
    QCOMPARE(Startup::automaticBackup(first.dm(), 0, today).outcome, Startup::BackupResult::Renewed);
    QCOMPARE(Startup::backupFolderFor(first.dm()), shared);
}

void TestStartup::purgeCutOffs()
{
    TestDb db;
    const QDate today(2026, 12, 9);
    auto race = [&](const QString &code, int daysAgo, int deleted) {
        db.dm().exec("INSERT INTO ORV_RaceData (RaceCode, LiberDate, DeleteMark) VALUES (?,?,?)",
                     {code, today.addDays(-daysAgo).toString("yyyy-MM-dd"), deleted});
    };
    race("DEL7", 7, 1);
    race("DEL6", 6, 1);
    race("LIVE30", 30, 0);
    for (int d : {6, 7, 8})
        db.dm().exec("INSERT INTO ORV_SunSet_SunRise (RaceCode, RaceDate) VALUES (?,?)",
                     {QString("S%1").arg(d), today.addDays(-d).toString("yyyy-MM-dd")});
    for (int d : {59, 60, 120})
        for (const char *table : {"ORV_PigRaceData", "ORV_RaceClockTime"})
            db.dm().exec(QString("INSERT INTO %1 (RaceCode, LiberDate) VALUES (?,?)").arg(table),
                         {QString("R%1").arg(d), today.addDays(-d).toString("yyyy-MM-dd")});
    // a race of the season's championship stays however old it is
    db.dm().exec("INSERT INTO PNX_ChampionshipRace (Name, RaceCode, Seq) VALUES ('Season','R120',1)");
    Startup::purgeOldRaceData(db.dm(), today);
    auto codes = [&](const QString &table) {
        QStringList out;
        for (const auto &r : db.dm().rows("SELECT RaceCode FROM " + table + " ORDER BY RaceCode"))
            out << r.value(0).toString();
        return out;
    };
    QCOMPARE(codes("ORV_RaceData"), QStringList({"DEL6", "LIVE30"}));
    QCOMPARE(codes("ORV_SunSet_SunRise"), QStringList({"S6"}));
    QCOMPARE(codes("ORV_PigRaceData"), QStringList({"R120", "R59"}));
    QCOMPARE(codes("ORV_RaceClockTime"), QStringList({"R120", "R59"}));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
