#pragma once

#include "clockops/clocksession.h"

#include <QString>
#include <vector>

class TdmORVS;

// The race list of the upload tabs and the choice of one race into the session.
namespace RaceChoice {

struct Item
{
    QString text; // LiberCode + " " + short date + " " + RaceCode + " " + LiberSiteAbbr
    QString raceCode;
};

// Live races by liberation date, then liberation code.
std::vector<Item> items(TdmORVS &dm);

// Fills CurRaceCode, CurLiberCode, CurLiberDate and CurClubID from the store. False when the race
// is unknown (the session is left as it was).
bool choose(TdmORVS &dm, const QString &raceCode, ClockSession &s);

} // namespace RaceChoice
