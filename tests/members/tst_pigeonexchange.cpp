#include "members/pigeonexchange.h"

#include "../support/jsonrows.h"
#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include <QFile>
#include <QProcess>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QStringList pigeonRows(TdmORVS &dm)
{
    QStringList out;
    for (const QSqlRecord &r :
         dm.rows(QStringLiteral("SELECT LoftNo, PRingNo, RCountry, RYear, RRegLetter, RRegNumber, Sex, ColorType, "
                                "E_Ring, DeleteMark FROM ORV_PigData ORDER BY LoftNo, PRingNo"))) {
        QStringList v;
        for (int i = 0; i < r.count(); ++i)
            v << (r.value(i).isNull() ? QStringLiteral("NULL") : r.value(i).toString());
        out << v.join(QLatin1Char('|'));
    }
    return out;
}

QStringList info(const RecordingSink &sink)
{
    return sink.textsOf(MessageKind::Info);
}

void member(TdmORVS &dm, const QString &loftNo)
{
    dm.exec(QStringLiteral("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES (?,?)"), {loftNo, loftNo});
}

QString sevenColumnSheet(const QString &path, const std::vector<QVariantList> &rows)
{
    WorkbookWriter w({QStringLiteral("LoftNo"), QStringLiteral("RCountry"), QStringLiteral("RYear"),
                      QStringLiteral("RRegLetter"), QStringLiteral("RRegNumber"), QStringLiteral("Sex"),
                      QStringLiteral("ColorType")});
    for (const auto &r : rows)
        w.addRow(r);
    QString error;
    if (!w.save(path, &error))
        qWarning() << error;
    return path;
}
} // namespace

class TestPigeonExchange : public QObject
{
    Q_OBJECT
private slots:
    void composition();
    void exportedSheetImportsBackUnchanged();
    void sevenColumnsComposeAndKeepTheElectronicRing();
    void repeatsForeignRingsAndBadRowsAreSkipped();
    void rowsCheckedAsRingEntryChecksThem();
    void failureMidwayLeavesTheStoreAsItWas();
    void unreadableWorkbookStoresNothing();
    void workbookWrittenByOpenpyxl();
    void largeSheetShowsProgress();
    void exportYearsAndMemberList();
};

void TestPigeonExchange::composition()
{
    using PigeonExchange::composeRing;
    QCOMPARE(composeRing("AU", "2019", "AB", "7"), QStringLiteral("AU19-AB-0007"));
    QCOMPARE(composeRing("AU", "19", "AB", "12345"), QStringLiteral("AU19-AB-12345"));
    QCOMPARE(composeRing("CZ", "2019", "X", ""), QStringLiteral("CZ19-X-0000"));
    QCOMPARE(composeRing("PL", "2020", "0123", "4567"), QStringLiteral("PL0123204567"));
    QCOMPARE(composeRing("NEHU", "2019", "A", "55"), QStringLiteral("NEHU2019A55"));
    QCOMPARE(composeRing("FRANCE", "2019", "", "123456"), QStringLiteral("FRANCE19123456"));
}

void TestPigeonExchange::exportedSheetImportsBackUnchanged()
{
    TestDb a;
    QVERIFY(loadJsonRows(a.dm(), QStringLiteral(PENNAVOX_TEST_DATA "/exports/race_week.json")));
    a.dm().exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegLetter, RRegNumber, "
                               "Sex, ColorType, E_Ring, DeleteMark) VALUES ('0003','AU19-AB-0007','AU','2019','AB',"
                               "'0007','U','GRIZ','00A1B2',0)"));
    a.dm().exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo, PRingNo, Sex, DeleteMark) VALUES ('0003','GONE','C',1)"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pigeons.xlsx"));
    RecordingSink sink;
    QVERIFY(PigeonExchange::savePigeons(a.dm(), QString(), path, sink));

    TestDb b;
    for (const QString &loft : {QStringLiteral("0001"), QStringLiteral("0002"), QStringLiteral("0003")})
        member(b.dm(), loft);
    const auto outcome = PigeonExchange::importPigeons(b.dm(), path, sink);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.inserted, 14);
    QCOMPARE(outcome.skipped, 0);
    QStringList live = pigeonRows(a.dm());
    live.removeIf([](const QString &s) { return s.contains(QStringLiteral("GONE")); });
    // The year of an AU ring goes out as two digits; everything else arrives as it was.
    live.replaceInStrings(QStringLiteral("|AU|2019|"), QStringLiteral("|AU|19|"));
    QCOMPARE(pigeonRows(b.dm()), live);
    QVERIFY(sink.has(QStringLiteral("Pigeon import: 14 inserted, 0 updated, 0 skipped")));
}

