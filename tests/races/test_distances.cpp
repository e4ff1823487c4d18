// Loft distances by the club formula and by the WGS84 geodesic.
#include "racefixture.h"
#include "races/coordinates.h"
#include "races/distances.h"
#include "races/raceinfo.h"
#include "races/ranking.h"
#include "tests/support/recordingsink.h"
#include "tests/support/testdb.h"

#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

using namespace RaceFixture;
using Coordinates::DistanceMethod;

namespace {
const QString PointLon = QStringLiteral("E002'00:00");
const QString PointLat = QStringLiteral("N049'30:00");

void setMethod(TdmORVS &dm, DistanceMethod m)
{
    dm.exec(QStringLiteral("UPDATE ORV_ClubData SET DistanceMethod=?"), {static_cast<int>(m)});
}

qint64 storedMetres(TdmORVS &dm, const QString &code, const QString &loftNo)
{
    return Races::loftDistance(dm, code, loftNo, 0);
}
} // namespace

class TestDistances : public QObject
{
    Q_OBJECT

private slots:
    // Values computed by Debian's python3-geographiclib (scripts/make-geodesic-fixture.py), and
    // GeographicLib's own published example (JFK to LHR, 5551.759400319 km).
    void geodesicMatchesIndependentReference()
    {
        QFile f(QStringLiteral(PENNAVOX_TEST_DATA "/geodesic-wgs84.csv"));
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        f.readLine(); // heading
        int lines = 0;
        while (!f.atEnd()) {
            const QStringList v = QString::fromLatin1(f.readLine()).trimmed().split(QLatin1Char(','));
            QCOMPARE(v.size(), 5);
            const double got = Coordinates::metresBetween(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(),
                                                          v[3].toDouble(), DistanceMethod::Wgs84);
            const double want = v[4].toDouble();
            if (qAbs(got - want) >= 0.0005)
                QFAIL(qPrintable(QStringLiteral("%1: %2 instead of %3")
                                     .arg(v.mid(0, 4).join(QLatin1Char(' ')))
                                     .arg(got, 0, 'f', 6)
                                     .arg(want, 0, 'f', 6)));
            ++lines;
        }
        QVERIFY(lines >= 10);
        QVERIFY(qAbs(Coordinates::metresBetween(40.6, -73.8, 51.6, -0.5, DistanceMethod::Wgs84) -
                     5551759.400319) < 0.0005);
    }

    void clubFormulaKeepsItsValues()
    {
        using namespace Coordinates;
        const auto club =
            distance(QStringLiteral("E004'00:00"), QStringLiteral("N050'00:00"), QStringLiteral("E004'00:00"),
                     QStringLiteral("N051'00:00"), DistanceMethod::ClubFormula);
        QCOMPARE(club.metres, 110948LL);
        QCOMPARE(toStored(club.metres, 1).miles, 68LL);
        QCOMPARE(toStored(club.metres, 1).yards, 1654LL);
        // the same degree on the ellipsoid is longer: 111238.680860 m by the reference
        const auto wgs =
            distance(QStringLiteral("E004'00:00"), QStringLiteral("N050'00:00"), QStringLiteral("E004'00:00"),
                     QStringLiteral("N051'00:00"), DistanceMethod::Wgs84);
        QCOMPARE(wgs.metres, 111238LL);
        // a position written as "000" degrees counts as not given by either method
        QCOMPARE(distance(QStringLiteral("W000'30:00"), PointLat, QStringLiteral("E004'00:00"),
                          QStringLiteral("N051'00:00"), DistanceMethod::Wgs84)
                     .metres,
                 0LL);
        // a latitude beyond the pole is refused, not turned into a number
        const auto beyond = distance(PointLon, PointLat, QStringLiteral("E004'00:00"),
                                     QStringLiteral("N095'00:00"), DistanceMethod::Wgs84);
        QCOMPARE(beyond.metres, 0LL);
        QVERIFY(!beyond.message.isEmpty());
        QCOMPARE(methodFromStored(QVariant()), DistanceMethod::ClubFormula);
        QCOMPARE(methodFromStored(1), DistanceMethod::Wgs84);
        QCOMPARE(methodFromStored(7), DistanceMethod::ClubFormula);
    }

