#pragma once

#include "report/report.h"

#include <memory>

class ClockResultList;
class MarkedList;
class TdmORVS;

// The two reports of the clock page, over the rows of the page's grids as shown. Their title
// band: "NAM-" and the club's name, "Date :" and the print time, "LiberSite :" and the site of
// the race's liberation code, "RaceCode :" and the race as the page's race box names it,
// "Total :" and the number of rows.
namespace ClockReports {

// The marked birds (TfrmMarkUpLdPrt_10_TC), numbered; page number in the footer.
std::unique_ptr<Report> markedList(TdmORVS &dm, const MarkedList &shown, const QString &raceLabel,
                                   const QString &liberCode);

// The race result (TfrmRaceRankRpt_10_TC) with the margin column; footer "Net Flying Time :"
// (the leader's flying time) and "Winning Margin :" (second bird behind the first).
std::unique_ptr<Report> raceResult(TdmORVS &dm, const ClockResultList &shown, const QString &raceLabel,
                                   const QString &liberCode);

} // namespace ClockReports
