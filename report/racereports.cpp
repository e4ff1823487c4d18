#include "report/racereports.h"

#include "races/raceinfo.h"
#include "races/racelists.h"
#include "races/racerecords.h"
#include "report/listreport.h"
#include "store/dateform.h"
#include "store/filename.h"
#include "store/tableobject.h"

#include <QLocale>

namespace RaceReports {

QString distancePanelTitle(const QString &site)
{
    return QStringLiteral("Member loft distance to ") + site;
}

QString statusPanelTitle(const QString &site)
{
    return QStringLiteral(" Status for ") + site;
}

namespace {
// A panel title printed as its translatable caption and the site after it; a title of another
// form is printed as it stands.
void addPanelTitle(Report &report, const QString &title, const QString &prefix, const QString &after = {})
{
    if (title.startsWith(prefix))
        report.addTitle(QStringLiteral("qrlTitle"), prefix.trimmed(), title.mid(prefix.size()) + after);
    else
        report.addTitle(QStringLiteral("qrlTitle"), QString(), title + after);
}
} // namespace

std::unique_ptr<Report> raceList(TdmORVS &dm, const RaceList &shown)
{
    const ClubSettings club = ClubSettings::load(dm);
    auto *list = new RaceList(dm, ListLayout::Report);
    list->copyRowsFrom(shown);
    auto report = ListReport::make(QStringLiteral("frmPrtRaceList_TC"), list, club, true);
    report->addTitle(QStringLiteral("qrlTitle"), QStringLiteral("Race List"));
    ListReport::finish(*report, dm, club);
    return report;
}

std::unique_ptr<Report> memberDistances(TdmORVS &dm, const DistanceList &shown, const QString &panelTitle)
{
    const ClubSettings club = ClubSettings::load(dm);
    auto *list = new DistanceList(dm, false, ListLayout::Report);
    list->copyRowsFrom(shown);
    auto report = ListReport::make(QStringLiteral("frmPrtMemDist_TC"), list, club, true);
    addPanelTitle(*report, panelTitle, distancePanelTitle(QString()));
    // Official lists must say how their distances were measured.
    report->addTitle(QStringLiteral("qrlDistMethod"), QStringLiteral("Distance method :"),
                     Coordinates::methodName(Races::clubDistanceMethod(dm)));
    // The unit headings ("KM"/"M" or "Miles"/"Yards") as the page's list shows them.
    for (const QString &field : {QStringLiteral("Miles"), QStringLiteral("Yards")}) {
        const int c = shown.columnOfField(field);
        if (c >= 0)
            ListReport::setHeader(*report, QStringLiteral("qrl") + field,
                                  shown.headerData(c, Qt::Horizontal).toString());
    }
    ListReport::finish(*report, dm, club);
    return report;
}

std::unique_ptr<Report> raceStatus(TdmORVS &dm, const RaceStatusList &shown, const QString &panelTitle,
                                   const RaceInfo &race)
{
    const ClubSettings club = ClubSettings::load(dm);
    auto *list = new RaceStatusList(dm, ListLayout::Report);
    list->copyRowsFrom(shown);
    auto report = ListReport::make(QStringLiteral("frmPrtRaceStat_TC"), list, club, true);
    const QString when = race.liberDate.toString(QStringLiteral("MM/dd")) + QLatin1Char(' ') +
                         race.liberTime.toString(QStringLiteral("HH:mm:ss"));
    addPanelTitle(*report, panelTitle, statusPanelTitle(QString()), QStringLiteral(" (") + when + QLatin1Char(')'));
    report->setFileName(FileName::of({QStringLiteral("Status"), race.raceCode, race.liberSite}));
    ListReport::finish(*report, dm, club);
    return report;
}

std::unique_ptr<Report> raceResult(TdmORVS &dm, const RaceResultList &shown, const RaceInfo &race,
                                   const QString &summaryLine)
{
    const ClubSettings club = ClubSettings::load(dm);
    auto *list = new RaceResultList(dm, ListLayout::Report);
    list->copyRowsFrom(shown);
    auto report = ListReport::make(QStringLiteral("frmPrtRaceResult_TC"), list, club, true);
    ListReport::setHeader(*report, QStringLiteral("qrlFlySpeed"),
                          RaceResultList::speedTitle(club.mode, ListLayout::Report));
    // Titled and headed like the club's other lists.
    report->addTitle(QStringLiteral("qrlTitle"), QStringLiteral("Race Result"));
    report->setFileName(FileName::of({QStringLiteral("Result"), race.raceCode, race.liberSite}));
    // the race's club from the club map, when it is not the club of the heading
    const QString raceClub = RaceRecords::clubNameOf(dm, race.clubId);
    if (raceClub != club.clubName)
        report->addTitle(QStringLiteral("qrlClubName"), QString(), raceClub);
    report->addTitle(QStringLiteral("qrlLiberSiteAbbr"), QString(), race.liberSiteAbbr);
    report->addTitle(QStringLiteral("qrlRaceCode"), QStringLiteral("RaceCode :"),
                     race.liberCode + QLatin1Char(' ') +
                         DateForm::text(race.liberDate) + QLatin1Char(' ') +
                         race.liberTime.toString(QStringLiteral("HH:mm")));
    report->addTitle(QStringLiteral("qrlSummary"), QString(), summaryLine);
    ListReport::finish(*report, dm, club);
    return report;
}

} // namespace RaceReports