void TestPigeonExchange::sevenColumnsComposeAndKeepTheElectronicRing()
{
    TestDb db;
    member(db.dm(), QStringLiteral("10"));
    db.dm().exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo, PRingNo, Sex, ColorType, E_Ring, DeleteMark, "
                                "Updatetime) VALUES ('10','AU19-AB-0007','C','BB','E77',1,'2000-01-01 00:00:00')"));
    QTemporaryDir dir;
    const QString path = sevenColumnSheet(dir.filePath(QStringLiteral("s.xlsx")),
                                          {{QStringLiteral("10"), QStringLiteral("AU"), 2019, QStringLiteral("AB"), 7,
                                            QStringLiteral("Hen"), QStringLiteral("RC")},
                                           {QStringLiteral("10"), QStringLiteral("PL"), QStringLiteral("2020"),
                                            QStringLiteral("0123"), QStringLiteral("4567"), QStringLiteral("Cock"),
                                            QStringLiteral("BB")}});
    RecordingSink sink;
    const auto outcome = PigeonExchange::importPigeons(db.dm(), path, sink);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.updated, 1);
    QCOMPARE(outcome.inserted, 1);
    // Updated: sex, colour, time and the soft-delete mark; its electronic ring stays.
    QCOMPARE(pigeonRows(db.dm()), (QStringList{QStringLiteral("10|AU19-AB-0007|NULL|NULL|NULL|NULL|H|RC|E77|0"),
                                               QStringLiteral("10|PL0123204567|PL|2020|0123|4567|C|BB|NULL|0")}));
    QVERIFY(db.dm().scalar(QStringLiteral("SELECT Updatetime FROM ORV_PigData WHERE PRingNo='AU19-AB-0007'")).toString()
            > QStringLiteral("2000"));
}

void TestPigeonExchange::repeatsForeignRingsAndBadRowsAreSkipped()
{
    TestDb db;
    member(db.dm(), QStringLiteral("10"));
    member(db.dm(), QStringLiteral("20"));
    db.dm().exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo, PRingNo, Sex, DeleteMark) VALUES "
                                "('20','GB19A1','C',0)"));
    QTemporaryDir dir;
    const QString big(300, QLatin1Char('x'));
    const QString path = sevenColumnSheet(
        dir.filePath(QStringLiteral("s.xlsx")),
        {{QStringLiteral("10"), QStringLiteral("GB"), QStringLiteral("2019"), QStringLiteral("A"), QStringLiteral("2"),
          QStringLiteral("Hen"), QStringLiteral("BB")},                                                   // row 2
         {QStringLiteral("10"), QStringLiteral("GB"), QStringLiteral("2019"), QStringLiteral("A"), QStringLiteral("2"),
          QStringLiteral("Cock"), QStringLiteral("RC")},                                                  // row 3
         {QStringLiteral("10"), QStringLiteral("GB"), QStringLiteral("2019"), QStringLiteral("A"), QStringLiteral("1"),
          QStringLiteral("Hen"), QStringLiteral("BB")},                                                   // row 4
         {QString(), QStringLiteral("GB"), QStringLiteral("2019"), QStringLiteral("A"), QStringLiteral("3")}, // row 5
         {QStringLiteral("99"), QStringLiteral("GB"), QStringLiteral("2019"), QStringLiteral("A"), QStringLiteral("4")},
         {QStringLiteral("10"), QStringLiteral("GB"), QStringLiteral("2019"), QStringLiteral("A"), big}, // row 7
         {},                                                                                           // row 8
         {QStringLiteral("10"), QStringLiteral("日本"), QStringLiteral("2019"), QStringLiteral("A"), QStringLiteral("5"),
          QStringLiteral("Hen"), QStringLiteral("Ωμ")},                                                // row 9
         {QStringLiteral("10"), QStringLiteral("BELG"), QStringLiteral("2024"), QString(), QString(),
          QStringLiteral("Hen")},                                                                      // row 10
         {QStringLiteral("10"), QStringLiteral("CZ"), QStringLiteral("2024"), QStringLiteral("A"), QString(),
          QStringLiteral("Hen")}});                                                                    // row 11
    RecordingSink sink;
    const auto outcome = PigeonExchange::importPigeons(db.dm(), path, sink);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.inserted, 2);
    QCOMPARE(outcome.skipped, 7);
    // Without a registration number a ring would be "BELG24" or "CZ24-A-0000".
    for (const char *row : {"10", "11"})
        QVERIFY2(info(sink).contains(QStringLiteral("Row %1 skipped: no registration number (column E) and no ring "
                                                    "number (column H)")
                                         .arg(QLatin1String(row))),
                 qPrintable(info(sink).join('\n')));
    const QStringList info = sink.textsOf(MessageKind::Info);
    QVERIFY(info.contains(QStringLiteral("Row 3 skipped: ring GB19A2 repeats row 2")));
    QVERIFY(info.contains(QStringLiteral("Row 4 skipped: ring GB19A1 belongs to loft 20")));
    QVERIFY(info.contains(QStringLiteral("Row 5 skipped: no loft number")));
    QVERIFY(info.contains(QStringLiteral("Row 6 skipped: loft 99 is not a member of the club")));
    QVERIFY(info.contains(QStringLiteral("Row 7 skipped: cell in column 5 is longer than 255 characters")));
    QCOMPARE(db.dm().scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo='GB19A1'")).toInt(), 1);
    QCOMPARE(db.dm().scalar(QStringLiteral("SELECT Sex FROM ORV_PigData WHERE PRingNo='GB19A2'")).toString(),
             QStringLiteral("H"));
    QCOMPARE(db.dm().scalar(QStringLiteral("SELECT ColorType FROM ORV_PigData WHERE PRingNo='日本19A5'")).toString(),
             QStringLiteral("Ωμ"));
}

