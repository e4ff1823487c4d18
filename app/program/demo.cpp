#include "app/program/demo.h"

#include "races/distances.h"
#include "races/raceinfo.h"
#include "races/ranking.h"
#include "season/championship.h"
#include "sim/clocksimulator.h"
#include "store/appclock.h"
#include "store/operationsink.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>

namespace Demo {

QString prepareFolder(const QString &explicitDir, QString *error)
{
    if (explicitDir.isEmpty()) {
        const QString root = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/demo");
        QDir(root).removeRecursively();
        QDir().mkpath(root + QStringLiteral("/P"));
        return root + QStringLiteral("/P");
    }
    // The folder given is the data folder. Only a demo database in it is replaced: a club's own
    // database and every other file stay untouched.
    const QDir dir(explicitDir);
    const QString db = dir.filePath(QStringLiteral("Pennavox_Europe.mdb"));
    if (QFile::exists(db)) {
        QString club;
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demoCheck"));
            c.setDatabaseName(db);
            c.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            if (c.open()) {
                QSqlQuery q(QStringLiteral("SELECT ClubID FROM ORV_ClubData WHERE ClubID<>'DEMO'"), c);
                if (q.next())
                    club = q.value(0).toString();
            }
            c.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("demoCheck"));
        if (!club.isEmpty()) {
            if (error)
                *error = QStringLiteral("%1 holds the database of club %2, not the demo's; it is left as it is. "
                                        "Give --demo another folder.")
                             .arg(QDir::toNativeSeparators(dir.absolutePath()), club);
            return {};
        }
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(db + QLatin1String(suffix));
    }
    QFile::remove(dir.filePath(QStringLiteral("ORVS.udl")));
    QDir().mkpath(dir.absolutePath());
    return dir.absolutePath();
}

namespace {
struct Loft
{
    const char *no, *name, *street, *city, *lon, *lat;
};
const Loft lofts[] = {
    {"001", "Adams Loft", "Kerkstraat 12", "Aalst", "E004'02:30", "N050'56:20"},
    {"002", "O'Neill & Sons", "Dorpsplein 3", "Ninove", "E004'01:10", "N050'49:40"},
    {"003", "Peeters", "Molenweg 44", "Geraardsbergen", "E003'52:50", "N050'46:20"},
    {"004", "Van den Berg", "Stationslaan 7", "Dendermonde", "E004'06:10", "N051'01:50"},
    {"005", "Janssens", "Veldstraat 90", "Lede", "E003'59:00", "N050'58:00"},
};

struct Site
{
    const char *code, *name, *abbr, *lon, *lat;
};
const Site sites[] = {
    {"1001", "Quievrain", "QUIEV", "E003'41:00", "N050'24:10"},
    {"2002", "Orleans", "ORLEANS", "E001'54:30", "N047'54:10"},
    {"3003", "Barcelona", "BARCA", "E002'10:00", "N041'23:00"},
};
} // namespace

namespace {
// Yesterday's two races already flown (every bird basketed, most home), computed by the races'
// own recalculation, and a championship over all three races: a new user sees standings at once,
// and today's race joins them when its arrivals are read.
void seedSeason(TdmORVS &dm, const QStringList &codes)
{
    struct Flown
    {
        int race;      // index in codes
        int firstHome; // seconds after liberation of the first arrival
        int home;      // birds home out of the 40
    };
    const Flown flown[] = {{1, 6 * 3600 + 1200, 32}, {2, 13 * 3600 + 900, 22}};
    const auto pigeons = dm.rows(QStringLiteral("SELECT LoftNo, PRingNo FROM ORV_PigData ORDER BY PRingNo"));
    for (const Flown &f : flown) {
        const std::optional<RaceInfo> race = Races::findRace(dm, codes.at(f.race));
        if (!race)
            continue;
        const QDateTime liberation = race->liberation();
        Transaction tx(dm);
        int i = 0;
        for (const QSqlRecord &p : pigeons) {
            const int loft = p.value(0).toInt();
            // A steady spread with every loft in the running, not in ring order.
            const int order = (i * 17 + f.race * 5) % static_cast<int>(pigeons.size());
            QVariant back(QMetaType::fromType<QString>());
            if (order < f.home)
                back = ValueText::dateTimeMs(liberation.addSecs(f.firstHome + order * 211 + loft * 37)
                                                 .addMSecs((i * 137) % 1000));
            dm.exec(QStringLiteral("INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, BackTime, "
                                   "ClockID, TimeVari, MarkedTime, RaceCode) VALUES (?,?,?,?,?,?,0,?,?)"),
                    {race->clubId, race->liberCode, ValueText::date(race->liberDate), p.value(1), back,
                     QStringLiteral("5E0000%1").arg(loft, 2, 16, QLatin1Char('0')).toUpper(),
                     ValueText::dateTime(liberation.addDays(-1)), race->raceCode});
            ++i;
        }
        tx.commit();
        NullSink quiet;
        Ranking::recalculate(dm, race->raceCode, liberation, quiet);
    }
    Championship season;
    season.name = QStringLiteral("Demo season");
    season.races = codes;
    NullSink quiet;
    Championships::save(dm, season, quiet);
}
} // namespace

