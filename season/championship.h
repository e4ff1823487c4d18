#pragma once

#include "season/prizes.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class OperationSink;
class TdmORVS;

// A championship: the races it counts and how they are scored. Only these choices are stored;
// standings are computed from the races each time.
struct Championship
{
    QString name;
    QStringList races; // race codes, in the order chosen
    Season::PointsRule rule;
    int bestCount = 0; // results counted per pigeon in the ace standing; 0 = all
    int loftBirds = 2; // first birds of each loft counted per race in the loft standing
};

namespace Championships {

// A live race of the race list that a championship can count.
struct RaceChoice
{
    QString raceCode;
    QString liberSite;
    QString liberDate; // as stored, YYYY-MM-DD
};
std::vector<RaceChoice> raceChoices(TdmORVS &dm); // by date, then code

constexpr int MaxNameLength = 50;

std::vector<Championship> all(TdmORVS &dm); // by name
std::optional<Championship> find(TdmORVS &dm, const QString &name);

// Checks the choices and stores them under the name (replacing a championship of that name, any
// letter case). Every race must be a live race of the race list. False with a message otherwise.
bool save(TdmORVS &dm, const Championship &c, OperationSink &sink);
bool remove(TdmORVS &dm, const QString &name, OperationSink &sink);

} // namespace Championships
