#include "bench/benchclub.h"

#include "races/ranking.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <map>
#include <memory>

namespace {
struct Club
{
    QTemporaryDir dir;
    std::unique_ptr<TdmORVS> dm;
};

} // namespace

// One database per size, filled once.
TdmORVS &benchClubWith(int entries)
{
    static std::map<int, std::unique_ptr<Club>> clubs;
    auto &c = clubs[entries];
    if (c)
        return *c->dm;
    c = std::make_unique<Club>();
    c->dm = std::make_unique<TdmORVS>(c->dir.path() + QStringLiteral("/P"));
    TdmORVS &dm = *c->dm;
    const int lofts = 500;
    const int birds = entries / lofts;
    Transaction tx(dm);
    dm.exec(QStringLiteral("INSERT INTO ORV_ClubData (ClubID, Mode) VALUES ('NC', 0)"));
    dm.exec(QStringLiteral(
                "INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberDate, LiberTime, RaceCode, DeleteMark) "
                "VALUES ('NC','1234','2026-05-26','07:00:00',?,0)"),
            {BenchRace});
    dm.exec(QStringLiteral("INSERT INTO ORV_SunSet_SunRise VALUES (?, '2026-05-26', '21:30:00', NULL, 'X'), "
                           "(?, '2026-05-27', '21:31:00', '05:00:00', 'X')"),
            {QStringLiteral("12340526"), QStringLiteral("12340526")});
    const QDateTime first(QDate(2026, 5, 26), QTime(11, 0));
    for (int l = 0; l < lofts; ++l) {
        const QString loft = QStringLiteral("L%1").arg(l, 4, 10, QLatin1Char('0'));
        dm.exec(QStringLiteral("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES (?,?)"), {loft, loft});
        dm.exec(QStringLiteral("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES "
                               "('1234',?,?,?)"),
                {loft, 380 + l % 50, (l * 37) % 1000});
        for (int b = 0; b < birds; ++b) {
            const QString ring = QStringLiteral("BE-26-%1-%2").arg(l).arg(b);
            dm.exec(QStringLiteral(
                        "INSERT INTO ORV_PigData (LoftNo, PRingNo, Sex, DeleteMark) VALUES (?,?,'C',0)"),
                    {loft, ring});
            // Many equal arrival seconds, so equal velocities occur.
            const QDateTime back = first.addSecs((l * 7 + b * 13) % 20000);
            dm.exec(QStringLiteral(
                        "INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, BackTime, "
                        "TimeVari, RaceCode) VALUES ('NC','1234','2026-05-26',?,?,?,?)"),
                    {ring, back.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")), b % 3 - 1, BenchRace});
        }
    }
    tx.commit();
    NullSink sink;
    Ranking::recalculate(dm, BenchRace, QDateTime(QDate(2026, 5, 26), QTime(7, 0)), sink);
    return dm;
}

