// Exports of races of 5,000, 10,000 and 20,000 entries (500 lofts) and the import of a pigeon sheet
// of 2,500 to 10,000 rows.
#include "members/pigeonexchange.h"
#include "races/raceinfo.h"
#include "races/racelists.h"
#include "races/resultexports.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"

#include <QBuffer>
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
    dm.exec(QStringLiteral("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, "
                           "LiberTime, RaceCode, DeleteMark) VALUES ('NC','1234','Arras','ARRAS','2026-05-26',"
                           "'07:00:00',?,0)"),
            {Race});
    const QDateTime first(QDate(2026, 5, 26), QTime(11, 0));
    for (int l = 0; l < lofts; ++l) {
        const QString loft = QStringLiteral("L%1").arg(l, 4, 10, QLatin1Char('0'));
        dm.exec(QStringLiteral("INSERT INTO ORV_LoftData (LoftNo, LoftName, LoftLon, LoftLat) VALUES "
                               "(?,?,'E004''21:30.50','N050''51:00.00')"),
                {loft, loft});
        dm.exec(QStringLiteral("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES "
                               "('1234',?,?,?)"),
                {loft, 380 + l % 50, (l * 37) % 1000});
        dm.exec(QStringLiteral("INSERT INTO ORV_RaceClockTime (LiberCode, LiberDate, LoftNo, ClockID, DLMarkedTime, "
                               "ULMasterTime, ULClockTime, DLMasterTime, RaceCode) VALUES ('1234','2026-05-26',?,"
                               "'C1','2026-05-25 18:00:01','2026-05-26 20:00:00','2026-05-26 20:00:03',"
                               "'2026-05-25 18:00:00',?)"),
                {loft, Race});
        for (int b = 0; b < birds; ++b) {
            const QString number = QString::number(10000 + b);
            const QString ring = QStringLiteral("GB26A") + number + QString::number(l);
            dm.exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegLetter, "
                                   "RRegNumber, Sex, ColorType, E_Ring, DeleteMark) VALUES (?,?,'GB','2026','A',?,"
                                   "'C','BB','E0001',0)"),
                    {loft, ring, number + QString::number(l)});
            const QDateTime back = first.addSecs((l * 7 + b * 13) % 20000);
            dm.exec(QStringLiteral("INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, BackTime, "
                                   "MarkedTime, FlySpeed, TimeVari, RaceCode) VALUES ('NC','1234','2026-05-26',?,?,?,"
                                   "1234.5,0,?)"),
                    {ring, b % 4 ? back.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) : QString(),
                     QDateTime(QDate(2026, 5, 25), QTime(18, 0)).addSecs(b).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                     Race});
        }
    }
    tx.commit();
    return dm;
}

RaceInfo raceOf(TdmORVS &dm)
{
    return *Races::findRace(dm, Race);
}

void BM_WinSpeed(benchmark::State &state)
{
    TdmORVS &dm = clubWith(int(state.range(0)));
    const RaceInfo race = raceOf(dm);
    for (auto _ : state) {
        ResultExports::WinSpeed w;
        QString error;
        if (!ResultExports::buildWinSpeed(dm, race, &w, &error))
            state.SkipWithError(error.toUtf8().constData());
        benchmark::DoNotOptimize(w.file.bytes().size());
    }
}

void BM_Xml(benchmark::State &state)
{
    TdmORVS &dm = clubWith(int(state.range(0)));
    const RaceInfo race = raceOf(dm);
    for (auto _ : state)
        benchmark::DoNotOptimize(ResultExports::buildXml(dm, race).size());
}

void BM_ResultWorkbook(benchmark::State &state)
{
    TdmORVS &dm = clubWith(int(state.range(0)));
    for (auto _ : state) {
        RaceResultList list(dm);
        list.load(Race);
        QByteArray bytes;
        QString error;
        ResultExports::resultWorkbook(list).build(&bytes, &error);
        benchmark::DoNotOptimize(bytes.size());
    }
}

void BM_Sms(benchmark::State &state)
{
    TdmORVS &dm = clubWith(int(state.range(0)));
    const RaceInfo race = raceOf(dm);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ResultExports::smsMembers(dm, race).bytes().size());
        benchmark::DoNotOptimize(ResultExports::smsBirds(dm, race).bytes().size());
    }
}

void BM_ImportPigeons(benchmark::State &state)
{
    const int rows = int(state.range(0));
    QTemporaryDir dir;
    WorkbookWriter w(PigeonExchange::sheetHeadings());
    for (int n = 0; n < rows; ++n)
        w.addRow({QStringLiteral("L%1").arg(n % 100, 4, 10, QLatin1Char('0')), QStringLiteral("GB"),
                  QStringLiteral("2026"), QStringLiteral("A"), QString::number(n), QStringLiteral("Hen"),
                  QStringLiteral("BB"), QString(), QStringLiteral("E%1").arg(n)});
    const QString path = dir.filePath(QStringLiteral("pigeons.xlsx"));
    QString error;
    w.save(path, &error);
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir db;
        auto dm = std::make_unique<TdmORVS>(db.path() + QStringLiteral("/P"));
        for (int l = 0; l < 100; ++l)
            dm->exec(QStringLiteral("INSERT INTO ORV_LoftData (LoftNo) VALUES (?)"),
                     {QStringLiteral("L%1").arg(l, 4, 10, QLatin1Char('0'))});
        NullSink sink;
        state.ResumeTiming();
        const auto outcome = PigeonExchange::importPigeons(*dm, path, sink);
        if (outcome.inserted != rows)
            state.SkipWithError("import incomplete");
    }
}
} // namespace

BENCHMARK(BM_WinSpeed)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Xml)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResultWorkbook)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sms)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPigeons)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
