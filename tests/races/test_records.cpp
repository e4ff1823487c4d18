// Race records, sites, sun rows, distances and hand-entered arrivals against a real store.
#include "racefixture.h"
#include "races/coordinates.h"
#include "races/distances.h"
#include "races/otherclock.h"
#include "races/racelists.h"
#include "races/raceinfo.h"
#include "races/racerecords.h"
#include "races/sundata.h"
#include "store/appclock.h"
#include "tests/support/recordingsink.h"
#include "tests/support/testdb.h"

#include <QBuffer>
#include <QtTest>

using namespace RaceFixture;

namespace {
RaceRecords::RaceForm form(const QString &code, const QDate &date)
{
    RaceRecords::RaceForm f;
    f.clubName = QStringLiteral("Test Club");
    f.site = QStringLiteral("Orleans");
    f.abbreviation = QStringLiteral("ORL");
    f.lon = QStringLiteral("    '  :  ");
    f.lat = QStringLiteral("    '  :  ");
    f.date = date;
    f.time = QTime(7, 0);
    f.liberCode = code;
    return f;
}

QVariant value(TdmORVS &dm, const QString &sql, const QVariantList &binds = {})
{
    return dm.scalar(sql, binds);
}
} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void init() { AppClock::setFixed(QDateTime(QDate(2026, 5, 20), QTime(10, 0))); }

    void raceCodesOfOneDay()
    {
        QCOMPARE(RaceRecords::formRaceCode(QStringLiteral("1234"), QDate(2026, 5, 26), 0),
                 QStringLiteral("12340526"));
        QCOMPARE(RaceRecords::formRaceCode(QStringLiteral("1234"), QDate(2026, 12, 3), 1),
                 QStringLiteral("1234AC03"));
        TestDb db;
        db.insertClub();
        RecordingSink sink;
        const QDate may26(2026, 5, 26);
        QStringList codes;
        for (int i = 0; i < 3; ++i) {
            const auto out = RaceRecords::save(db.dm(), form(QStringLiteral("1234"), may26),
                                               RaceRecords::Mode::Add, {}, sink);
            QVERIFY(out.ok);
            codes << out.raceCode;
        }
        QCOMPARE(codes, (QStringList{"12340526", "1234A526", "1234B526"}));
        // a soft-deleted race still counts
        RaceRecords::softDelete(db.dm(), QStringLiteral("NC"), QStringLiteral("1234B526"));
        QCOMPARE(
            RaceRecords::save(db.dm(), form(QStringLiteral("1234"), may26), RaceRecords::Mode::Add, {}, sink)
                .raceCode,
            QStringLiteral("1234C526"));
        QCOMPARE(value(db.dm(), "SELECT DeleteMark FROM ORV_RaceData WHERE RaceCode='1234B526'").toInt(), 1);
        // another day starts again
        QCOMPARE(RaceRecords::save(db.dm(), form(QStringLiteral("1234"), QDate(2026, 12, 3)),
                                   RaceRecords::Mode::Add, {}, sink)
                     .raceCode,
                 QStringLiteral("12341203"));
        QCOMPARE(RaceRecords::save(db.dm(), form(QStringLiteral("1234"), QDate(2026, 12, 3)),
                                   RaceRecords::Mode::Add, {}, sink)
                     .raceCode,
                 QStringLiteral("1234AC03"));
        QVERIFY(sink.messages.isEmpty());
    }

    void editingKeepsTheCodeAndMatchesTheClub()
    {
        TestDb db;
        db.insertClub();
        db.dm().exec("INSERT INTO ORV_ClubMap VALUES ('OC','Other Club')");
        RecordingSink sink;
        auto f = form(QStringLiteral("1234"), QDate(2026, 5, 26));
        f.lon = QStringLiteral("E004'21:30");
        f.lat = QStringLiteral("N047'54:00");
        QCOMPARE(RaceRecords::save(db.dm(), f, RaceRecords::Mode::Add, {}, sink).raceCode,
                 QStringLiteral("12340526"));
        f.date = QDate(2026, 6, 2);
        f.lon = QStringLiteral("    '  :  ");
        f.site = QStringLiteral("Orleans Nord");
        RaceRecords::save(db.dm(), f, RaceRecords::Mode::Edit, QStringLiteral("12340526"), sink);
        const auto race = Races::findRace(db.dm(), QStringLiteral("12340526"));
        QVERIFY(race);
        QCOMPARE(race->liberDate, QDate(2026, 6, 2));
        QCOMPARE(race->liberLon.toString(), QStringLiteral("    '  :  ")); // an edit keeps the mask text
        // choosing another club updates nothing
        f.clubName = QStringLiteral("Other Club");
        f.site = QStringLiteral("Elsewhere");
        RaceRecords::save(db.dm(), f, RaceRecords::Mode::Edit, QStringLiteral("12340526"), sink);
        QCOMPARE(Races::findRace(db.dm(), QStringLiteral("12340526"))->liberSite,
                 QStringLiteral("Orleans Nord"));
        // an unknown club writes no race
        f.clubName = QStringLiteral("Nobody");
        QVERIFY(!RaceRecords::save(db.dm(), f, RaceRecords::Mode::Add, {}, sink).ok);
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_RaceData").toInt(), 1);
        // the site keeps what it was created with
        QCOMPARE(value(db.dm(), "SELECT LiberSite || LiberLon FROM ORV_LiberateSite").toString(),
                 QStringLiteral("OrleansE004'21:30"));
    }

    void newSiteGetsNullCoordinatesAndZeroDistances()
    {
        TestDb db;
        db.insertClub();
        loft(db.dm(), "L1", "Ann");
        loft(db.dm(), "L2", "Bob");
        distance(db.dm(), "77", "L1", 5, 5);
        RecordingSink sink;
        auto f = form(QStringLiteral("77"), QDate(2026, 5, 26));
        const auto out = RaceRecords::save(db.dm(), f, RaceRecords::Mode::Add, {}, sink);
        QVERIFY(out.ok && out.siteCreated);
        QVERIFY(value(db.dm(), "SELECT LiberLon FROM ORV_RaceData").isNull());
        QVERIFY(value(db.dm(), "SELECT LiberLat FROM ORV_LiberateSite").isNull());
        QCOMPARE(
            value(db.dm(), "SELECT group_concat(LoftNo||':'||Miles) FROM ORV_LoftLibPointDist").toString(),
            QStringLiteral("L1:5,L2:0"));
        // no abbreviation for a new code: refused, but the race row written stays
        f.liberCode = QStringLiteral("88");
        f.abbreviation.clear();
        const auto refused = RaceRecords::save(db.dm(), f, RaceRecords::Mode::Add, {}, sink);
        QVERIFY(!refused.ok && refused.raceWritten);
        QCOMPARE(sink.last(), RaceRecords::EntryError);
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_LiberateSite").toInt(), 1);
        // empty site stops before anything
        f.site.clear();
        QVERIFY(!RaceRecords::save(db.dm(), f, RaceRecords::Mode::Add, {}, sink).raceWritten);
        // deleting a site removes its distances, not its races
        RaceRecords::deleteSite(db.dm(), QStringLiteral("77"));
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_LoftLibPointDist").toInt(), 0);
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_RaceData WHERE LiberCode='77'").toInt(), 1);
    }

    void sunRowsAreReplacedWhole()
    {
        TestDb db;
        RecordingSink sink;
        const QString key = QStringLiteral("12340526");
        std::vector<SunData::GridRow> rows;
        for (int d = 26; d <= 31; ++d)
            rows.push_back({QStringLiteral("2026-05-%1").arg(d), QStringLiteral("Orleans"),
                            QStringLiteral("21:30:00"), QStringLiteral("05:00")});
        QVERIFY(SunData::save(db.dm(), key, rows, sink));
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_SunSet_SunRise").toInt(), SunData::MaxRows);
        QCOMPARE(value(db.dm(), "SELECT SunRise FROM ORV_SunSet_SunRise LIMIT 1").toString(),
                 QStringLiteral("05:00:00"));
        const auto sun = Races::sunRows(db.dm(), key);
        QCOMPARE(sun.front().raceDate, QDate(2026, 5, 26));
        QCOMPARE(sun.front().sunSet, QTime(21, 30));
        // a row with empty times stores NULL times; the rest is gone
        QVERIFY(SunData::save(db.dm(), key, {{QStringLiteral("2026-05-26"), {}, {}, {}}}, sink));
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_SunSet_SunRise").toInt(), 1);
        QVERIFY(value(db.dm(), "SELECT SunSet FROM ORV_SunSet_SunRise").isNull());
        // all dates empty: nothing stays
        QVERIFY(SunData::save(db.dm(), key, {{{}, QStringLiteral("x"), {}, {}}}, sink));
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_SunSet_SunRise").toInt(), 0);
        // an unreadable time stops there, the rows before it stay
        QVERIFY(!SunData::save(db.dm(), key,
                               {{QStringLiteral("2026-05-26"), {}, QStringLiteral("21:30"), {}},
                                {QStringLiteral("2026-05-27"), {}, QStringLiteral("late"), {}},
                                {QStringLiteral("2026-05-28"), {}, QStringLiteral("21:30"), {}}},
                               sink));
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_SunSet_SunRise").toInt(), 1);
        QVERIFY(sink.hasContaining(QStringLiteral("'late'")));
        QCOMPARE(SunData::load(db.dm(), key).size(), size_t(1));
    }

    void distanceImport()
    {
        TestDb db;
        RecordingSink sink;
        QByteArray file("77,L1,120,500\r\n\r\n,L9,1,1\r\n77,L2,\r\n");
        QBuffer in(&file);
        in.open(QIODevice::ReadOnly);
        QVERIFY(Distances::importFile(db.dm(), in, sink));
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_LoftLibPointDist").toInt(), 2);
        QVERIFY(value(db.dm(), "SELECT Miles FROM ORV_LoftLibPointDist WHERE LoftNo='L2'").isNull());
        // the same pair again updates its row
        QByteArray again("77,L1,121,5,ignored\n77,L2,x,1\n77,L3,1,1\n");
        QBuffer in2(&again);
        in2.open(QIODevice::ReadOnly);
        sink.clear();
        QVERIFY(!Distances::importFile(db.dm(), in2, sink));
        QCOMPARE(
            value(db.dm(), "SELECT Miles||'/'||Yards FROM ORV_LoftLibPointDist WHERE LoftNo='L1'").toString(),
            QStringLiteral("121/5"));
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_LoftLibPointDist").toInt(), 2); // stopped before L3
        QVERIFY(!sink.hasContaining(QStringLiteral("success")));
        QCOMPARE(sink.textsOf(MessageKind::Failure).size(), 1);
        // the message names the line and the field, and what happened to the rest
        QVERIFY2(sink.last().startsWith(QStringLiteral("Line 2: 'x' is not a valid integer value (field 3")),
                 qPrintable(sink.last()));
        QByteArray exponent("77,L1,1e2,0\n");
        QBuffer in3(&exponent);
        in3.open(QIODevice::ReadOnly);
        sink.clear();
        QVERIFY(!Distances::importFile(db.dm(), in3, sink));
        QVERIFY2(sink.last().startsWith(QStringLiteral("Line 1: '1e2' is not a valid integer value")),
                 qPrintable(sink.last()));
    }

    void distanceImportRefusesWhatTheColumnsCannotHold()
    {
        TestDb db;
        RecordingSink sink;
        // One huge line is skipped with its number, read in pieces; the lines around it count.
        QByteArray file("77,L1,1,2\n");
        file += "77,L2," + QByteArray(3 * 1024 * 1024, '9') + ",1\n";
        file += "77,WAYTOOLONGLOFT,1,1\n77,L3,5,6";
        QBuffer in(&file);
        in.open(QIODevice::ReadOnly);
        // Skipped lines make the whole import a failure that counts them, never "success".
        QVERIFY(!Distances::importFile(db.dm(), in, sink));
        QCOMPARE(sink.textsOf(MessageKind::Failure),
                 (QStringList{"Line 2 skipped: longer than 1024 characters",
                              "Line 3 skipped: Loft number: at most 10 characters.",
                              "Race distance download: 2 line(s) stored, 2 skipped (see above)."}));
        QVERIFY(!sink.hasContaining(QStringLiteral("success")));
        QCOMPARE(value(db.dm(), "SELECT group_concat(LoftNo) FROM ORV_LoftLibPointDist").toString(), QString("L1,L3"));
        // a negative distance stops the import like a value that is no number
        QByteArray negative("77,L4,1,1\n77,L5,-3,0\n77,L6,1,1\n");
        QBuffer in2(&negative);
        in2.open(QIODevice::ReadOnly);
        sink.clear();
        QVERIFY(!Distances::importFile(db.dm(), in2, sink));
        QCOMPARE(sink.last(), QString("Line 2: a distance cannot be negative"));
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_LoftLibPointDist WHERE LoftNo IN ('L4','L5','L6')").toInt(), 1);
        // a write the database refuses is a failure, never "success"
        db.dm().exec("CREATE TRIGGER no_dist BEFORE INSERT ON ORV_LoftLibPointDist BEGIN "
                     "SELECT RAISE(ABORT, 'disk says no'); END");
        QByteArray fresh("77,L7,1,1\n");
        QBuffer in3(&fresh);
        in3.open(QIODevice::ReadOnly);
        sink.clear();
        QVERIFY(!Distances::importFile(db.dm(), in3, sink));
        QVERIFY(!sink.hasContaining(QStringLiteral("success")));
        QVERIFY(sink.hasContaining(QStringLiteral("Line 1: the distance could not be stored: ")));
        QVERIFY(sink.hasContaining(QStringLiteral("disk says no")));
    }

    void entryChecksNameTheField()
    {
        RaceRecords::RaceForm f;
        f.site = "Orleans";
        f.abbreviation = "ORL";
        f.liberCode = "1234";
        f.lon = "E001'54:00";
        f.lat = "N047'54:00";
        f.date = QDate(2026, 5, 26);
        f.time = QTime(7, 0);
        QCOMPARE(RaceRecords::check(f), QString());
        RaceRecords::RaceForm bad = f;
        bad.lat = "N047'75:00";
        QCOMPARE(RaceRecords::check(bad), QString("Latitude Input Value  > 60 !"));
        bad.lat = "N0A7'54:00";
        QVERIFY2(RaceRecords::check(bad).startsWith("Latitude: "), qPrintable(RaceRecords::check(bad)));
        bad = f;
        bad.lon = "    '  :  "; // untouched mask: no coordinate, no complaint
        QCOMPARE(RaceRecords::check(bad), QString());
        bad = f;
        bad.date = QDate(1899, 12, 30);
        QCOMPARE(RaceRecords::check(bad), QString("Liberation date: a date from 1990-01-01 to 2099-12-31."));
        bad = f;
        bad.liberCode = "123456789";
        QCOMPARE(RaceRecords::check(bad), QString("Liberation code: at most 8 characters."));
        QCOMPARE(RaceRecords::checkClub("NC", QString(51, 'x')), QString("Club name: at most 50 characters."));

        // Distances in the club's unit: whole kilometres or miles, the remainder within its unit.
        QCOMPARE(Distances::checkStored(5000, 999, 0), QString());
        QCOMPARE(Distances::checkStored(5001, 0, 0), QString("KM: a whole number from 0 to 5000."));
        QCOMPARE(Distances::checkStored(400, 1760, 1), QString("Yards: a whole number from 0 to 1759."));
        QCOMPARE(Distances::checkStored(-1, QVariant(), 1), QString("Miles: a whole number from 0 to 3100."));
        QCOMPARE(Distances::checkStored(QVariant(), QVariant(), 0), QString());

        // Other-clock times: a variation beyond a day, or a moment no race has, is a typing slip.
        const QDateTime basket(QDate(2026, 5, 25), QTime(20, 0));
        const QDateTime check(QDate(2026, 5, 26), QTime(20, 0));
        const OtherClock::ClockTimes fine{basket, basket, check, check.addSecs(5)};
        const QDateTime arrival(QDate(2026, 5, 26), QTime(11, 0));
        QCOMPARE(OtherClock::check("BE-26-1", fine, arrival), QString());
        const OtherClock::ClockTimes yearOff{basket, basket, check, check.addYears(80)};
        QVERIFY(OtherClock::check("BE-26-1", yearOff, arrival).startsWith("Check member clock: a date from"));
        const OtherClock::ClockTimes twoDays{basket, basket, check, check.addDays(2)};
        QVERIFY(OtherClock::check("BE-26-1", twoDays, arrival).startsWith("Clock times: the clock's variation of"));
        QCOMPARE(OtherClock::check("BE\n26", fine, arrival),
                 QString("Ring number: control characters (line breaks, tabs) are not allowed."));
    }

    void coordinatesOffTheEarthGiveNoDistance()
    {
        // Found by fuzzing: degrees far out of range made a distance no integer holds.
        const auto d = Coordinates::distance(QStringLiteral("E004'21:30"), QStringLiteral("N050'51:00"),
                                             QStringLiteral("0749999999999999999100"),
                                             QStringLiteral("N050'00:00"));
        QCOMPARE(d.metres, 0LL);
        QVERIFY(d.message.startsWith(QStringLiteral("Coordinate out of range")));
        QCOMPARE(Coordinates::distance(QStringLiteral("E004'21:30"), QStringLiteral("N091'00:00"),
                                       QStringLiteral("E004'00:00"), QStringLiteral("N050'00:00"))
                     .metres,
                 0LL);
    }

    void otherClockArrivalNotStoredIsAFailure()
    {
        TestDb db;
        db.insertClub();
        loft(db.dm(), "L1", "Ann");
        pigeon(db.dm(), "L1", "BE-26-1");
        race(db.dm(), "12340526", "1234", "2026-05-26", "07:00:00");
        const RaceInfo r = *Races::findRace(db.dm(), QStringLiteral("12340526"));
        const QDate d(2026, 5, 25);
        OtherClock::ClockTimes t{QDateTime(d, QTime(8, 0)), QDateTime(d, QTime(8, 0)),
                                 QDateTime(QDate(2026, 5, 26), QTime(20, 0)),
                                 QDateTime(QDate(2026, 5, 26), QTime(20, 0))};
        db.dm().exec("CREATE TRIGGER no_arrival BEFORE INSERT ON ORV_PigRaceData BEGIN "
                     "SELECT RAISE(ABORT, 'refused'); END");
        RecordingSink sink;
        const auto out =
            OtherClock::save(db.dm(), r, "L1", "BE-26-1", t, QDateTime(QDate(2026, 5, 26), QTime(11, 0)), sink);
        QVERIFY(!out.ok);
        QVERIFY(sink.last().startsWith("The arrival of ring BE-26-1 could not be stored: "));
        QVERIFY(sink.last().contains("refused"));
        // nothing half-written: the clock readings of the same action were rolled back too
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_RaceClockTime").toInt(), 0);
    }

    void distanceRequestFile()
    {
        TestDb db;
        loft(db.dm(), "L2", "Bob");
        loft(db.dm(), "L1", "Ann");
        db.dm().exec("INSERT INTO ORV_LiberateSite (LiberCode, LiberSite) VALUES ('9','Z'),('10','A')");
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QCOMPARE(Distances::writeRequestFile(db.dm(), out), 4);
        QCOMPARE(out.data(), QByteArray("10,L1\r\n9,L1\r\n10,L2\r\n9,L2\r\n"));
    }

    void distancesFromCoordinates()
    {
        TestDb db;
        db.insertClub(QStringLiteral("NC"), 1);
        loft(db.dm(), "L1", "Ann", QStringLiteral("E004'00:00"), QStringLiteral("N051'00:00"));
        loft(db.dm(), "L2", "Bob", QStringLiteral("E004'00:00"), QStringLiteral("N05x'00:00"));
        loft(db.dm(), "L3", "Cy"); // no longitude: left alone
        race(db.dm(), "11110526", "1111", "2026-05-26", "07:00:00");
        db.dm().exec("UPDATE ORV_RaceData SET LiberLon='E004''00:00', LiberLat='N050''00:00'");
        distance(db.dm(), "1111", "L2", 9, 9);
        RecordingSink sink;
        QCOMPARE(Distances::updateFromCoordinates(db.dm(), QStringLiteral("11110526"), sink), 2);
        QCOMPARE(
            value(db.dm(), "SELECT Miles||'/'||Yards FROM ORV_LoftLibPointDist WHERE LoftNo='L1'").toString(),
            QStringLiteral("68/1654"));
        QCOMPARE(
            value(db.dm(), "SELECT Miles||'/'||Yards FROM ORV_LoftLibPointDist WHERE LoftNo='L2'").toString(),
            QStringLiteral("0/0"));
        QCOMPARE(sink.textsOf(MessageKind::Failure),
                 QStringList{QStringLiteral("Invalid character in degrees field in string N05x'00:00")});
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_LoftLibPointDist WHERE LoftNo='L3'").toInt(), 0);
        // a race stored with the blank mask: the degrees message once per loft with coordinates
        db.dm().exec("UPDATE ORV_RaceData SET LiberLon='    ''  :  ', LiberLat='    ''  :  '");
        sink.clear();
        Distances::updateFromCoordinates(db.dm(), QStringLiteral("11110526"), sink);
        QCOMPARE(sink.textsOf(MessageKind::Failure).size(), 2);
        QCOMPARE(value(db.dm(), "SELECT Miles FROM ORV_LoftLibPointDist WHERE LoftNo='L1'").toInt(), 0);
    }

    void otherClockArrivals()
    {
        TestDb db;
        db.insertClub();
        loft(db.dm(), "L1", "Ann");
        pigeon(db.dm(), "L1", "BE-26-1");
        distance(db.dm(), "1234", "L1", 400, 0);
        race(db.dm(), "12340526", "1234", "2026-05-26", "07:00:00");
        const RaceInfo r = *Races::findRace(db.dm(), QStringLiteral("12340526"));
        const QDate d(2026, 5, 25);
        OtherClock::ClockTimes t{QDateTime(d, QTime(8, 0)), QDateTime(d, QTime(8, 0)),
                                 QDateTime(QDate(2026, 5, 26), QTime(20, 0)),
                                 QDateTime(QDate(2026, 5, 26), QTime(20, 0, 5))};
        RecordingSink sink;
        const QDateTime arrival(QDate(2026, 5, 26), QTime(11, 30, 15));
        auto out = OtherClock::save(db.dm(), r, "L1", "BE-26-1", t, arrival, sink);
        QVERIFY(out.ok);
        QCOMPARE(out.variation, 5);
        QCOMPARE(out.result.flyMs, 16215000LL - 5000);
        QCOMPARE(out.distance, 400000LL);
        // saved again with a clock that lost 3 s: one row, rewritten
        t.checkMember = QDateTime(QDate(2026, 5, 26), QTime(19, 59, 57));
        out = OtherClock::save(db.dm(), r, "L1", "BE-26-1", t, arrival, sink);
        QCOMPARE(out.result.flyMs, 16215000LL + 3000);
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_PigRaceData").toInt(), 1);
        QCOMPARE(value(db.dm(), "SELECT COUNT(*) FROM ORV_RaceClockTime").toInt(), 1);
        QCOMPARE(value(db.dm(), "SELECT BackTime||' '||TimeVari||' '||Dist FROM ORV_PigRaceData").toString(),
                 QStringLiteral("2026-05-26 11:30:15 -3 400000"));
        QCOMPARE(OtherClock::load(db.dm(), "12340526", "L1")->variation(), -3);
        QCOMPARE(*OtherClock::arrivalOf(db.dm(), "12340526", "BE-26-1"),
                 QStringLiteral("2026-05-26 11:30:15"));
        // no ring chosen: nothing stored
        QVERIFY(!OtherClock::save(db.dm(), r, "L1", " ", t, arrival, sink).ok);
        QCOMPARE(sink.last(), OtherClock::NoRingError);
        // a loft without a distance row gets velocity 0 and distance 0
        loft(db.dm(), "L2", "Bob");
        pigeon(db.dm(), "L2", "BE-26-2");
        out = OtherClock::save(db.dm(), r, "L2", "BE-26-2", t, arrival, sink);
        QCOMPARE(out.distance, 0LL);
        QCOMPARE(out.result.velocity, 0.0);
    }

    void ringLookups()
    {
        TestDb db;
        pigeon(db.dm(), "L1", "BE-26-1234");
        pigeon(db.dm(), "L1", "BE-26-5534");
        pigeon(db.dm(), "L1", "BE-26-9999", "H", 1);
        pigeon(db.dm(), "L1", "BE-26-_34");
        QCOMPARE(OtherClock::liveRings(db.dm(), "L1").size(), 3);
        QCOMPARE(OtherClock::liveRings(db.dm(), "L1", "234"), QStringList{"BE-26-1234"});
        QCOMPARE(OtherClock::liveRings(db.dm(), "L1", "_34"),
                 QStringList{"BE-26-_34"}); // typed text is literal
        OtherClockList grid(db.dm());
        grid.load("X", "L1");
        QCOMPARE(grid.rowCount(), 4); // soft-deleted pigeons included
        QVERIFY(grid.value(0, "BackTime").isNull());
        QVERIFY(!OtherClock::arrivalOf(db.dm(), "X", "BE-26-1234"));
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