void TestPigeonExchange::rowsCheckedAsRingEntryChecksThem()
{
    TestDb db;
    member(db.dm(), QStringLiteral("10"));
    QTemporaryDir dir;
    const auto row = [](const QString &loft, const QString &country, const QString &year, const QString &letters,
                        const QString &number, const QString &colour = QStringLiteral("BB")) {
        return QVariantList{loft, country, year, letters, number, QStringLiteral("Hen"), colour};
    };
    const QString path = sevenColumnSheet(dir.filePath(QStringLiteral("s.xlsx")),
                                          {row("10", "GB", "2019", "A", QString(100, QLatin1Char('7'))), // row 2
                                           row("10", "GB", "20x9", "A", "1"),                         // row 3
                                           row("10", "GB", "2019", "A%B", "2"),                       // row 4
                                           row("10", "G\nB", "2019", "A", "3"),                       // row 5
                                           row("10", "MALTA", "2019", "ABCDE", "1234567"),            // row 6
                                           row("10", "GB", "2019", "A", "4", "#5"),                   // row 7
                                           row("10", "GB", "2019", "A", "5")});                       // row 8
    RecordingSink sink;
    const auto outcome = PigeonExchange::importPigeons(db.dm(), path, sink);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.inserted, 1);
    QCOMPARE(outcome.skipped, 6);
    const QStringList info = sink.textsOf(MessageKind::Info);
    for (const char *expected :
         {"Row 2 skipped: Registration number: at most 7 characters.", "Row 3 skipped: Year: digits only.",
          "Row 4 skipped: Registration letters: the character \"%\" cannot be sent to a clock.",
          "Row 5 skipped: Country code: control characters (line breaks, tabs) are not allowed.",
          "Row 6 skipped: ring MALTA2019ABCDE123456: Ring number: at most 20 characters.",
          "Row 7 skipped: Colour: a clock cannot take a text starting with \"#\"."})
        QVERIFY2(info.contains(QString::fromUtf8(expected)), qPrintable(info.join(QLatin1Char('\n'))));
    QCOMPARE(pigeonRows(db.dm()).size(), 1);
}

