#pragma once

#include "report/report.h"

#include <memory>

class DistanceList;
class RaceList;
class RaceResultList;
class RaceStatusList;
class TdmORVS;
struct RaceInfo;

// The four reports of the races page, each over the rows of the page's list as shown (their
// order after title clicks included).
namespace RaceReports {

// The titles of the distance and status panels, which the two reports print: "Member loft
// distance to " + site and " Status for " + site.
QString distancePanelTitle(const QString &site);
QString statusPanelTitle(const QString &site);

// "Race List" (TfrmPrtRaceList_TC).
std::unique_ptr<Report> raceList(TdmORVS &dm, const RaceList &shown);

// Member distances (TfrmPrtMemDist_TC) under the distance panel's title; unit headings as the
// page's list has them.
std::unique_ptr<Report> memberDistances(TdmORVS &dm, const DistanceList &shown, const QString &panelTitle);

// Race status (TfrmPrtRaceStat_TC): the status panel's title followed by the race's liberation
// date and time, " (mm/dd hh:mm:ss)".
std::unique_ptr<Report> raceStatus(TdmORVS &dm, const RaceStatusList &shown, const QString &panelTitle,
                                   const RaceInfo &race);

// Race result (TfrmPrtRaceResult_TC): the club's name from the club map (none when the race's
// club is not in it), the site's abbreviation, the race code line and the page's summary line.
std::unique_ptr<Report> raceResult(TdmORVS &dm, const RaceResultList &shown, const RaceInfo &race,
                                   const QString &summaryLine);

} // namespace RaceReports
