// The race result report of races of 5,000, 10,000 and 20,000 entries: laid out (every cell
// measured) and written as PDF; and the first page of a 500-row list in the print preview.
#include "bench/benchclub.h"
#include "races/raceinfo.h"
#include "races/racelists.h"
#include "report/racereports.h"
#include "report/reportlayout.h"
#include "report/reportpdf.h"
#include "report/ui/reportpreview.h"
#include "store/tdmorvs.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QPrintPreviewWidget>
#include <QStandardItemModel>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {
double maxRssMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

std::unique_ptr<Report> resultReport(TdmORVS &dm)
{
    RaceResultList list(dm);
    list.load(BenchRace);
    const auto race = Races::findRace(dm, BenchRace);
    return RaceReports::raceResult(dm, list, *race, list.summary().text());
}

// Laying out: every cell of every row measured for the column widths, pages counted.
void BM_ResultReportLayout(benchmark::State &state)
{
    TdmORVS &dm = benchClubWith(static_cast<int>(state.range(0)));
    const auto report = resultReport(dm);
    int pages = 0;
    for (auto _ : state) {
        const ReportLayout layout(*report, ReportLayout::a4Content());
        pages = layout.pageCount();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
    state.SetComplexityN(state.range(0));
}

// The whole report: the result list read and ranked, the report built, laid out and written as PDF.
void BM_ResultReportPdf(benchmark::State &state)
{
    TdmORVS &dm = benchClubWith(static_cast<int>(state.range(0)));
    qint64 bytes = 0;
    int pages = 0;
    for (auto _ : state) {
        const auto report = resultReport(dm);
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        pages = ReportPdf::write(*report, pdf);
        bytes = pdf.size();
    }
    state.counters["pages"] = pages;
    state.counters["pdf_kB"] = static_cast<double>(bytes) / 1024.0;
    state.counters["maxrss_MB"] = maxRssMb();
    state.SetComplexityN(state.range(0));
}

// From opening the preview of a 500-row list to its first page painted.
void BM_PreviewFirstPage(benchmark::State &state)
{
    QStandardItemModel model(static_cast<int>(state.range(0)), 6);
    model.setHorizontalHeaderLabels({"Club", "Code", "Lib.Site Abbr.", "Liberation Site", "Lib Date", "Lib Time"});
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < 6; ++c)
            model.setItem(r, c, new QStandardItem(QStringLiteral("Row %1 column %2").arg(r).arg(c)));
    Report report(QStringLiteral("frmPrtRaceList_TC"));
    report.setModel(&model);
    report.setHeading({"North Leeds Racing Pigeon Club", "1 High Street", "Leeds", "LS1 1AA"});
    report.addTitle(QStringLiteral("qrlTitle"), QStringLiteral("Race List"));
    report.addModelColumns();
    for (auto _ : state) {
        ReportPreviewDialog dialog(report, 1);
        dialog.show();
        auto *view = dialog.findChild<QPrintPreviewWidget *>();
        while (view->pageCount() == 0)
            QCoreApplication::processEvents();
        state.counters["pages"] = view->pageCount();
    }
}
} // namespace

BENCHMARK(BM_ResultReportLayout)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ResultReportPdf)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_PreviewFirstPage)->Arg(500)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
