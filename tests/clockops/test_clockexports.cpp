#include "clockops/clockexports.h"
#include "clockops/clockviews.h"

#include "../support/jsonrows.h"
#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include <QTemporaryDir>
#include <QtTest>

class TestClockExports : public QObject
{
    Q_OBJECT
private slots:
    void markedListKeepsTheFirstFivePlaces();
    void multiRaceSheetHoldsTheGridRows();
};

void TestClockExports::markedListKeepsTheFirstFivePlaces()
{
    TestDb db;
    QVERIFY(loadJsonRows(db.dm(), QStringLiteral(PENNAVOX_TEST_DATA "/exports/race_week.json")));
    // Two birds marked at the same moment share a place; a ring of no pigeon has no place.
    db.dm().exec(QStringLiteral("UPDATE ORV_PigRaceData SET MarkedTime='2016-05-25 18:01:00' "
                                "WHERE PRingNo='BE151002'"));
    db.dm().exec(QStringLiteral("UPDATE ORV_PigRaceData SET MarkedTime='2016-05-25 18:12:00' "
                                "WHERE PRingNo='BE151001'"));
    db.dm().exec(QStringLiteral("INSERT INTO ORV_PigRaceData (LiberCode, LiberDate, PRingNo, MarkedTime, RaceCode) "
                                "VALUES ('12','2016-05-26','XX-1','2016-05-25 17:00:00','120526')"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("marked.xlsx"));
    RecordingSink sink;
    QVERIFY(ClockExports::saveMarked(db.dm(), QStringLiteral("120526"), path, sink));
    WorkbookSheet s;
    QString error;
    QVERIFY2(readFirstSheet(path, &s, &error), qPrintable(error));
    QCOMPARE(s.rowCount(), 14); // headings + 13 birds: A1 to H14
    QCOMPARE(s.columnCount(), 8);
    QStringList heads;
    for (int c = 1; c <= 8; ++c)
        heads << s.text(1, c);
    QCOMPARE(heads.join(QLatin1Char(',')), QStringLiteral("LoftNo,PRingNo,Sex,ColorType,LiberCode,LiberDate,MarkedTime,Nom"));
    // The unknown ring sorts first (no loft) and has no place.
    QCOMPARE(s.text(2, 2), QStringLiteral("XX-1"));
    QCOMPARE(s.text(2, 8), QString());
    QStringList blue;
    for (int r = 3; r <= 9; ++r)
        blue << s.text(r, 2) + QLatin1Char('=') + s.text(r, 8);
    QCOMPARE(blue, (QStringList{"GB16A12345=1", "GB16A12346=2", "GB16A12347=3", "GB16A12348=4", "GB16A12349=5",
                                "GB16A12350=0", "GB16A12351=0"}));
    QCOMPARE(s.text(3, 1), QStringLiteral("0001")); // text column: leading zeros kept
    QCOMPARE(s.text(3, 6), QStringLiteral("2016-05-26"));
    QCOMPARE(s.text(3, 7), QStringLiteral("2016-05-25 18:00:00"));
    QStringList red;
    for (int r = 10; r <= 14; ++r)
        red << s.text(r, 2) + QLatin1Char('=') + s.text(r, 8);
    QCOMPARE(red, (QStringList{"BE151002=1", "BE151001=3", "BE151003=3", "BE151004=4", "BE151005=5"}));
}

void TestClockExports::multiRaceSheetHoldsTheGridRows()
{
    TestDb db;
    QVERIFY(loadJsonRows(db.dm(), QStringLiteral(PENNAVOX_TEST_DATA "/exports/race_week.json")));
    MultiRaceList rows(db.dm());
    rows.load(QStringLiteral("0001"), QDate(2016, 5, 26));
    QCOMPARE(rows.rowCount(), 5); // three arrivals of the 26th, one of the 29th, one of the 30th
    const WorkbookWriter w = ClockExports::multiWorkbook(rows);
    QCOMPARE(w.headings().join(QLatin1Char(',')), QStringLiteral("Rank,LibCode,PRingNo,BackTime,FlyTime,FlySpeed,Dist"));
    QTemporaryDir dir;
    RecordingSink sink;
    const QString path = dir.filePath(QStringLiteral("multi.xlsx"));
    QVERIFY(ClockExports::saveMulti(rows, path, sink));
    WorkbookSheet s;
    QString error;
    QVERIFY(readFirstSheet(path, &s, &error));
    QCOMPARE(s.rowCount(), 6);
    QCOMPARE(s.text(2, 1), QStringLiteral("1"));
    QCOMPARE(s.text(2, 2), QStringLiteral("120526"));
    QCOMPARE(s.text(2, 3), QStringLiteral("GB16A12347"));
    QCOMPARE(s.text(2, 4), QStringLiteral("2016-05-26 11:02:03.123"));
    QCOMPARE(s.text(6, 2), QStringLiteral("120530"));
}

QTEST_GUILESS_MAIN(TestClockExports)
#include "test_clockexports.moc"
