#include "../support/testdb.h"

#include "store/datafolder.h"
#include "store/recordtable.h"
#include "store/regularfile.h"
#include "store/schema.h"
#include "store/sorttext.h"
#include "store/sqlerror.h"
#include "store/tableobject.h"
#include "store/valuetext.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class TestStore : public QObject
{
    Q_OBJECT
private slots:
    void newFolderGetsDataLinkAndFullSchema();
    void reopeningKeepsRowsAndDoesNotDuplicateTables();
    void olderFileIsUpgradedOnOpenAndAfterReplacement();
    void dataLinkNamesAnotherDatabase();
    void quotesAndNullsAreStoredIntact();
    void tableObjectRejectsUnknownColumns();
    void storedValueForms();
    void loftDistanceDisplayTexts();
    void sortTextCycle();
    void recordTableSortsFetchedRows();
    void dataFolderOfAnInstalledProgram();
    void onlyRegularFilesAreOpened();
    void failuresSayWhatHappened();
    void interruptedRestoreIsMendedAtStart();
};

void TestStore::dataFolderOfAnInstalledProgram()
{
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QTemporaryDir portable;
    QCOMPARE(DataFolder::resolve(QString(), portable.path()), portable.path()); // writable: portable
    // installed by a package: the user's folder, even for root who may write into /usr/bin
    QCOMPARE(DataFolder::resolve(QString(), QStringLiteral("/usr/bin")), user);
    QCOMPARE(DataFolder::resolve(QString(), QStringLiteral("/usr/local/bin/")), user);
    QCOMPARE(DataFolder::resolve(QStringLiteral("/tmp/club/"), QStringLiteral("/usr/bin")),
             QStringLiteral("/tmp/club"));
}

void TestStore::onlyRegularFilesAreOpened()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.Bak");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(RegularFile::refusal(file), QString());
    QCOMPARE(RegularFile::refusal(dir.filePath("missing")), QString()); // the caller says it is missing
    QVERIFY(RegularFile::refusal(dir.path()).contains("is a folder"));
#ifdef Q_OS_UNIX
    const QString pipe = dir.filePath("pipe.Bak");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(RegularFile::refusal(pipe),
             QDir::toNativeSeparators(pipe) + " is not a regular file (a named pipe, a device or a socket)");
    QVERIFY(!RegularFile::refusal("/dev/null").isEmpty());
#endif
}

void TestStore::failuresSayWhatHappened()
{
    TestDb db;
    const auto said = [&](const char *text, const char *code) {
        return db.dm().explain(QSqlError(QString(), QString::fromLatin1(text), QSqlError::StatementError,
                                         QString::fromLatin1(code)));
    };
    QString m = said("database is locked Unable to fetch row", "5");
    QVERIFY2(m.startsWith("The club database is busy: another window, program or database tool"), qPrintable(m));
    QVERIFY(m.contains("Retry in a moment"));
    QVERIFY(m.endsWith("(database is locked Unable to fetch row)")); // the database's own words stay
    m = said("database or disk is full Unable to execute statement", "13");
    QVERIFY2(m.startsWith("The disk is full: the change was not stored"), qPrintable(m));
    QVERIFY(m.contains(QDir::toNativeSeparators(db.dataFolder())));
    m = said("disk I/O error Unable to execute statement", "10");
    QVERIFY2(m.contains("if the disk is full, free space on it"), qPrintable(m));
    // The driver's commit gives no code, only the text.
    m = db.dm().explain(QSqlError("Unable to commit transaction", "database or disk is full",
                                  QSqlError::TransactionError));
    QVERIFY2(m.startsWith("The disk is full"), qPrintable(m));
    QCOMPARE(said("no such table: X Unable to execute statement", "1"),
             QString("no such table: X Unable to execute statement"));
}

void TestStore::interruptedRestoreIsMendedAtStart()
{
    TestDb db;
    db.insertClub("MINE");
    const QString live = db.dm().databasePath();
    db.close();
    // Killed while building its checked copy: the club is as it was, the copy goes.
    for (const char *side : {".restore", ".restore-journal", ".restore-wal", ".restore-shm", ".previous.part"}) {
        QFile f(live + side);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("left over");
    }
    {
        TdmORVS dm(db.dataFolder());
        QVERIFY(dm.startNotice().startsWith("A restore was interrupted before it changed the club database"));
        QCOMPARE(dm.scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("MINE"));
    }
    QCOMPARE(QDir(db.dataFolder()).entryList(QDir::Files), QStringList({"ORVS.udl", "Pennavox_Europe.mdb"}));
    // An earlier version killed between its two renames left the club under another name only:
    // the start puts it back instead of making an empty club.
    QVERIFY(QFile::rename(live, live + ".replaced"));
    {
        TdmORVS dm(db.dataFolder());
        QVERIFY(!dm.createdNow());
        QVERIFY2(dm.startNotice().contains("it was put back"), qPrintable(dm.startNotice()));
        QCOMPARE(dm.scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("MINE"));
    }
    QVERIFY(!QFile::exists(live + ".replaced"));
    {
        TdmORVS dm(db.dataFolder());
        QCOMPARE(dm.startNotice(), QString());
    }
}

