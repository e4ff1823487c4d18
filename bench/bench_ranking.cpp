// Ranks and recalculates races of 5,000, 10,000 and 20,000 entries (500 lofts, 10 to 40 birds each).
#include "bench/benchclub.h"
#include "races/ranking.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <benchmark/benchmark.h>

namespace {
void BM_ResultList(benchmark::State &state)
{
    TdmORVS &dm = benchClubWith(static_cast<int>(state.range(0)));
    size_t rows = 0;
    for (auto _ : state) {
        const auto list = Ranking::resultList(dm, BenchRace);
        rows = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetComplexityN(state.range(0));
}

void BM_Recalculate(benchmark::State &state)
{
    TdmORVS &dm = benchClubWith(static_cast<int>(state.range(0)));
    NullSink sink;
    int minute = 0;
    for (auto _ : state) {
        // A different liberation moment each time, so every row really changes.
        const QDateTime lib(QDate(2026, 5, 26), QTime(7, minute++ % 60));
        const auto out = Ranking::recalculate(dm, BenchRace, lib, sink);
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
