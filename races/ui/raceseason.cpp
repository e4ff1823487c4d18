// The Races page's season panels: a race's prize list and the championships with their standings.
#include "races/ui/racepage.h"

#include "races/raceinfo.h"
#include "season/ui/championshippanel.h"
#include "season/ui/prizelistpanel.h"

void TfrmRace_TC::buildSeason()
{
    pnlPrizeList = new TPrizeListPanel(dm(), this);
    connect(pnlPrizeList, &TPrizeListPanel::done, this, [this] { showOnly(pnlRaceResult); });
    pnlChampionship = new TfrmChampionship(dm(), this);
    connect(pnlChampionship, &TfrmChampionship::done, this, [this] { showOnly(pnlRacePoint); });
}

void TfrmRace_TC::showPrizeList()
{
    const std::optional<RaceInfo> race = chosenRace();
    if (!race)
        return;
    pnlPrizeList->showRace(race->raceCode,
                           QStringLiteral("Prize List : %1 %2").arg(race->liberSite, race->raceCode));
    showOnly(pnlPrizeList);
}

void TfrmRace_TC::showChampionships()
{
    pnlChampionship->FormShow();
    showOnly(pnlChampionship);
}