void TestStore::newFolderGetsDataLinkAndFullSchema()
{
    TestDb db;
    QVERIFY(QFile::exists(db.dataFolder() + "/ORVS.udl"));
    QVERIFY(QFile::exists(db.dataFolder() + "/Pennavox_Europe.mdb"));
    // The file's own column lists, not the declarations.
    const auto tables =
        db.dm().rows("SELECT name FROM sqlite_master WHERE type='table' AND name LIKE 'ORV\\_%' ESCAPE '\\' "
                     "ORDER BY rowid");
    QCOMPARE(static_cast<int>(tables.size()), 13);
    const QStringList expectedPigRace{"ClubID",   "LiberCode",  "LiberDate",  "PRingNo",    "BackTime",
                                      "FlySpeed", "Dist",       "RandomCode", "ClockID",    "UID_Real",
                                      "TimeVari", "MarkedTime", "FlyTime",    "RealRandom", "BackLon",
                                      "BackLat",  "RaceCode"};
    QSqlRecord rec = db.dm().adocORVS().record("ORV_PigRaceData");
    QStringList got;
    for (int i = 0; i < rec.count(); ++i)
        got << rec.fieldName(i);
    QCOMPARE(got, expectedPigRace);
    rec = db.dm().adocORVS().record("ORV_SunSet_SunRise");
    QCOMPARE(rec.count(), 5);
    QCOMPARE(rec.fieldName(0), QString("RaceCode"));
    QCOMPARE(rec.fieldName(4), QString("Location"));
    QVERIFY(db.dm().adocORVS().tables().contains("ORV_Object_Caption"));
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_Object_Caption").toInt(), 0);
    for (const auto &t : schemaTables())
        QCOMPARE(db.dm().adocORVS().record(t.name).count(), static_cast<int>(t.columns.size()));
}

void TestStore::reopeningKeepsRowsAndDoesNotDuplicateTables()
{
    TestDb db;
    db.insertClub();
    db.reopen();
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubData").toInt(), 1);
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM sqlite_master WHERE type='table'").toInt(),
             13 + 2); // the 13 and our two championship tables
}

// A file written before our own tables existed: the 13 tables and a club.
void TestStore::olderFileIsUpgradedOnOpenAndAfterReplacement()
{
    QTemporaryDir dir;
    const QString old = dir.path() + "/old.mdb";
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "oldfile");
        raw.setDatabaseName(old);
        QVERIFY(raw.open());
        QSqlQuery q(raw);
        for (const auto &t : schemaTables())
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, t.columnNames().join(", "))));
        QVERIFY(q.exec("INSERT INTO ORV_ClubData (ClubID, ClubName) VALUES ('OLD', 'Old Club')"));
        raw.close();
    }
    QSqlDatabase::removeDatabase("oldfile");

    TestDb db;
    for (const auto &t : ownSchemaTables())
        QCOMPARE(db.dm().adocORVS().record(t.name).count(), static_cast<int>(t.columns.size()));
    db.dm().exec("INSERT INTO PNX_Championship (Name) VALUES ('kept')");
    db.reopen();
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM PNX_Championship").toInt(), 1);

    // The old file replaces the open one (as a restore does): reopening brings it up to date.
    const QString path = db.dm().databasePath();
    db.dm().close();
    QFile::remove(path + "-wal");
    QFile::remove(path + "-shm");
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::copy(old, path));
    QVERIFY(db.dm().reopen());
    QCOMPARE(db.dm().scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("OLD"));
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM PNX_Championship").toInt(), 0);
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM PNX_ChampionshipRace").toInt(), 0);
    QCOMPARE(db.dm().adocORVS().record("ORV_ClubData").count(),
             static_cast<int>(findTable("ORV_ClubData")->columns.size()));
}

void TestStore::dataLinkNamesAnotherDatabase()
{
    QTemporaryDir dir;
    QFile f(dir.path() + "/ORVS.udl");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Pennavox Data Link]\nDatabase=other.db\n");
    f.close();
    TdmORVS dm(dir.path());
    QCOMPARE(dm.databasePath(), dir.path() + "/other.db");
    QVERIFY(QFile::exists(dir.path() + "/other.db"));
}

void TestStore::quotesAndNullsAreStoredIntact()
{
    TestDb db;
    TableObject lofts(db.dm(), "ORV_LoftData");
    lofts.append({{"LoftNo", "001"},
                  {"LoftName", "O'Neill"},
                  {"Street", "x'); DROP TABLE ORV_PigData;--"},
                  {"LoftLon", QVariant()}});
    const auto r = lofts.locate({{"LoftName", "O'Neill"}});
    QVERIFY(r.has_value());
    QCOMPARE(r->value("Street").toString(), QString("x'); DROP TABLE ORV_PigData;--"));
    QVERIFY(r->value("LoftLon").isNull());
    QVERIFY(db.dm().adocORVS().tables().contains("ORV_PigData"));
    QCOMPARE(lofts.edit({{"LoftNo", "001"}}, {{"City", "L'Aquila"}}), 1);
    QCOMPARE(lofts.locate({{"LoftNo", "001"}})->value("City").toString(), QString("L'Aquila"));
    QVERIFY(lofts.locate({{"LoftLon", QVariant()}}).has_value()); // NULL keys match IS NULL
}