    void hundredthsOfASecondCount()
    {
        using namespace Coordinates;
        QCOMPARE(parse(QStringLiteral("E004'21:30.50")).degrees, 4 + 21 / 60.0 + 30.5 / 3600.0);
        // 0.5 s of latitude northwards is about 15.4 m on the ellipsoid
        for (const DistanceMethod m : {DistanceMethod::ClubFormula, DistanceMethod::Wgs84}) {
            const double whole = metresBetween(51.0 + 12.0 / 60, 3.2, 49.5, 2.0, m);
            const double half = metresBetween(51.0 + 12.0 / 60 + 0.5 / 3600, 3.2, 49.5, 2.0, m);
            const auto a = distance(PointLon, PointLat, QStringLiteral("E003'12:00.00"),
                                    QStringLiteral("N051'12:00.00"), m);
            const auto b = distance(PointLon, PointLat, QStringLiteral("E003'12:00.00"),
                                    QStringLiteral("N051'12:00.50"), m);
            QCOMPARE(a.metres, static_cast<long long>(whole));
            QCOMPARE(b.metres, static_cast<long long>(half));
            QVERIFY(b.metres - a.metres >= 12 && b.metres - a.metres <= 16);
        }
        // decimal degrees and coordinate texts read alike (the command line takes both)
        QCOMPARE(parseDegreesOrText(QStringLiteral("-0.25")).degrees, -0.25);
        QCOMPARE(parseDegreesOrText(QStringLiteral("0")).degrees, 0.0);
        QCOMPARE(parseDegreesOrText(QStringLiteral("W001'30:00")).degrees, -1.5);
        QVERIFY(!parseDegreesOrText(QStringLiteral("north")).ok);
        QVERIFY(!parseDegreesOrText(QStringLiteral("north")).message.isEmpty());
    }

    // Two lofts 0.05 % apart in their formula error: the club formula puts B's bird first, the
    // geodesic A's, and each list follows from the distances its method stored.
    void resultOrderFollowsTheMethod()
    {
        TestDb db;
        db.insertClub();
        TdmORVS &dm = db.dm();
        loft(dm, "A", "Ann", QStringLiteral("E003'12:00.00"), QStringLiteral("N051'12:00.00"));
        loft(dm, "B", "Bob", QStringLiteral("E005'30:00.00"), QStringLiteral("N050'36:00.00"));
        pigeon(dm, "A", "RA");
        pigeon(dm, "B", "RB");
        const QString rc = QStringLiteral("NOY0526");
        race(dm, rc, "NOY", "2026-05-26", "07:00:00");
        dm.exec(QStringLiteral("UPDATE ORV_RaceData SET LiberLon=?, LiberLat=?"), {PointLon, PointLat});
        entry(dm, rc, "NOY", "RA", QStringLiteral("2026-05-26 09:30:00.000"));
        entry(dm, rc, "NOY", "RB", QStringLiteral("2026-05-26 10:21:40.700"));
        const QDateTime liberation(QDate(2026, 5, 26), QTime(7, 0));
        const qint64 flyA = 150LL * 60000, flyB = (3 * 3600 + 21 * 60 + 40) * 1000LL + 700;

        for (const DistanceMethod m :
             {DistanceMethod::ClubFormula, DistanceMethod::Wgs84, DistanceMethod::ClubFormula}) {
            setMethod(dm, m);
            RecordingSink sink;
            QCOMPARE(Distances::updateFromCoordinates(dm, rc, sink), 2);
            Ranking::recalculate(dm, rc, liberation, sink);
            const qint64 dA = storedMetres(dm, "NOY", "A"), dB = storedMetres(dm, "NOY", "B");
            QCOMPARE(dA, static_cast<qint64>(Coordinates::metresBetween(51.2, 3.2, 49.5, 2.0, m)));
            QCOMPARE(dB, static_cast<qint64>(Coordinates::metresBetween(50.6, 5.5, 49.5, 2.0, m)));
            const auto list = Ranking::resultList(dm, rc);
            QCOMPARE(list.size(), size_t(2));
            // the order the method's own distances imply ...
            const QString implied = FlyTime::velocity(dA, flyA) > FlyTime::velocity(dB, flyB) ? "A" : "B";
            QCOMPARE(list[0].loftNo, implied);
            QCOMPARE(list[1].pos, 2);
            // ... which is B first by the club formula, A first on the ellipsoid
            QCOMPARE(list[0].loftNo, m == DistanceMethod::Wgs84 ? QStringLiteral("A") : QStringLiteral("B"));
        }
    }

