#include "report/clockreports.h"

#include "clockops/clockviews.h"
#include "races/racerecords.h"
#include "report/listreport.h"
#include "store/filename.h"
#include "store/tableobject.h"
#include "store/valuetext.h"

namespace ClockReports {

namespace {
QString siteOf(TdmORVS &dm, const QString &liberCode)
{
    for (const auto &s : RaceRecords::sitesByName(dm))
        if (s.code == liberCode)
            return s.name;
    return {};
}

void addTitleBand(Report &report, TdmORVS &dm, const ClubSettings &club, const QString &raceLabel,
                  const QString &liberCode, int rows)
{
    report.addTitle(QStringLiteral("qrlNAM"), QStringLiteral("NAM-"), club.clubName);
    report.addTitle(QStringLiteral("qrlDate"), QStringLiteral("Date :"), report.printTimeText());
    report.addTitle(QStringLiteral("qrlLiberSite"), QStringLiteral("LiberSite :"), siteOf(dm, liberCode));
    report.addTitle(QStringLiteral("qrlRaceCode"), QStringLiteral("RaceCode :"), raceLabel);
    report.addTitle(QStringLiteral("qrlTotal"), QStringLiteral("Total :"), ValueText::count3(rows));
}
} // namespace

std::unique_ptr<Report> markedList(TdmORVS &dm, const MarkedList &shown, const QString &raceLabel,
                                   const QString &liberCode)
{
    const ClubSettings club = ClubSettings::load(dm);
    auto *list = new MarkedList(dm, ListLayout::Report);
    list->copyRowsFrom(shown);
    auto report = ListReport::make(QStringLiteral("frmMarkUpLdPrt_10_TC"), list, club, false);
    addTitleBand(*report, dm, club, raceLabel, liberCode, list->rowCount());
    report->setFileName(FileName::of({QStringLiteral("Marked"), raceLabel}));
    ListReport::finish(*report, dm, club);
    return report;
}

std::unique_ptr<Report> raceResult(TdmORVS &dm, const ClockResultList &shown, const QString &raceLabel,
                                   const QString &liberCode)
{
    const ClubSettings club = ClubSettings::load(dm);
    auto *list = new ClockResultList(dm, ListLayout::Report);
    list->copyRowsFrom(shown);
    list->refreshTitles();
    auto report = ListReport::make(QStringLiteral("frmRaceRankRpt_10_TC"), list, club, false);
    addTitleBand(*report, dm, club, raceLabel, liberCode, list->rowCount());
    report->setFileName(FileName::of({QStringLiteral("Result"), raceLabel}));
    report->addFooter(QStringLiteral("qrlNetFlyTime"), QStringLiteral("Net Flying Time :"), shown.netFlyingTime());
    report->addFooter(QStringLiteral("qrlWinMargin"), QStringLiteral("Winning Margin :"), shown.winningMargin());
    ListReport::finish(*report, dm, club);
    return report;
}

} // namespace ClockReports