void TestStore::tableObjectRejectsUnknownColumns()
{
    TestDb db;
    TableObject t(db.dm(), "ORV_ClubMap");
    QVERIFY_THROWS_EXCEPTION(SqlError, t.append({{"ClubID; DROP", "x"}}));
    QVERIFY_THROWS_EXCEPTION(SqlError, TableObject(db.dm(), "NoSuchTable"));
    QVERIFY_THROWS_EXCEPTION(SqlError, db.dm().exec("SELECT nothing FROM nowhere"));
}

void TestStore::storedValueForms()
{
    const QDateTime t(QDate(2026, 5, 26), QTime(7, 30, 5, 250));
    QCOMPARE(ValueText::dateTime(t), QString("2026-05-26 07:30:05.250"));
    QCOMPARE(ValueText::dateTime(QDateTime(QDate(2026, 5, 26), QTime(7, 30))),
             QString("2026-05-26 07:30:00"));
    QCOMPARE(ValueText::date(t.date()), QString("2026-05-26"));
    QCOMPARE(ValueText::time(t.time()), QString("07:30:05"));
    QCOMPARE(ValueText::parseDateTime("2026-05-26 07:30:05.250"), t);
    QCOMPARE(ValueText::parseDateTime("2026-05-26T07:30:05.25"), t);
    QCOMPARE(ValueText::parseDateTime("2026-05-26").time(), QTime(0, 0));
    QVERIFY(!ValueText::parseDateTime("26.05.2026").isValid());
    QVERIFY(!ValueText::parseDateTime(QVariant()).isValid());
    QCOMPARE(ValueText::parseTime("21:15:00"), QTime(21, 15));
    QVERIFY(ValueText::toBool(1) && ValueText::toBool(-1) && ValueText::toBool("TRUE"));
    QVERIFY(!ValueText::toBool(0) && !ValueText::toBool(QVariant()) && !ValueText::toBool("false"));
    QCOMPARE(ValueText::count3(7), QString("007"));
    QCOMPARE(ValueText::count3(1234), QString("1234"));
}

void TestStore::loftDistanceDisplayTexts()
{
    TestDb db;
    QLocale::setDefault(QLocale::c());
    QCOMPARE(LoftDistText::milesOrYards(0), QString("0"));
    QCOMPARE(LoftDistText::milesOrYards(QVariant()), QString());
    QCOMPARE(LoftDistText::milesOrYards(1759), QLocale::system().toString(1759));
    db.dm().exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('001','Smith')");
    QCOMPARE(LoftDistText::loftName(db.dm(), "001"), QString("Smith"));
    QCOMPARE(LoftDistText::loftName(db.dm(), "999", "stale"), QString());
    QCOMPARE(LoftDistText::loftName(db.dm(), QVariant(), "kept"), QString("kept"));
}

void TestStore::sortTextCycle()
{
    QString s;
    s = SortText::next(s, "LastSynchDate");
    QCOMPARE(s, QString("LastSynchDate ASC"));
    s = SortText::next(s, "LastSynchDate");
    QCOMPARE(s, QString("LastSynchDate DESC"));
    s = SortText::next(s, "LastSynchDate");
    QCOMPARE(s, QString("LastSynchDate ASC"));
    QCOMPARE(SortText::next(s, "ClockID"), QString("ClockID ASC"));
    // A field whose name begins the sort text counts as the same field: the rule compares prefixes.
    QCOMPARE(SortText::next("LoftNo ASC", "Loft"), QString("Loft DESC"));
}

void TestStore::recordTableSortsFetchedRows()
{
    TestDb db;
    db.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID, LastSynchDate, SynchStat) VALUES "
                 "('1','B',NULL,9),('2','A','2026-01-02 10:00:00',10),('3','C','2025-12-31 08:00:00',2)");
    RecordTable t;
    t.addColumn("ClockID");
    t.addColumn("SynchStat");
    t.load(db.dm(), "SELECT ClockID, SynchStat, LastSynchDate FROM ORV_LoftClocks");
    t.applySort("SynchStat ASC"); // numbers as numbers: 2, 9, 10
    QCOMPARE(t.displayText(0, 0), QString("C"));
    QCOMPARE(t.displayText(2, 0), QString("A"));
    t.applySort("LastSynchDate DESC");
    QCOMPARE(t.displayText(0, 0), QString("A"));
    QCOMPARE(t.displayText(2, 0), QString("B")); // NULL last when descending
    t.applySort("NoSuchField ASC");
    QCOMPARE(t.displayText(0, 0), QString("A"));
    QVERIFY(t.setHeaderData(1, Qt::Horizontal, "Status"));
    QCOMPARE(t.headerData(1, Qt::Horizontal).toString(), QString("Status"));
    QVERIFY(!t.setHeaderData(5, Qt::Horizontal, "x"));
}

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