    void recalculateOneLiberationPoint()
    {
        TestDb db;
        db.insertClub(QStringLiteral("NC"), 1); // yards: the club's unit is kept
        TdmORVS &dm = db.dm();
        loft(dm, "A", "Ann", QStringLiteral("E003'12:00.00"), QStringLiteral("N051'12:00.00"));
        loft(dm, "N", "Nobody"); // no coordinates: left alone
        dm.exec(QStringLiteral("INSERT INTO ORV_LiberateSite VALUES ('NOY','Noyon','NOY',?,?)"),
                {PointLon, PointLat});
        setMethod(dm, DistanceMethod::Wgs84);
        RecordingSink sink;
        QCOMPARE(Distances::recalculatePoint(dm, QStringLiteral("NOY"), sink), 1);
        QVERIFY(sink.textsOf(MessageKind::Success).first().contains(QStringLiteral("WGS84 geodesic")));
        const auto yards = static_cast<qint64>(207486 * 1.093613);
        QCOMPARE(Races::loftDistance(dm, "NOY", "A", 1), yards);
        QCOMPARE(dm.scalar("SELECT COUNT(*) FROM ORV_LoftLibPointDist WHERE LoftNo='N'").toInt(), 0);

        // a code flown only as a race uses the race's coordinates; an unknown code fails
        race(dm, QStringLiteral("X0526"), "X", "2026-05-26", "07:00:00");
        dm.exec(QStringLiteral("UPDATE ORV_RaceData SET LiberLon=?, LiberLat=? WHERE LiberCode='X'"),
                {PointLon, PointLat});
        QCOMPARE(Distances::recalculatePoint(dm, QStringLiteral("X"), sink), 1);
        QCOMPARE(Races::loftDistance(dm, "X", "A", 1), yards);
        RecordingSink unknown;
        QCOMPARE(Distances::recalculatePoint(dm, QStringLiteral("ZZ"), unknown), -1);
        QCOMPARE(unknown.textsOf(MessageKind::Failure).size(), 1);
    }

    // A database written by the version before the distance method: every row survives, the club
    // table gains the column last, and the club formula stays in force.
    void previousVersionDatabaseIsUpgraded()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/P");
        QVERIFY(QDir().mkpath(folder));
        {
            QFile dump(QStringLiteral(PENNAVOX_TEST_DATA "/previous-version.sql"));
            QVERIFY(dump.open(QIODevice::ReadOnly | QIODevice::Text));
            QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
            old.setDatabaseName(folder + QStringLiteral("/Pennavox_Europe.mdb"));
            QVERIFY(old.open());
            QSqlQuery q(old);
            while (!dump.atEnd()) {
                const QString line = QString::fromUtf8(dump.readLine()).trimmed();
                if (!line.isEmpty())
                    QVERIFY2(q.exec(line), qPrintable(q.lastError().text() + QLatin1Char(' ') + line));
            }
            QCOMPARE(old.record(QStringLiteral("ORV_ClubData")).count(), 11);
            old.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("old"));

        TdmORVS dm(folder);
        const QSqlRecord club = dm.adocORVS().record(QStringLiteral("ORV_ClubData"));
        QCOMPARE(club.count(), 12);
        QCOMPARE(club.fieldName(10), QStringLiteral("PrintCount"));
        QCOMPARE(club.fieldName(11), QStringLiteral("DistanceMethod"));
        // the 13 and our own tables, which an older file gains on opening
        QCOMPARE(dm.scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='table'")).toInt(),
                 13 + static_cast<int>(ownSchemaTables().size()));
        const auto rows = dm.rows(QStringLiteral("SELECT ClubID, ClubName, City, DBBackupDays, PrintCount, "
                                                 "DistanceMethod FROM ORV_ClubData"));
        QCOMPARE(static_cast<int>(rows.size()), 1);
        QCOMPARE(rows.front().value(1).toString(), QStringLiteral("North Club"));
        QCOMPARE(rows.front().value(2).toString(), QStringLiteral("Gent"));
        QCOMPARE(rows.front().value(3).toInt(), 7);
        QCOMPARE(rows.front().value(4).toInt(), 2);
        QVERIFY(rows.front().value(5).isNull());
        QCOMPARE(Races::clubDistanceMethod(dm), DistanceMethod::ClubFormula);
        QCOMPARE(dm.scalar(QStringLiteral("SELECT LoftLat FROM ORV_LoftData WHERE LoftNo='0042'")).toString(),
                 QStringLiteral("N051'12:00.00"));
        QCOMPARE(storedMetres(dm, "NOY", "0042"), 206974LL);
        // recomputing with the default method gives the same club-formula value again
        RecordingSink sink;
        QCOMPARE(Distances::recalculatePoint(dm, QStringLiteral("NOY"), sink), 1);
        QCOMPARE(storedMetres(dm, "NOY", "0042"), 206974LL);
        // opening again adds nothing twice
        QCOMPARE(upgradeSchema(dm.adocORVS()), 0);
    }
};

QTEST_GUILESS_MAIN(TestDistances)
#include "test_distances.moc"
