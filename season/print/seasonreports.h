#pragma once

#include <QString>
#include <memory>

class Report;
class SeasonList;
class TdmORVS;
struct Championship;

// The season's printed reports on the banded report engine: the club heading, a title and a
// subtitle, every column of the list as the grid shows it, in the list's current order.
namespace SeasonReports {

// "Prize List" of a race: title line with the race, subtitle with entries and prizes.
std::unique_ptr<Report> prizeList(TdmORVS &dm, const SeasonList &list, const QString &raceLine,
                                  const QString &summary);
// "Ace Pigeons" or "Best Lofts" of a championship: its name, races and scoring as subtitles.
std::unique_ptr<Report> standings(TdmORVS &dm, const SeasonList &list, const Championship &c);

// Writes a report as a PDF file (complete or not at all); false with `error` set.
bool writePdf(const Report &report, const QString &path, QString *error);

} // namespace SeasonReports
