#include "members/colours.h"
#include "members/coordmask.h"
#include "members/memberlists.h"
#include "members/members.h"
#include "members/membersettings.h"
#include "members/rings.h"
#include "store/appclock.h"
#include "store/recordtable.h"
#include "store/sorttext.h"
#include "store/valuetext.h"
#include "tests/support/recordingsink.h"
#include "tests/support/listtext.h"
#include "tests/support/testdb.h"

#include <QFile>
#include <QtTest>

namespace {
MemberForm member(const QString &loft, const QString &name = QStringLiteral("Jan Peeters"))
{
    MemberForm f;
    f.associationCode = QStringLiteral("BE");
    f.loftNo = loft;
    f.name = name;
    f.street = QStringLiteral("Main St: 5");
    f.lon = QStringLiteral("E004'21:30.50");
    f.lat = QStringLiteral("N050'51:00.00");
    return f;
}

RingEntry ring(const QString &c, const QString &y, const QString &l, const QString &n, const QString &u = {})
{
    RingEntry e;
    e.country = c;
    e.year = y;
    e.letters = l;
    e.number = n;
    e.upper = u;
    return e;
}

QString composed(const RingEntry &e, const QString &selected = {})
{
    QString r;
    return Rings::compose(e, selected, &r) ? r : QStringLiteral("<error>");
}

void writeIni(const QString &folder, const QString &body)
{
    QFile f(folder + QStringLiteral("/ORVS.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(("[Parameter]\n" + body).toUtf8());
}
} // namespace

class TestMembers : public QObject
{
    Q_OBJECT
private slots:
    void init() { AppClock::setFixed(QDateTime(QDate(2024, 5, 6), QTime(10, 11, 12))); }

    void settingsDefaultsAndTimeZone()
    {
        TestDb db;
        QString err;
        MemberSettings s = MemberSettings::read(db.dataFolder(), &err);
        QVERIFY(err.isEmpty());
        QCOMPARE(s.timeZoneSeconds, 0);
        QCOMPARE(s.markedFlag, QStringLiteral("2"));
        QCOMPARE(s.setParams, QStringLiteral("2"));
        QVERIFY(s.countryRingCodes.isEmpty());

        writeIni(db.dataFolder(), "CountryRingCode=BELG, NL ,AU,\nTimeZone=-2\nAPN=web\nSetParams=\n");
        s = MemberSettings::read(db.dataFolder(), &err);
        QVERIFY(err.isEmpty());
        QCOMPARE(s.countryRingCodes, (QStringList{"BELG", "NL", "AU"}));
        QCOMPARE(s.timeZoneSeconds, -7200);
        QCOMPARE(s.apn, QStringLiteral("web"));
        QCOMPARE(s.setParams, QStringLiteral("2")); // empty takes the default

        writeIni(db.dataFolder(), "TimeZone=1.5\n");
        s = MemberSettings::read(db.dataFolder(), &err);
        QVERIFY(err.contains("TimeZone '1.5'"));
        QCOMPARE(s.timeZoneSeconds, 0);
        err.clear();
        writeIni(db.dataFolder(), "TimeZone=10\n"); // 36000 s does not fit the clock's 16 bits
        MemberSettings::read(db.dataFolder(), &err);
        QVERIFY(!err.isEmpty());

        // Flags go to the clock as numbers: a field list hidden in one is never sent.
        err.clear();
        writeIni(db.dataFolder(), "MarkedFlag=2%LoftNo:999\nSetParams=300\n");
        s = MemberSettings::read(db.dataFolder(), &err);
        QCOMPARE(s.markedFlag, QStringLiteral("2"));
        QCOMPARE(s.setParams, QStringLiteral("2"));
        QVERIFY(err.contains("MarkedFlag '2%LoftNo:999' is not a whole number from 0 to 255"));
        QVERIFY(err.contains("SetParams '300'"));
    }

    void coordinateExitCheck()
    {
        // Each box checks its own text: minutes and seconds below 60, the coordinate's hemisphere.
        QCOMPARE(CoordMask::exitCheck("N051'75:00.00", false), QStringLiteral("Latitude Input Value  > 60 !"));
        QCOMPARE(CoordMask::exitCheck("N004'21:30.00", true), QStringLiteral("Longitude: the hemisphere is E or W, not \"N\""));
        QCOMPARE(CoordMask::exitCheck("E051'10:00.00", false), QStringLiteral("Latitude: the hemisphere is N or S, not \"E\""));
        QCOMPARE(CoordMask::exitCheck("E004'21:60.00", true), QStringLiteral("Longitude Input Value > 60 !"));
        QVERIFY(CoordMask::exitCheck("E121'23:24.00", true).isEmpty());
        QVERIFY(CoordMask::exitCheck(CoordMask::Blank, true).isEmpty());
        QVERIFY(CoordMask::exitCheck("", false).isEmpty());
        QVERIFY(CoordMask::exitCheck("N999'59:59.99", false).isEmpty()); // degrees not tested
        QVERIFY(CoordMask::exitCheck("N051'5 :00.00", false).contains("not a valid integer"));
    }

    void saveInsertsWithDistanceRowsAndUpdatesExisting()
    {
        TestDb db;
        for (int i = 1; i <= 5; ++i)
            db.dm().exec("INSERT INTO ORV_LiberateSite (LiberCode, LiberSite) VALUES (?,?)",
                         {QString::number(i), QStringLiteral("Site %1").arg(i)});
        RecordingSink sink;
        QVERIFY(Members::save(db.dm(), member("12345"), sink));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftLibPointDist WHERE LoftNo='12345' AND Miles=0 "
                                "AND Yards=0").toInt(), 5);
        auto rows = db.dm().rows("SELECT * FROM ORV_LoftData");
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].value("Street").toString(), QStringLiteral("Main St: 5")); // insert keeps the colon
        QCOMPARE(rows[0].value("UpdateTime").toString(), QStringLiteral("2024-05-06 10:11:12"));
        QCOMPARE(rows[0].value("SynchFlag").toInt(), 1);

        // AddNew with an existing number updates it: no second row, no new distance rows.
        MemberForm again = member("12345", "O'Neill");
        again.notes = "line#10one\r\nline#13two";
        QVERIFY(Members::save(db.dm(), again, sink));
        rows = db.dm().rows("SELECT * FROM ORV_LoftData");
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].value("LoftName").toString(), QStringLiteral("O'Neill"));
        QCOMPARE(rows[0].value("Street").toString(), QStringLiteral("Main St  5"));
        QCOMPARE(rows[0].value("Notes").toString(), QStringLiteral("lineone\r\nlinetwo"));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftLibPointDist").toInt(), 5);
        QVERIFY(sink.messages.isEmpty());

        MemberForm bad = member("777");
        bad.name.clear();
        QVERIFY(!Members::save(db.dm(), bad, sink));
        QCOMPARE(sink.last(), QStringLiteral("Set new Member find data entry error !"));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftData").toInt(), 1);

        // The member list and the SMS files carry these fields without quoting: no comma in them.
        const std::pair<void (*)(MemberForm &), const char *> commas[] = {
            {[](MemberForm &f) { f.name = "Adams, John"; }, "Name"},
            {[](MemberForm &f) { f.loftNo = "7,7"; }, "Loft number"},
            {[](MemberForm &f) { f.phone = "0612,34"; }, "Phone"},
            {[](MemberForm &f) { f.email = "a@b.c,d@e.f"; }, "E-mail"},
            {[](MemberForm &f) { f.associationCode = "NO,RD"; }, "Association code"},
        };
        for (const auto &[edit, field] : commas) {
            MemberForm withComma = member("778");
            edit(withComma);
            sink.clear();
            QVERIFY(!Members::save(db.dm(), withComma, sink));
            QCOMPARE(sink.last(), QString::fromLatin1(field) +
                                      ": a comma cannot be used (the exchange files are comma-separated).");
        }
        MemberForm street = member("778");
        street.street = "Rue Neuve, 12"; // not in those files
        QVERIFY(Members::save(db.dm(), street, sink));
    }

    void memberListTextsAndBlankForm()
    {
        TestDb db;
        db.insertClub();
        RecordingSink sink;
        QCOMPARE(Members::blank(db.dm()).associationCode, QStringLiteral("BE"));
        QVERIFY(Members::save(db.dm(), member("B2", "Zed"), sink));
        QVERIFY(Members::save(db.dm(), member("A1", "Abe"), sink));
        db.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID) VALUES ('A1','0A0B0C0D'),('A1','11223344')");
        MemberList t(db.dm());
        t.load();
        QCOMPARE(t.rowCount(), 2);
        QCOMPARE(t.displayText(0, 0), QStringLiteral("BE A1"));
        QCOMPARE(t.displayText(0, 2), QStringLiteral("2"));
        QCOMPARE(t.displayText(1, 2), QStringLiteral("0"));
        // Title clicks: ascending, descending, ascending.
        QString s;
        for (const char *want : {"Abe", "Zed", "Abe"}) {
            t.titleClick(s, "LoftName");
            QCOMPARE(t.displayText(0, 1), QString::fromLatin1(want));
        }
        QCOMPARE(ValueText::count3(0), QStringLiteral("000"));
    }

    void printedListsFollowTheGrids()
    {
        TestDb db;
        db.insertClub();
        RecordingSink sink;
        QVERIFY(Members::save(db.dm(), member("B2", "Zed"), sink));
        QVERIFY(Members::save(db.dm(), member("A1", "Abe"), sink));
        MemberList grid(db.dm()), report(db.dm(), ListLayout::Report);
        report.copyRowsFrom(grid);
        QCOMPARE(report.rowCount(), 0); // an empty list prints its header only
        QCOMPARE(report.headerData(2, Qt::Horizontal).toString(), QStringLiteral("No. of Clocks"));
        grid.load();
        QString sort;
        grid.titleClick(sort, "LoftName");
        grid.titleClick(sort, "LoftName"); // by name, descending
        report.copyRowsFrom(grid);
        QCOMPARE(report.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(report.displayText(0, 0), QStringLiteral("Zed"));
        QCOMPARE(report.displayText(0, 1), QStringLiteral("BE B2"));

        RingEntry e;
        e.country = "BELG";
        e.year = "2019";
        e.letters = "-";
        for (const char *n : {"1", "2"}) {
            e.number = n;
            QVERIFY(Rings::save(db.dm(), "A1", e, {}, sink).ok);
        }
        RingList rings(db.dm()), printed(db.dm(), ListLayout::Report);
        rings.load("A1");
        // A Mult_Del tick marks the ring in the store and in the grid's row; the list is not run
        // again, so the printed list still holds the ring.
        QVERIFY(Rings::toggleDeleteMark(db.dm(), "A1", rings.value(0, "PRingNo").toString(), false));
        rings.setValue(0, "DeleteMark", 1);
        printed.copyFrom(rings);
        QCOMPARE(printed.rowCount(), 2);
        QCOMPARE(ListText::titles(printed), (QStringList{"Life Ring Number", "Sex ", "E_Ring", "Color", "Created", "Assign Date", "Updated"}));
        QCOMPARE(printed.displayText(0, 0), QStringLiteral("BELG 19 - 1"));
        QCOMPARE(printed.displayText(0, 1), QStringLiteral("Cock"));
        QCOMPARE(printed.displayText(0, 3), QStringLiteral("Other"));
        rings.load("A1");
        QCOMPARE(rings.rowCount(), 1);
    }

    void deletePaths()
    {
        TestDb db;
        RecordingSink sink;
        QVERIFY(Members::save(db.dm(), member("L1"), sink));
        db.dm().exec("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES ('9','L1',0,0)");
        db.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID) VALUES ('L1','0A0B0C0D')");
        db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, DeleteMark) VALUES ('L1','R1',1)");
        // Only soft-deleted pigeons: no question, the pigeons stay.
        QVERIFY(Members::remove(db.dm(), "L1", sink));
        QVERIFY(sink.questions.isEmpty());
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftData").toInt(), 0);
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftLibPointDist").toInt(), 0);
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData").toInt(), 1);
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftClocks").toInt(), 1);

        QVERIFY(Members::save(db.dm(), member("L2"), sink));
        db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, DeleteMark) VALUES ('L2','R2',0),('L2','R3',0),"
                     "('L2','R4',1)");
        sink.answers = {Answer::No};
        QVERIFY(!Members::remove(db.dm(), "L2", sink));
        QCOMPARE(sink.questions.last(), QStringLiteral("This Loft has 2 pigeon records, Do you want delete all data ?"));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftData").toInt(), 1);
        sink.answers = {Answer::Yes};
        QVERIFY(Members::remove(db.dm(), "L2", sink));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData WHERE LoftNo='L2'").toInt(), 0);
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftData").toInt(), 0);

        // A loft that does not exist is not "deleted".
        sink.clear();
        QVERIFY(!Members::remove(db.dm(), "NOSUCH", sink));
        QCOMPARE(sink.textsOf(MessageKind::Failure), QStringList{"Member NOSUCH not found ! Nothing was deleted."});
    }

    void clockDelete()
    {
        TestDb db;
        db.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID) VALUES ('L1','AA'),('L1','BB'),('L2','AA')");
        RecordingSink sink;
        sink.answers = {Answer::No, Answer::Yes};
        QVERIFY(!Members::deleteClock(db.dm(), "L1", "AA", sink));
        QVERIFY(Members::deleteClock(db.dm(), "L1", "AA", sink));
        QCOMPARE(sink.questions.last(), QStringLiteral("This will delete the data ?"));
        ClockList clocks(db.dm());
        clocks.load("L1");
        QCOMPARE(clocks.rowCount(), 1);
        QCOMPARE(clocks.displayText(0, 0), QStringLiteral("BB"));
        clocks.load("L2");
        QCOMPARE(clocks.rowCount(), 1);
    }

    void composeByCountry_data()
    {
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("letters");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("expected");
        QTest::newRow("AU short") << "AU" << "AB" << "12" << "2019" << "AU19-AB-0012";
        QTest::newRow("AU long") << "AU" << "AB" << "12345" << "2019" << "AU19-AB-12345";
        QTest::newRow("PL") << "PL" << "0123" << "4567" << "2020" << "PL0123-20-4567";
        QTest::newRow("FRANCE") << "FRANCE" << "AB" << "123" << "2021" << "FRANCE-21-AB.123";
        QTest::newRow("NWHU") << "NWHU" << "Z" << "1234" << "2018" << "NWHU2018Z1234";
        QTest::newRow("BELG") << "BELG" << "-" << "1234567" << "2019" << "BELG19-1234567";
        QTest::newRow("CZ") << "CZ" << "A" << "0098" << "2019" << "CZ-19-A-0098";
    }
    void composeByCountry()
    {
        QFETCH(QString, country);
        QFETCH(QString, letters);
        QFETCH(QString, number);
        QFETCH(QString, year);
        QFETCH(QString, expected);
        QCOMPARE(composed(ring(country, year, letters, number)), expected);
    }

    void composeEdgeCases()
    {
        // The general rule takes the selected ring when the number is empty.
        QCOMPARE(composed(ring("BELG", "2019", "-", ""), "BELG19-7654321"), QStringLiteral("BELG19-7654321"));
        // An empty number where the four-digit group reads one is refused, not turned into 0000.
        QString r, err;
        QVERIFY(!Rings::compose(ring("AU", "2019", "AB", ""), {}, &r, &err));
        QVERIFY(!err.isEmpty());
        QString stored;
        QCOMPARE(Rings::composeRange(ring("CZ", "2019", "A", "0098"), 100, 4, &stored), QStringLiteral("CZ-19-A-100"));
        QCOMPARE(stored, QStringLiteral("0100"));
        QCOMPARE(Rings::composeRange(ring("AU", "2019", "AB", "7"), 8, 1, &stored), QStringLiteral("AU19-AB-0008"));
        QCOMPARE(stored, QStringLiteral("0008"));
    }

    void countryRulesAndKeys()
    {
        auto belg = Rings::countryRule("BELG");
        QVERIFY(belg.setLetters);
        QCOMPARE(belg.letters, QStringLiteral("-"));
        QCOMPARE(belg.numberLimit, 7);
        QCOMPARE(Rings::countryRule("FR").numberLimit, 6);
        auto ihu = Rings::countryRule("IHU");
        QCOMPARE(ihu.letterLimit, 1);
        QCOMPARE(*ihu.hint, QStringLiteral("Field value : 'N' Or 'S'"));
        auto dv = Rings::countryRule("DV");
        QVERIFY(!dv.unlockLetters && !dv.setLetters && !dv.hint && dv.letterLimit == -1);
        QCOMPARE(Rings::countryRule("XX").letterLimit, 5);
        QVERIFY(!Rings::countryRule("XX").hint);

        QVERIFY(Rings::letterKeyAllowed("IHU", 's'));
        QVERIFY(!Rings::letterKeyAllowed("IHU", 'A'));
        QVERIFY(!Rings::letterKeyAllowed("GB", '-'));
        QVERIFY(Rings::letterKeyAllowed("SU", '-'));
        QVERIFY(!Rings::letterKeyAllowed("NEHU", '1'));
        QVERIFY(Rings::letterKeyAllowed("XX", '1'));
    }

    void ringListDisplay()
    {
        TestDb db;
        RecordingSink sink;
        QVERIFY(FeatherColours::add(db.dm(), "BB", "Blue Bar", sink));
        QVERIFY(Rings::save(db.dm(), "L1", ring("NWHU", "2018", "Z", "1234"), {}, sink).ok);
        RingEntry belg = ring("BELG", "2019", "-", "1234567");
        belg.colourText = "Blue Bar";
        belg.sexText = "Hen";
        QVERIFY(Rings::save(db.dm(), "L1", belg, {}, sink).ok);
        RingEntry digit = ring("XX", "2020", "A", "5");
        digit.colourText = "12";
        QVERIFY(Rings::save(db.dm(), "L1", digit, {}, sink).ok);
        db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, DeleteMark, ColorType) VALUES "
                     "('L1','ZZ-IMPORTED','AU',0,'XY')");

        RingList rings(db.dm());
        rings.load("L1");
        QCOMPARE(rings.rowCount(), 4);
        QHash<QString, QStringList> shown;
        for (int i = 0; i < rings.rowCount(); ++i)
            shown[rings.value(i, "PRingNo").toString()] = {rings.displayText(i, 0), rings.displayText(i, 2),
                                                          rings.displayText(i, 3)};
        QCOMPARE(shown["NWHU2018Z1234"], (QStringList{"NWHU 2018 Z 1234", "Other", "Cock"}));
        QCOMPARE(shown["BELG19-1234567"], (QStringList{"BELG 19 - 1234567", "Blue Bar", "Hen"}));
        QCOMPARE(shown["XX20A5"], (QStringList{"XX 20 A 5", "12", "Cock"}));
        QCOMPARE(shown["ZZ-IMPORTED"], (QStringList{"ZZ-IMPORTED", "Other", "Unknown"}));
        QCOMPARE(db.dm().scalar("SELECT ColorType FROM ORV_PigData WHERE PRingNo='NWHU2018Z1234'").toString(),
                 QString());
        QCOMPARE(db.dm().scalar("SELECT CreateDate FROM ORV_PigData WHERE PRingNo='XX20A5'").toString(),
                 QStringLiteral("2024-05-06"));
    }

    void saveSingleRevivesAndEdits()
    {
        TestDb db;
        RecordingSink sink;
        db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, Sex, DeleteMark, E_Ring) VALUES "
                     "('OLD','AU19-AB-0012','H',1,'E1')");
        auto res = Rings::save(db.dm(), "L1", ring("AU", "2019", "AB", "12"), {}, sink);
        QVERIFY(res.ok);
        QCOMPARE(res.lastRing, QStringLiteral("AU19-AB-0012"));
        auto rows = db.dm().rows("SELECT * FROM ORV_PigData WHERE PRingNo='AU19-AB-0012'");
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].value("LoftNo").toString(), QStringLiteral("L1"));
        QCOMPARE(rows[0].value("RRegNumber").toString(), QStringLiteral("12"));
        QCOMPARE(rows[0].value("DeleteMark").toInt(), 0);
        QVERIFY(rows[0].value("E_Ring").isNull());

        // The number exists: the entry edits the ring selected in the list, nothing else.
        QVERIFY(Rings::save(db.dm(), "L1", ring("AU", "2019", "AB", "13"), {}, sink).ok);
        RingEntry edit = ring("AU", "2019", "AB", "12");
        edit.sexText = "Hen";
        edit.comment = "fast#13";
        QVERIFY(Rings::save(db.dm(), "L1", edit, "AU19-AB-0013", sink).ok);
        QCOMPARE(db.dm().scalar("SELECT Sex FROM ORV_PigData WHERE PRingNo='AU19-AB-0013'").toString(), "H");
        QCOMPARE(db.dm().scalar("SELECT Comment FROM ORV_PigData WHERE PRingNo='AU19-AB-0013'").toString(), "fast");
        QCOMPARE(db.dm().scalar("SELECT Sex FROM ORV_PigData WHERE PRingNo='AU19-AB-0012'").toString(), "C");
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData").toInt(), 2);
    }

    void saveRanges()
    {
        TestDb db;
        RecordingSink sink;
        auto res = Rings::save(db.dm(), "L1", ring("CZ", "2019", "A", "0098", "0101"), {}, sink);
        QVERIFY(res.ok);
        QCOMPARE(res.lastRing, QStringLiteral("CZ-19-A-101"));
        QStringList got;
        for (const auto &r : db.dm().rows("SELECT PRingNo, RRegNumber FROM ORV_PigData ORDER BY rowid"))
            got << r.value(0).toString() + "/" + r.value(1).toString();
        QCOMPARE(got, (QStringList{"CZ-19-A-98/0098", "CZ-19-A-99/0099", "CZ-19-A-100/0100", "CZ-19-A-101/0101"}));

        // Not above the lower number: one ring, stored as typed.
        QVERIFY(Rings::save(db.dm(), "L1", ring("GB", "2020", "A", "500", "400"), {}, sink).ok);
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData WHERE RCountry='GB'").toInt(), 1);
        QCOMPARE(db.dm().scalar("SELECT PRingNo FROM ORV_PigData WHERE RCountry='GB'").toString(), "GB20A500");

        // A range over a live ring (another loft's) skips it and says which; a soft-deleted copy is purged.
        db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, DeleteMark) VALUES ('L9','NL21-0011',0),"
                     "('L9','NL21-0012',1)");
        sink.clear();
        res = Rings::save(db.dm(), "L1", ring("NL", "2021", "-", "0010", "0013"), {}, sink);
        QVERIFY(res.ok);
        QCOMPARE(res.skipped, QStringList{"NL21-0011"});
        QVERIFY(sink.hasContaining("NL21-0011"));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo='NL21-0011'").toInt(), 1);
        QCOMPARE(db.dm().scalar("SELECT LoftNo FROM ORV_PigData WHERE PRingNo='NL21-0012'").toString(), "L1");
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo LIKE 'NL21-%'").toInt(), 4);

        // An empty lower number with an upper one is refused before anything is written.
        db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, DeleteMark) VALUES ('L9','GB20A',1)");
        sink.clear();
        res = Rings::save(db.dm(), "L1", ring("GB", "2020", "A", "", "5"), {}, sink);
        QVERIFY(!res.ok);
        QCOMPARE(sink.textsOf(MessageKind::Failure).size(), 1);
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo='GB20A'").toInt(), 1);
    }

    void ringEntryCheckedAgainstItsColumns()
    {
        TestDb db;
        RecordingSink sink;
        const auto refused = [&](const RingEntry &e, const QString &message) {
            sink.clear();
            const int before = db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData").toInt();
            const bool ok = Rings::save(db.dm(), "L1", e, {}, sink).ok;
            QVERIFY2(!ok, qPrintable(message));
            QCOMPARE(sink.textsOf(MessageKind::Failure), QStringList{message});
            QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData").toInt(), before);
        };
        refused(ring("GB", "2020", "A", QString(100, '7')), "Registration number: at most 7 characters.");
        refused(ring("GB", "2020", "A", "12a"), "Registration number: digits only.");
        refused(ring("GB", "20x1", "A", "12"), "Year: digits only.");
        refused(ring("GB", "202", "A", "12"), "Year: 2 or 4 digits.");
        refused(ring("GB", "2020", "A%", "12"), "Registration letters: the character \"%\" cannot be sent to a clock.");
        refused(ring("GB", "2020", "A,", "12"), "Registration letters: a comma cannot be used (the exchange files are "
                                                 "comma-separated).");
        RingEntry commented = ring("GB", "2020", "A", "12");
        commented.comment = "fast, first";
        refused(commented, "Comment: a comma cannot be used (the exchange files are comma-separated).");
        RingEntry colour = ring("GB", "2020", "A", "12");
        colour.colourText = "1%Sex:#1"; // a code typed into the colour box
        refused(colour, "Colour: the character \"%\" cannot be sent to a clock.");
        refused(ring("G\nB", "2020", "A", "12"), "Country code: control characters (line breaks, tabs) are not allowed.");
        refused(ring("TOOLONG", "2020", "A", "12"), "Country code: at most 5 characters.");
        refused(ring("GB", "2020", "A", "1", "1000000"),
                "Upper registration number: a range holds at most 1000 rings (1 to 1000000 would be 1000000).");
        refused(ring("GB", "2020", "A", "1", QString(12, '9')), "Upper registration number: at most 7 characters.");
        // MALTA with full letters and number composes a ring longer than its column.
        refused(ring("MALTA", "2020", "ABCDE", "1234567"), "Ring number: at most 20 characters.");
        // Without a number a new ring would be its country and year only (or nothing).
        for (const char *country : {"GB", "CZ", "AU", "NWHU", "FRANCE", ""})
            refused(ring(country, "2024", "A", ""), "Registration number is empty or not a number !");

        // A box of exactly 1,000 rings goes in whole; the comment keeps its line breaks.
        RingEntry box = ring("GB", "2020", "B", "1001", "2000");
        box.comment = "first box\nof the season";
        QVERIFY(Rings::save(db.dm(), "L1", box, {}, sink).ok);
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo LIKE 'GB20B%'").toInt(), 1000);
        QVERIFY(Rings::save(db.dm(), "L1", ring("FRANCE", "2021", "AB", "123"), {}, sink).ok);

        // A ring stored before these checks keeps its parts and stays editable.
        db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegLetter, RRegNumber, Sex, "
                     "DeleteMark) VALUES ('L1','OLDIE1912A','OLDIE','2019','','12A','C',0)");
        const auto old = Rings::load(db.dm(), "L1", "OLDIE1912A");
        QVERIFY(old);
        RingEntry edit = *old;
        edit.sexText = "Hen";
        QVERIFY(Rings::save(db.dm(), "L1", edit, "OLDIE1912A", sink).ok);
        QCOMPARE(db.dm().scalar("SELECT Sex FROM ORV_PigData WHERE PRingNo='OLDIE1912A'").toString(), "H");
        // ... but not as a new ring.
        refused(edit, "Registration number: digits only.");
    }

    void deleteAndToggle()
    {
        TestDb db;
        db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, DeleteMark, SynchFlag) VALUES "
                     "('L1','R1',0,0),('L1','R2',0,0),('L1','R3',0,0)");
        RecordingSink sink;
        sink.answers = {Answer::No, Answer::Yes};
        QVERIFY(!Rings::deleteRing(db.dm(), "L1", "R1", sink));
        QVERIFY(Rings::deleteRing(db.dm(), "L1", "R1", sink));
        QCOMPARE(db.dm().scalar("SELECT DeleteMark||SynchFlag||Updatetime FROM ORV_PigData WHERE PRingNo='R1'")
                     .toString(), QStringLiteral("112024-05-06 10:11:12"));
        QVERIFY(Rings::toggleDeleteMark(db.dm(), "L1", "R2", false));
        QVERIFY(!Rings::toggleDeleteMark(db.dm(), "L1", "R2", true));
        QCOMPARE(db.dm().scalar("SELECT DeleteMark||SynchFlag FROM ORV_PigData WHERE PRingNo='R2'").toString(), "01");
        RingList rings(db.dm());
        rings.load("L1");
        QCOMPARE(rings.rowCount(), 2);

        sink.answers = {Answer::Yes};
        QVERIFY(Rings::deleteAll(db.dm(), "L1", sink));
        QCOMPARE(sink.questions.last(), QStringLiteral("This will delete all pigeons data ?"));
        rings.load("L1");
        QCOMPARE(rings.rowCount(), 0);
        QCOMPARE(db.dm().scalar("SELECT SynchFlag FROM ORV_PigData WHERE PRingNo='R3'").toInt(), 0);
    }

    void colours()
    {
        TestDb db;
        RecordingSink sink;
        QVERIFY(FeatherColours::add(db.dm(), "R", "Red", sink));
        QVERIFY(FeatherColours::add(db.dm(), "BC", "Blue Chequer", sink));
        QVERIFY(FeatherColours::add(db.dm(), "BC2", "Blue Chequer", sink));
        QVERIFY(!FeatherColours::add(db.dm(), "R", "Again", sink));
        // A code goes to the clocks in the pigeon's field list: "B%Sex:#1" would turn a hen into a cock.
        sink.clear();
        QVERIFY(!FeatherColours::add(db.dm(), "B%Sex:#1", "Blue", sink));
        QCOMPARE(sink.last(), QStringLiteral("Colour code: the character \"%\" cannot be sent to a clock."));
        QVERIFY(!FeatherColours::add(db.dm(), "#1", "Blue", sink));
        QVERIFY(!FeatherColours::add(db.dm(), "ABCDEFGHIJK", "Blue", sink));
        QCOMPARE(sink.last(), QStringLiteral("Colour code: at most 10 characters."));
        QVERIFY(!FeatherColours::add(db.dm(), "B", QString(40, 'x'), sink));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_FeatherColor").toInt(), 3);
        QCOMPARE(FeatherColours::boxItems(db.dm()), (QStringList{"Other", "Blue Chequer", "Blue Chequer", "Red"}));
        QCOMPARE(FeatherColours::codeFor(db.dm(), "Red"), QStringLiteral("R"));
        QCOMPARE(FeatherColours::codeFor(db.dm(), "Other"), QString());
        QCOMPARE(FeatherColours::codeFor(db.dm(), "12"), QStringLiteral("12"));
        QCOMPARE(FeatherColours::removeByName(db.dm(), "Other"), 0);
        QCOMPARE(FeatherColours::removeByName(db.dm(), "Blue Chequer"), 2);
        QCOMPARE(FeatherColours::boxItems(db.dm()), (QStringList{"Other", "Red"}));
    }

    void editLoad()
    {
        TestDb db;
        RecordingSink sink;
        QVERIFY(FeatherColours::add(db.dm(), "R", "Red", sink));
        RingEntry e = ring("PL", "2020", "0123", "4567");
        e.colourText = "Red";
        e.sexText = "Unknown";
        e.comment = "note";
        QVERIFY(Rings::save(db.dm(), "L1", e, {}, sink).ok);
        auto back = Rings::load(db.dm(), "L1", "PL0123-20-4567");
        QVERIFY(back);
        QCOMPARE(back->country + back->year + back->letters + back->number, QStringLiteral("PL202001234567"));
        QCOMPARE(back->colourText, QStringLiteral("Red"));
        QCOMPARE(back->sexText, QStringLiteral("Unknown"));
        QCOMPARE(back->comment, QStringLiteral("note"));
        QVERIFY(!Rings::load(db.dm(), "L2", "PL0123-20-4567"));
    }
};

QTEST_GUILESS_MAIN(TestMembers)
#include "tst_members.moc"