void TestPigeonExchange::failureMidwayLeavesTheStoreAsItWas()
{
    TestDb db;
    member(db.dm(), QStringLiteral("10"));
    db.dm().exec(QStringLiteral("CREATE TRIGGER fail_boom BEFORE INSERT ON ORV_PigData WHEN NEW.PRingNo='GB19A3' "
                                "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    QTemporaryDir dir;
    std::vector<QVariantList> rows;
    for (int n = 1; n <= 5; ++n)
        rows.push_back({QStringLiteral("10"), QStringLiteral("GB"), QStringLiteral("2019"), QStringLiteral("A"),
                        QString::number(n), QStringLiteral("Hen"), QStringLiteral("BB")});
    const QString path = sevenColumnSheet(dir.filePath(QStringLiteral("s.xlsx")), rows);
    RecordingSink sink;
    const auto outcome = PigeonExchange::importPigeons(db.dm(), path, sink);
    QVERIFY(!outcome.ok);
    QCOMPARE(db.dm().scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_PigData")).toInt(), 0);
    const QStringList failures = sink.textsOf(MessageKind::Failure);
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures.first().startsWith(QStringLiteral("Import stopped at row 4")), qPrintable(failures.first()));
    QVERIFY(failures.first().endsWith(QStringLiteral("Nothing was imported.")));
}

void TestPigeonExchange::unreadableWorkbookStoresNothing()
{
    TestDb db;
    member(db.dm(), QStringLiteral("10"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fake.xlsx"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("PK\x03\x04 this is not really a zip");
    f.close();
    RecordingSink sink;
    QVERIFY(!PigeonExchange::importPigeons(db.dm(), path, sink).ok);
    QCOMPARE(sink.textsOf(MessageKind::Failure), QStringList{QStringLiteral("The file is not an Excel workbook (.xlsx).")});
    QCOMPARE(db.dm().scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_PigData")).toInt(), 0);

    // A workbook without a worksheet, and one with headings only, import nothing: neither is a success.
    const QString sheetless = dir.filePath(QStringLiteral("sheetless.xlsx"));
    const char *script = R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1], 'w')
z.writestr('[Content_Types].xml', '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
           '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.'
           'spreadsheetml.sheet.main+xml"/></Types>')
z.writestr('_rels/.rels', '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
           '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
           'officeDocument" Target="xl/workbook.xml"/></Relationships>')
z.writestr('xl/workbook.xml', '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheets/></workbook>')
z.close()
)";
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), sheetless});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    sink.clear();
    QVERIFY(!PigeonExchange::importPigeons(db.dm(), sheetless, sink).ok);
    QCOMPARE(sink.textsOf(MessageKind::Failure), QStringList{QStringLiteral("The workbook holds no worksheet.")});
    QVERIFY(!sink.hasContaining(QStringLiteral("success")));

    sink.clear();
    const QString headings = sevenColumnSheet(dir.filePath(QStringLiteral("headings.xlsx")), {});
    QVERIFY(!PigeonExchange::importPigeons(db.dm(), headings, sink).ok);
    QCOMPARE(sink.textsOf(MessageKind::Failure),
             QStringList{QStringLiteral("The first worksheet holds no rows below its heading row: nothing was imported.")});
    QVERIFY(!sink.hasContaining(QStringLiteral("success")));
}

void TestPigeonExchange::workbookWrittenByOpenpyxl()
{
    TestDb db;
    member(db.dm(), QStringLiteral("0042"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("o.xlsx"));
    const char *script = R"(
import sys, datetime, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.append(['LoftNo', 'RCountry', 'RYear', 'RRegLetter', 'RRegNumber', 'Sex', 'ColorType', 'PRingNo', 'E_Ring'])
ws.append(['0042', 'AU', 2019, 'AB', 7, 'Hen', 'BB', None, None])
ws.append(['0042', 'BELG', 2019, '', 1234567, 'Cock', True, 'BE19-1234567', 'E01'])
ws.append(['0042', 'GB', datetime.datetime(2019, 1, 1), 'A', '=2+3', 'Cock', 'RC', None, None])
wb.save(sys.argv[1])
)";
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    RecordingSink sink;
    const auto outcome = PigeonExchange::importPigeons(db.dm(), path, sink);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.inserted, 2);
    QCOMPARE(outcome.skipped, 1);
    const QStringList rows = pigeonRows(db.dm());
    QVERIFY2(rows.contains(QStringLiteral("0042|AU19-AB-0007|AU|2019|AB|7|H|BB|NULL|0")), qPrintable(rows.join(QLatin1Char('\n'))));
    QVERIFY2(rows.contains(QStringLiteral("0042|BE19-1234567|BELG|2019||1234567|C|TRUE|E01|0")), qPrintable(rows.join(QLatin1Char('\n'))));
    // A date where the year belongs arrives as its serial number: no ring can be composed from it.
    QVERIFY(sink.textsOf(MessageKind::Info).contains(QStringLiteral("Row 4 skipped: Year: at most 4 characters.")));
}