void seed(TdmORVS &dm)
{
    const QDateTime now = AppClock::now();
    const QString stamp = ValueText::dateTime(now);
    Transaction tx(dm);
    dm.exec(QStringLiteral("INSERT INTO ORV_ClubData (ClubID, ClubName, Street, City, PostCode, AssociationCode, "
                           "Language, Mode, DBBackupDays, PrintCount) VALUES (?,?,?,?,?,?,?,?,?,?)"),
            {"DEMO", "Pennavox Demo Club", "Marktplein 1", "Aalst", "9300", "BE", 0, 0, 7, 1});
    dm.exec(QStringLiteral("INSERT INTO ORV_ClubMap (ClubID, ClubName) VALUES (?,?)"), {"DEMO", "Pennavox Demo Club"});
    for (const char *c : {"BB|Blue Bar", "BC|Blue Chequer", "RC|Red Chequer", "DC|Dark Chequer"}) {
        const QStringList p = QString::fromLatin1(c).split('|');
        dm.exec(QStringLiteral("INSERT INTO ORV_FeatherColor (ColorType, FeathColor) VALUES (?,?)"), {p[0], p[1]});
    }
    for (const Site &s : sites)
        dm.exec(QStringLiteral("INSERT INTO ORV_LiberateSite (LiberCode, LiberSite, LiberSiteAbbr, LiberLon, LiberLat) "
                               "VALUES (?,?,?,?,?)"),
                {s.code, s.name, s.abbr, s.lon, s.lat});
    const char *colours[] = {"BB", "BC", "RC", "DC"};
    int ringNo = 1000;
    for (const Loft &l : lofts) {
        dm.exec(QStringLiteral("INSERT INTO ORV_LoftData (AssociationCode, LoftNo, LoftName, Street, City, PostCode, "
                               "PhoneNo, EMail, LoftLon, LoftLat, UpdateTime, SynchFlag) VALUES (?,?,?,?,?,?,?,?,?,?,?,1)"),
                {"BE", l.no, l.name, l.street, l.city, "9300", "+32 53 000 000", "", l.lon, l.lat, stamp});
        for (int i = 0; i < 8; ++i) {
            ++ringNo;
            const QString number = QStringLiteral("%1").arg(3000000 + ringNo);
            dm.exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegLetter, "
                                   "RRegNumber, Sex, E_Ring, Comment, Updatetime, SynchFlag, CreateDate, DeleteMark, "
                                   "ColorType) VALUES (?,?,?,?,?,?,?,?,?,?,1,?,0,?)"),
                    {l.no, QStringLiteral("BELG26-%1").arg(number), "BELG", "26", "", number, i % 2 ? "C" : "H",
                     QStringLiteral("E%1").arg(7000000 + ringNo), "", stamp, ValueText::date(now.date()),
                     colours[i % 4]});
        }
    }
    // Today's race from Quievrain, yesterday's from Orleans, a two-day race from Barcelona.
    struct Race
    {
        const Site &site;
        QDate date;
        const char *time;
    };
    const Race races[] = {{sites[0], now.date(), "07:30:00"},
                          {sites[1], now.date().addDays(-1), "06:45:00"},
                          {sites[2], now.date().addDays(-1), "06:00:00"}};
    QStringList codes;
    for (const Race &r : races) {
        const QString code = QString::fromLatin1(r.site.code) + r.date.toString(QStringLiteral("MMdd"));
        codes << code;
        dm.exec(QStringLiteral("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, "
                               "LiberTime, LiberLon, LiberLat, Updatetime, SynchFlag, RaceCode, DeleteMark) "
                               "VALUES (?,?,?,?,?,?,?,?,?,1,?,0)"),
                {"DEMO", r.site.code, r.site.name, r.site.abbr, ValueText::date(r.date), r.time, r.site.lon,
                 r.site.lat, stamp, code});
        for (int d = 0; d < 2; ++d)
            dm.exec(QStringLiteral("INSERT INTO ORV_SunSet_SunRise (RaceCode, RaceDate, SunSet, SunRise, Location) "
                                   "VALUES (?,?,?,?,?)"),
                    {code, ValueText::date(r.date.addDays(d)), "21:40:00", "05:30:00", r.site.name});
    }
    tx.commit();
    NullSink quiet;
    for (const QString &code : codes)
        Distances::updateFromCoordinates(dm, code, quiet);
    seedSeason(dm, codes);
}

std::unique_ptr<ClockSimulator> makeSimulator(TdmORVS &dm)
{
    auto sim = std::make_unique<ClockSimulator>();
    // The club's antenna, as the club download leaves it: owned by the club.
    sim->antenna().owner = ClubSettings::load(dm).clubId;
    int n = 0;
    for (const auto &r : dm.rows(QStringLiteral("SELECT LoftNo FROM ORV_LoftData ORDER BY LoftNo")))
        sim->addClock(QStringLiteral("5E0000%1").arg(++n, 2, 16, QLatin1Char('0')).toUpper(), r.value(0).toString());
    return sim;
}

} // namespace Demo
