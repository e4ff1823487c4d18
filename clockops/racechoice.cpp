#include "clockops/racechoice.h"

#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QSqlRecord>

namespace RaceChoice {

std::vector<Item> items(TdmORVS &dm)
{
    std::vector<Item> out;
    for (const auto &r : dm.rows(QStringLiteral(
             "SELECT LiberCode, LiberDate, LiberSiteAbbr, RaceCode FROM ORV_RaceData "
             "WHERE DeleteMark=0 OR DeleteMark IS NULL ORDER BY date(LiberDate), LiberCode"))) {
        // the date as the race grid shows it
        const QString date = ValueText::shortDate(r.value(1));
        out.push_back({r.value(0).toString() + QLatin1Char(' ') + date + QLatin1Char(' ') +
                           r.value(3).toString() + QLatin1Char(' ') + r.value(2).toString(),
                       r.value(3).toString()});
    }
    return out;
}

bool choose(TdmORVS &dm, const QString &raceCode, ClockSession &s)
{
    const auto rows =
        dm.rows(QStringLiteral("SELECT ClubID, RaceCode, LiberDate, LiberCode FROM ORV_RaceData "
                               "WHERE RaceCode=? ORDER BY DeleteMark LIMIT 1"),
                {raceCode});
    if (rows.empty())
        return false;
    s.CurRaceCode = rows.front().value(1).toString();
    s.CurLiberDate = ValueText::date(ValueText::parseDate(rows.front().value(2)));
    s.CurClubID = rows.front().value(0).toString();
    s.CurLiberCode = rows.front().value(3).toString().trimmed();
    return true;
}

} // namespace RaceChoice