void TestPigeonExchange::largeSheetShowsProgress()
{
    TestDb db;
    member(db.dm(), QStringLiteral("10"));
    QTemporaryDir dir;
    std::vector<QVariantList> rows;
    rows.reserve(100000);
    for (int n = 1; n <= 100000; ++n)
        rows.push_back({QStringLiteral("10"), QStringLiteral("NL"), QStringLiteral("2021"), QString(), n,
                        QStringLiteral("Hen"), QStringLiteral("BB")});
    const QString path = sevenColumnSheet(dir.filePath(QStringLiteral("big.xlsx")), rows);
    RecordingSink sink;
    const auto outcome = PigeonExchange::importPigeons(db.dm(), path, sink);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.inserted, 100000);
    // The counts in the user's locale: 4,200 in England, 4.200 in Germany.
    const QLocale here = QLocale::system();
    QVERIFY(sink.progressCalls.contains(
        QStringLiteral("4200/100000 row %1 of %2").arg(here.toString(4200), here.toString(100000))));
    QCOMPARE(sink.progressCalls.last(),
             QStringLiteral("100000/100000 row %1 of %1").arg(here.toString(100000)));
}

void TestPigeonExchange::exportYearsAndMemberList()
{
    TestDb db;
    QVERIFY(loadJsonRows(db.dm(), QStringLiteral(PENNAVOX_TEST_DATA "/exports/race_week.json")));
    db.dm().exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegLetter, RRegNumber, "
                                "Sex, DeleteMark) VALUES ('0003','AU19-AB-0007','AU','2019','AB','0007','H',0),"
                                "('0003','BELG19','BELG','2019','','0100','X',0)"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rings.xlsx"));
    RecordingSink sink;
    QVERIFY(PigeonExchange::savePigeons(db.dm(), QStringLiteral("0003"), path, sink));
    WorkbookSheet s;
    QString error;
    QVERIFY(readFirstSheet(path, &s, &error));
    QCOMPARE(s.rowCount(), 3);
    QCOMPARE(s.columnCount(), 9);
    QCOMPARE(s.text(1, 9), QStringLiteral("E_Ring"));
    QCOMPARE(s.text(2, 2), QStringLiteral("AU"));
    QCOMPARE(s.text(2, 3), QStringLiteral("19"));
    QCOMPARE(s.text(2, 5), QStringLiteral("0007"));
    QCOMPARE(s.text(3, 3), QStringLiteral("2019"));
    QCOMPARE(s.text(3, 6), QStringLiteral("Unknown"));

    QFile want(QStringLiteral(PENNAVOX_TEST_DATA "/exports/COTE_members.txt"));
    QVERIFY(want.open(QIODevice::ReadOnly));
    QCOMPARE(PigeonExchange::memberList(db.dm()).bytes(), want.readAll());
    QCOMPARE(PigeonExchange::memberList(db.dm()).unmappable(), 2);

    // A comma stored before the entry checks is written as a blank, counted, and the fields stay put.
    db.dm().exec(QStringLiteral("UPDATE ORV_LoftData SET LoftName='BLUE, LOFT', EMail='b@x.org,c@y.org' "
                                "WHERE LoftNo='0001'"));
    const TextFile withCommas = PigeonExchange::memberList(db.dm());
    QVERIFY(withCommas.bytes().startsWith("0001,BLUE  LOFT,0612,E0042130.50,N0505100.00,CLK1,NORD,,b@x.org c@y.org\r\n"));
    QCOMPARE(withCommas.commasBlanked(), 2);
    sink.clear();
    QVERIFY(PigeonExchange::saveMemberList(db.dm(), dir.filePath(QStringLiteral("COTE.txt")), sink));
    QVERIFY(sink.hasContaining(QStringLiteral("COTE.txt: 2 comma(s) inside fields were written as blanks")));
}

QTEST_GUILESS_MAIN(TestPigeonExchange)
#include "tst_pigeonexchange.moc"
