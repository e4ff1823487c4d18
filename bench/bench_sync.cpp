// "Sync All" of a loft with 300 pigeons and 20 races over the in-process simulator paced at
// 9600 baud, against the pure wire time of the bytes it exchanged.
#include "clockops/clocksession.h"
#include "clockops/syncpass.h"
#include "device/twinapiv8.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"

#include <QCoreApplication>
#include <QDate>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
// Counts every byte that crosses the line in either direction.
class CountingLink : public SimLink
{
public:
    using SimLink::SimLink;
    qint64 bytes = 0;

protected:
    bool doWrite(const QByteArray &b) override
    {
        bytes += b.size();
        return SimLink::doWrite(b);
    }
    QByteArray doRead(int maxBytes) override
    {
        const QByteArray b = SimLink::doRead(maxBytes);
        bytes += b.size();
        return b;
    }
};

void seed(TdmORVS &dm, int pigeons, int races)
{
    Transaction tx(dm);
    dm.exec("INSERT INTO ORV_ClubData (ClubID, ClubName, AssociationCode, Mode, PrintCount) VALUES "
            "('NC','N','BE',0,1)");
    const QDate today = QDate::currentDate();
    for (int i = 0; i < races; ++i)
        dm.exec("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSiteAbbr, LiberDate, LiberTime, "
                "Updatetime, RaceCode, "
                "DeleteMark) VALUES ('NC',?,?,?,'07:00:00','2026-01-01 00:00:00',?,0)",
                {QString::number(1000 + i), QString("SITE%1").arg(i), today.toString("yyyy-MM-dd"),
                 QString::number(1000 + i) + today.toString("MMdd")});
    for (int i = 0; i < pigeons; ++i)
        dm.exec(
            "INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegNumber, Sex, E_Ring, ColorType, "
            "SynchFlag, DeleteMark) VALUES ('001',?,'BELG','26',?,'H',?,'BB',1,0)",
            {QString("BELG26-%1").arg(3000000 + i), QString::number(3000000 + i),
             QString("E%1").arg(7000000 + i)});
    tx.commit();
}

void BM_SyncAll(benchmark::State &state)
{
    const int pigeons = int(state.range(0)), races = int(state.range(1));
    double wireMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        TdmORVS dm(dir.path());
        seed(dm, pigeons, races);
        ClockSimulator sim;
        sim.addClock("1A2B3C4D", "001");
        sim.connectClock(0);
        auto link = std::make_unique<CountingLink>(sim, SimLink::Timing::Real);
        link->setByteTimeMs(SimLink::ByteTime9600);
        CountingLink *counter = link.get();
        TWinApiV8 api(std::move(link));
        ClockSession session;
        session.SyncAllFlag = true;
        NullSink sink;
        state.ResumeTiming();
        SyncPass pass(dm, api, session, sink);
        pass.run();
        state.PauseTiming();
        if (!pass.succeeded())
            state.SkipWithError("the pass failed");
        wireMs = counter->bytes * SimLink::ByteTime9600;
        state.ResumeTiming();
    }
    state.counters["wire_ms"] = wireMs;
}
BENCHMARK(BM_SyncAll)->Args({300, 20})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
