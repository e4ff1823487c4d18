// Standings of a championship of 30 races with 2,000 entries each (200 lofts of 10 birds, every
// bird basketed in every race, three in four home): the ace-pigeon and best-loft standings as the
// page computes them, straight from the race data.
#include "season/championship.h"
#include "season/standings.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {
constexpr int Lofts = 200;
constexpr int BirdsPerLoft = 10;

struct Season30
{
    QTemporaryDir dir;
    std::unique_ptr<TdmORVS> dm;
    Championship champ;
};

Season30 &season(int races)
{
    static std::map<int, std::unique_ptr<Season30>> made;
    auto &s = made[races];
    if (s)
        return *s;
    s = std::make_unique<Season30>();
    s->dm = std::make_unique<TdmORVS>(s->dir.path() + QStringLiteral("/P"));
    TdmORVS &dm = *s->dm;
    Transaction tx(dm);
    for (int l = 0; l < Lofts; ++l) {
        const QString loft = QStringLiteral("L%1").arg(l, 4, 10, QLatin1Char('0'));
        dm.exec(QStringLiteral("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES (?,?)"),
                {loft, QStringLiteral("Loft %1").arg(l)});
        dm.exec(QStringLiteral("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES "
                               "('1001',?,300,0)"),
                {loft});
        for (int b = 0; b < BirdsPerLoft; ++b)
            dm.exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo, PRingNo, DeleteMark) VALUES (?,?,0)"),
                    {loft, QStringLiteral("BE26-%1").arg(l * BirdsPerLoft + b, 7, 10, QLatin1Char('0'))});
    }
    for (int r = 0; r < races; ++r) {
        const QString code = QStringLiteral("1001%1").arg(r, 4, 10, QLatin1Char('0'));
        s->champ.races << code;
        dm.exec(QStringLiteral("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberDate, RaceCode, DeleteMark) "
                               "VALUES ('NC','1001','2026-05-01',?,0)"),
                {code});
        for (int i = 0; i < Lofts * BirdsPerLoft; ++i) {
            // A different order in every race; one bird in four stays out.
            const int k = (i * 7919 + r * 104729) % (Lofts * BirdsPerLoft);
            const bool home = k % 4 != 3;
            dm.exec(QStringLiteral("INSERT INTO ORV_PigRaceData (LiberCode, PRingNo, BackTime, FlySpeed, RaceCode) "
                                   "VALUES ('1001',?,?,?,?)"),
                    {QStringLiteral("BE26-%1").arg(i, 7, 10, QLatin1Char('0')),
                     home ? QVariant(QStringLiteral("2026-05-01 12:%1:00.000").arg(k % 60, 2, 10, QLatin1Char('0')))
                          : QVariant(QMetaType::fromType<QString>()),
                     home ? 1500.0 - k * 0.25 : 0.0, code});
        }
    }
    tx.commit();
    s->champ.name = QStringLiteral("Bench");
    s->champ.bestCount = 10;
    return *s;
}

void BM_Standings(benchmark::State &state)
{
    Season30 &s = season(static_cast<int>(state.range(0)));
    size_t aces = 0, lofts = 0;
    for (auto _ : state) {
        const Standings::Result r = Standings::compute(*s.dm, s.champ);
        aces = r.aces.size();
        lofts = r.lofts.size();
        benchmark::DoNotOptimize(r.aces.data());
    }
    state.counters["aces"] = static_cast<double>(aces);
    state.counters["lofts"] = static_cast<double>(lofts);
    state.counters["entries"] = static_cast<double>(state.range(0) * Lofts * BirdsPerLoft);
}
} // namespace

BENCHMARK(BM_Standings)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
