// Ranks and recalculates races of 5,000, 10,000 and 20,000 entries (500 lofts, 10 to 40 birds each).
#include "races/ranking.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {
const QString Race = QStringLiteral("12340526");

struct Club
{
    QTemporaryDir dir;
    std::unique_ptr<TdmORVS> dm;
};

// One database per size, filled once.
TdmORVS &clubWith(int entries)
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
            {Race});
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
                    {ring, back.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")), b % 3 - 1, Race});
        }
    }
    tx.commit();
    NullSink sink;
    Ranking::recalculate(dm, Race, QDateTime(QDate(2026, 5, 26), QTime(7, 0)), sink);
    return dm;
}

void BM_ResultList(benchmark::State &state)
{
    TdmORVS &dm = clubWith(static_cast<int>(state.range(0)));
    size_t rows = 0;
    for (auto _ : state) {
        const auto list = Ranking::resultList(dm, Race);
        rows = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetComplexityN(state.range(0));
}

void BM_Recalculate(benchmark::State &state)
{
    TdmORVS &dm = clubWith(static_cast<int>(state.range(0)));
    NullSink sink;
    int minute = 0;
    for (auto _ : state) {
        // A different liberation moment each time, so every row really changes.
        const QDateTime lib(QDate(2026, 5, 26), QTime(7, minute++ % 60));
        const auto out = Ranking::recalculate(dm, Race, lib, sink);
        benchmark::DoNotOptimize(out.updated);
    }
    state.SetComplexityN(state.range(0));
}
} // namespace

BENCHMARK(BM_ResultList)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Recalculate)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
