// Flying time, velocity, variation and coordinate arithmetic: pure functions, no store.
#include "races/coordinates.h"
#include "races/flytime.h"
#include "store/appclock.h"

#include <QtTest>

using namespace FlyTime;

namespace {
QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}
SunRow sun(int y, int mo, int d, QTime set, QTime rise = QTime())
{
    return {QDate(y, mo, d), set, rise};
}
} // namespace

class TestFlyTime : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { AppClock::setZone({}); }

    void sameDayArrival()
    {
        const QDateTime s = at(2026, 5, 26, 7, 0);
        const QDateTime e = at(2026, 5, 26, 11, 30, 15, 250);
        QCOMPARE(flyingMs(s, e, {}, 0), 16215250LL);
        QCOMPARE(flyTimeText(16215250), QStringLiteral("04:30:15.250"));
        QCOMPARE(velocityText(velocity(400000, 16215250)), QStringLiteral("1480.088"));
        // clock 2 s fast: 2000 ms shorter
        QCOMPARE(flyingMs(s, e, {}, 2), 16213250LL);
        // a sun row whose sunset is later changes nothing
        QCOMPARE(flyingMs(s, e, {sun(2026, 5, 26, QTime(21, 30))}, 0), 16215250LL);
    }

    void arrivalAfterSunsetCountsToSunset()
    {
        const QDateTime s = at(2026, 5, 26, 7, 0);
        const std::vector<SunRow> rows{sun(2026, 5, 26, QTime(21, 30))};
        QCOMPARE(flyingMs(s, at(2026, 5, 26, 22, 10), rows, 0), 14LL * 3600000 + 1800000);
        QCOMPARE(flyingMs(s, at(2026, 5, 26, 21, 30), rows, 0), 14LL * 3600000 + 1800000);
    }

    void twoDayRaceNeutralisesTheNight()
    {
        const QDateTime s = at(2026, 5, 26, 7, 0);
        const QDateTime e = at(2026, 5, 27, 6, 15);
        std::vector<SunRow> rows{sun(2026, 5, 27, QTime(21, 31), QTime(5, 0)),
                                 sun(2026, 5, 26, QTime(21, 30))};
        sortSunRows(rows);
        QCOMPARE(flyingMs(s, e, rows, 0), 56700000LL);
        QCOMPARE(flyTimeText(56700000), QStringLiteral("15:45:00.000"));
        // without the second day's row only the first day counts
        QCOMPARE(flyingMs(s, e, {sun(2026, 5, 26, QTime(21, 30))}, 0), 52200000LL);
        // before sunrise on the arrival day: only the first day; after sunset: the whole day
        QCOMPARE(flyingMs(s, at(2026, 5, 27, 4, 0), rows, 0), 52200000LL);
        QCOMPARE(flyingMs(s, at(2026, 5, 27, 23, 0), rows, 0), 52200000LL + 16LL * 3600000 + 31 * 60000);
        // variation applies once
        QCOMPARE(flyingMs(s, e, rows, -3), 56703000LL);
    }

    void raceAcrossTheNewYear()
    {
        const QDateTime s = at(2026, 12, 31, 8, 0);
        const std::vector<SunRow> rows{sun(2026, 12, 31, QTime(16, 0), QTime(8, 30)),
                                       sun(2027, 1, 1, QTime(16, 5), QTime(8, 30))};
        // 8 h on New Year's Eve + 1 h on New Year's Day
        QCOMPARE(flyingMs(s, at(2027, 1, 1, 9, 30), rows, 0), 9LL * 3600000);
        // a day between liberation and arrival counts whole; rows outside the race add nothing
        const std::vector<SunRow> three{sun(2026, 12, 30, QTime(16, 0), QTime(8, 30)), rows[0], rows[1],
                                        sun(2027, 1, 2, QTime(16, 0), QTime(8, 30)),
                                        sun(2027, 1, 3, QTime(16, 0), QTime(8, 30))};
        QCOMPARE(flyingMs(s, at(2027, 1, 2, 10, 0), three, 0),
                 8LL * 3600000 + (7LL * 3600000 + 35 * 60000) + 90LL * 60000);
    }

    // A PC on European time over the weekends the clocks change (last Sunday of March and of
    // October, 02:00 CET / 03:00 CEST). Expected times worked out by hand from UTC.
    void flightsAcrossTheChangesOfTime_data()
    {
        QTest::addColumn<QDate>("saturday");
        QTest::addColumn<qint64>("unneutralised"); // Sat 20:00 -> Sun 06:00, nights not neutralised
        QTest::addColumn<qint64>("sunday");        // 00:00 to 24:00 of the Sunday
        QTest::newRow("March 2024") << QDate(2024, 3, 30) << 9LL * 3600000 << 23LL * 3600000;
        QTest::newRow("October 2024") << QDate(2024, 10, 26) << 11LL * 3600000 << 25LL * 3600000;
        QTest::newRow("March 2026") << QDate(2026, 3, 28) << 9LL * 3600000 << 23LL * 3600000;
        QTest::newRow("October 2026") << QDate(2026, 10, 24) << 11LL * 3600000 << 25LL * 3600000;
    }
    void flightsAcrossTheChangesOfTime()
    {
        QFETCH(QDate, saturday);
        QFETCH(qint64, unneutralised);
        QFETCH(qint64, sunday);
        AppClock::setZone("Europe/Brussels");
        const QDate next = saturday.addDays(1);
        const QDateTime lib(saturday, QTime(20, 0)), home(next, QTime(6, 0));
        // Rows without sunset and sunrise: the night is flown, and lasts what it lasted.
        const std::vector<SunRow> flown{{saturday, QTime(), QTime()}, {next, QTime(), QTime()}};
        QCOMPARE(flyingMs(lib, home, flown, 0), unneutralised);
        QCOMPARE(msBetween(lib, home), unneutralised);
        // The whole Sunday between two days: its own length.
        const std::vector<SunRow> three{
            {saturday, QTime(), QTime()}, {next, QTime(), QTime()}, {next.addDays(1), QTime(), QTime()}};
        QCOMPARE(flyingMs(lib, QDateTime(next.addDays(1), QTime(1, 0)), three, 0),
                 4LL * 3600000 + sunday + 3600000);
        // A neutralised night: each term lies within its day, before or after the change.
        const std::vector<SunRow> night{{saturday, QTime(20, 0), QTime(6, 0)},
                                        {next, QTime(20, 0), QTime(6, 0)}};
        QCOMPARE(flyingMs(QDateTime(saturday, QTime(8, 0)), QDateTime(next, QTime(7, 0)), night, 0),
                 13LL * 3600000);
        // Liberation on the Sunday itself before the change, home after it, the same day.
        QCOMPARE(flyingMs(QDateTime(next, QTime(1, 0)), QDateTime(next, QTime(5, 0)), {}, 0),
                 sunday < 24LL * 3600000 ? 3LL * 3600000 : 5LL * 3600000);
        // A check whose master time falls just before the change and the clock's just after it
        // (01:00 UTC): the clock is 4 seconds fast, not an hour.
        const qint64 change = QDateTime(next, QTime(1, 0), Qt::UTC).toMSecsSinceEpoch();
        const QDateTime basket(saturday, QTime(7, 0));
        QCOMPARE(clockVariation(basket, basket, QDateTime::fromMSecsSinceEpoch(change - 2000),
                                QDateTime::fromMSecsSinceEpoch(change + 2000)),
                 4);
    }

    void daysWithoutSunRowsAreNamed()
    {
        const QDate d26(2026, 5, 26), d27(2026, 5, 27), d28(2026, 5, 28);
        const std::vector<SunRow> first{sun(2026, 5, 26, QTime(21, 30))};
        QCOMPARE(daysWithoutSun(d26, d26, {}), std::vector<QDate>{});
        QCOMPARE(daysWithoutSun(d26, d27, first), std::vector<QDate>{d27});
        QCOMPARE(daysWithoutSun(d26, d28, first), (std::vector<QDate>{d27, d28}));
        SunGaps gaps;
        QVERIFY(gaps.text().isEmpty());
        gaps.add(d26, d26, first); // the liberation day needs no row
        gaps.add(d26, d27, {first[0], sun(2026, 5, 27, QTime(21, 31), QTime(5, 0))});
        QVERIFY(gaps.empty());
        for (int i = 0; i < 12; ++i)
            gaps.add(d26, d27, first);
        QCOMPARE(gaps.text(), QStringLiteral("no sunset and sunrise for 27 May: 12 birds not timed"));
        gaps.add(d26, d28, {});
        QCOMPARE(gaps.text(),
                 QStringLiteral("no sunset and sunrise for 26 May, 27 May, 28 May: 13 birds not timed"));
    }

    void zeroStaysZeroAndLongFlightsKeepHours()
    {
        const QDateTime s = at(2026, 5, 26, 7, 0);
        QCOMPARE(flyingMs(s, s, {}, 5), 0LL);
        QCOMPARE(flyTimeText(26LL * 3600000 + 5 * 60000), QStringLiteral("26:05:00.000"));
        QCOMPARE(flyTimeText(1), QStringLiteral("00:00:00.001"));
    }

    void velocityRoundsAndRefusesNonsense()
    {
        QCOMPARE(velocity(0, 1000), 0.0);
        QCOMPARE(velocity(1000, 0), 0.0);
        QCOMPARE(velocity(1000, -5), 0.0);
        // 1 unit in 120000000 ms = 0.0005 per minute: half rounds away from zero
        QCOMPARE(velocityThousandths(1, 120000000), 1LL);
        QCOMPARE(velocityThousandths(1, 120000001), 0LL);
        QCOMPARE(roundHalfAwayFromZero(2.5), 3LL);
        QCOMPARE(roundHalfAwayFromZero(-2.5), -3LL);
        QCOMPARE(roundHalfAwayFromZero(-2.4), -2LL);
        // text never takes the locale's decimal comma
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(velocityText(1480.088), QStringLiteral("1480.088"));
        QLocale::setDefault(QLocale::c());
    }

    void clockVariationFromFourMoments()
    {
        const QDate d(2026, 5, 25);
        const QDateTime mm(d, QTime(8, 0)), mk(d, QTime(8, 0));
        QCOMPARE(clockVariation(mm, mk, QDateTime(d, QTime(20, 0)), QDateTime(d, QTime(20, 0, 5))), 5);
        QCOMPARE(clockVariation(mm, mk, QDateTime(d, QTime(20, 0)), QDateTime(d, QTime(19, 59, 57))), -3);
        // set 1 s fast at basketing, 6 s fast at the check: gained 5
        QCOMPARE(clockVariation(mm, mk.addSecs(1), QDateTime(d, QTime(20, 0)), QDateTime(d, QTime(20, 0, 6))),
                 5);
        // half a second rounds away from zero both ways
        QCOMPARE(clockVariation(mm, mk, QDateTime(d, QTime(20, 0)), QDateTime(d, QTime(20, 0, 0, 500))), 1);
        QCOMPARE(clockVariation(mm, mk, QDateTime(d, QTime(20, 0, 0, 500)), QDateTime(d, QTime(20, 0))), -1);
    }

    void arrivalTexts()
    {
        QCOMPARE(parseArrival(QStringLiteral("2026-05-26 11:30:15.250")), at(2026, 5, 26, 11, 30, 15, 250));
        QCOMPARE(parseArrival(QStringLiteral("2026-05-26 11:30:15")), at(2026, 5, 26, 11, 30, 15));
        QCOMPARE(parseArrival(QStringLiteral("2026-05-26 11:30:15.5")), at(2026, 5, 26, 11, 30, 15, 500));
        QVERIFY(!parseArrival(QStringLiteral("26-05-2026 11:30:15")));
        QVERIFY(!parseArrival(QStringLiteral("2026-02-30 11:30:15")));
        QVERIFY(!parseArrival(QStringLiteral("2026-05-26")));
        QVERIFY(!parseArrival(QStringLiteral("2026-05-26 11:30:15.2500")));
        QVERIFY(!parseArrival(QString()));
        QCOMPARE(arrivalText(at(2026, 5, 26, 9, 5, 7)), QStringLiteral("2026-05-26 09:05:07"));
    }

    void coordinateTexts()
    {
        using namespace Coordinates;
        QVERIFY(qAbs(parse(QStringLiteral("E121'23:24")).degrees - 121.39) < 1e-9);
        QVERIFY(qAbs(parse(QStringLiteral("W001'30:00")).degrees + 1.5) < 1e-12);
        QVERIFY(qAbs(parse(QStringLiteral("51 30 00 N")).degrees - 51.5) < 1e-12);
        QVERIFY(qAbs(parse(QStringLiteral("S33'52:00")).degrees + (33 + 52 / 60.0)) < 1e-12);
        QVERIFY(qAbs(parse(QStringLiteral("4°21´30")).degrees - (4 + 21 / 60.0 + 0.5 / 60)) < 1e-12);
        QVERIFY(qAbs(parse(QStringLiteral("-12.5")).degrees + 12.5) < 1e-12);
        const Parsed notGiven = parse(QStringLiteral("W000'30:00"));
        QVERIFY(!notGiven.ok);
        QVERIFY(notGiven.message.isEmpty());
        QVERIFY(!parse(QStringLiteral("   ")).ok);
        // the untouched mask is not a number, and says so
        const QString mask = QStringLiteral("    '  :  ");
        const Parsed blankMask = parse(mask);
        QVERIFY(!blankMask.ok);
        QCOMPARE(blankMask.message, QStringLiteral("Invalid character in degrees field in string ") + mask);
        QCOMPARE(parse(QStringLiteral("E004'2x:00")).message,
                 QStringLiteral("Invalid character in minutes field in string E004'2x:00"));
    }

    void distancesAndStorage()
    {
        using namespace Coordinates;
        const Distance d = distance(QStringLiteral("E004'00:00"), QStringLiteral("N050'00:00"),
                                    QStringLiteral("E004'00:00"), QStringLiteral("N051'00:00"));
        QCOMPARE(d.metres, 110948LL);
        QCOMPARE(toStored(110948, 0).miles, 110LL);
        QCOMPARE(toStored(110948, 0).yards, 948LL);
        QCOMPARE(toStored(110948, 1).miles, 68LL);
        QCOMPARE(toStored(110948, 1).yards, 1654LL);
        QCOMPARE(toStored(123456, 0).miles, 123LL);
        QCOMPARE(toStored(123456, 0).yards, 456LL);
        // a loft without longitude, or within the first degree written as 000, gets nothing
        QCOMPARE(distance(QStringLiteral("E004'00:00"), QStringLiteral("N050'00:00"), QStringLiteral(" "),
                          QStringLiteral("N051'00:00"))
                     .metres,
                 0LL);
        QCOMPARE(distance(QStringLiteral("W000'30:00"), QStringLiteral("N050'00:00"),
                          QStringLiteral("E004'00:00"), QStringLiteral("N051'00:00"))
                     .metres,
                 0LL);
        // east-west uses the mean of both latitudes' cosines
        const double km = kilometres(0, 1, 0, 0);
        QVERIFY(qAbs(km - 111.3200144) < 1e-9);
    }

    void coordinateExitCheck()
    {
        using namespace Coordinates;
        QVERIFY(exitCheck(QStringLiteral("N051'30:00"), true).isEmpty());
        QVERIFY(exitCheck(QStringLiteral("    '  :  "), true).isEmpty());
        QCOMPARE(exitCheck(QStringLiteral("N051'60:00"), true),
                 QStringLiteral("Latitude Input Value  > 60 !"));
        QCOMPARE(exitCheck(QStringLiteral("E004'10:75"), false),
                 QStringLiteral("Longitude Input Value > 60 !"));
        QVERIFY(
            exitCheck(QStringLiteral("E004'  :  "), false).contains(QStringLiteral("not a valid integer")));
    }
};

QTEST_GUILESS_MAIN(TestFlyTime)
#include "test_flytime.moc"
