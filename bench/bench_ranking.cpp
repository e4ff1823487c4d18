// Ranks and recalculates races of 5,000, 10,000 and 20,000 entries (500 lofts, 10 to 40 birds each).
#include "bench/benchclub.h"
#include "clockops/clockviews.h"
#include "races/racelists.h"
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

// A list as a grid or a report reads it: loaded, then every cell's display text.
template <typename List> void readAllCells(List &list, benchmark::State &state)
{
    size_t chars = 0;
    for (int r = 0; r < list.rowCount(); ++r)
        for (int c = 0; c < list.columnCount(); ++c)
            chars += static_cast<size_t>(list.displayText(r, c).size());
    benchmark::DoNotOptimize(chars);
    state.counters["rows"] = static_cast<double>(list.rowCount());
}

void BM_RaceResultListShown(benchmark::State &state)
{
    TdmORVS &dm = benchClubWith(static_cast<int>(state.range(0)));
    RaceResultList list(dm);
    for (auto _ : state) {
        list.load(BenchRace);
        readAllCells(list, state);
    }
    state.SetComplexityN(state.range(0));
}

void BM_ClockResultReportShown(benchmark::State &state)
{
    TdmORVS &dm = benchClubWith(static_cast<int>(state.range(0)));
    ClockResultList grid(dm), report(dm, ListLayout::Report);
    for (auto _ : state) {
        grid.load(BenchRace);
        report.copyRowsFrom(grid);
        readAllCells(report, state);
    }
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
BENCHMARK(BM_RaceResultListShown)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ClockResultReportShown)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Recalculate)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
