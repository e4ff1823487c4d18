#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <vector>

class TdmORVS;
class OperationSink;

// The ranking of a race's arrivals (one for every list, report and export that shows positions),
// the result summary, and the recalculation of a whole race. Positions and order come from the
// stored velocities compared as whole thousandths.
namespace Ranking {

// Positions by a "better" order: 1 + the number of `field` entries strictly better than each of
// `ofThese`, so equal keys share a position and the next one skips (1, 2, 2, 4). n log n.
template <typename Key, typename Better>
std::vector<int> positionsBy(std::vector<Key> field, const std::vector<Key> &ofThese, Better better)
{
    std::sort(field.begin(), field.end(), better);
    std::vector<int> out;
    out.reserve(ofThese.size());
    for (const Key &k : ofThese)
        out.push_back(static_cast<int>(std::lower_bound(field.begin(), field.end(), k, better) - field.begin()) +
                      1);
    return out;
}

// Positions of velocities in thousandths among every arrival's velocity (fastest first).
std::vector<int> positions(const std::vector<qint64> &field, const std::vector<qint64> &ofThese);

// One arrival of a race (an entry with a non-empty arrival text), with its pigeon and distance row.
struct Arrival
{
    int pos = 0;
    QString liberCode; // the entry's liberation code, or the race's when the entry has none
    QString ringNo;
    QString backTime;
    QString flyTime;
    double flySpeed = 0; // as stored (0 when NULL)
    QVariant dist;       // the stored distance used (yards or metres)
    QVariant timeVari;   // as stored, may be NULL
    QVariant loftNo;     // NULL when the ring is no known pigeon
    QVariant sex;       // as stored, NULL when none
    QVariant colorType;
    QString ringCountry, ringYear, ringLetters, ringNumber;
    bool hasDistanceRow = false; // the loft has a distance row for the liberation code
    QVariant miles, yards;       // that row's parts
};

// The one ranking of a race: every arrival, positioned by velocity compared in thousandths
// (1 + the number of arrivals strictly faster), ordered fastest first, then by arrival text.
// Entries without an arrival (NULL or empty) are not arrivals: they neither list nor count.
std::vector<Arrival> rankedArrivals(TdmORVS &dm, const QString &raceCode);

// The races page's result rows: the ranked arrivals whose ring is a known pigeon and whose loft
// has a distance row for the liberation code. The others keep counting for the positions.
std::vector<Arrival> resultList(TdmORVS &dm, const QString &raceCode);
bool listedOnRacePage(const Arrival &a);

struct Summary
{
    int lofts = 0;   // lofts with entries (entries of unknown rings count as one group)
    int entries = 0; // all entries of the race
    int listed = 0;  // rows of the result list
    // "%4d Members sent %5d birds - %5d were clocked"
    QString text() const;
};
Summary summary(TdmORVS &dm, const QString &raceCode, int listedRows);

// The stored arrivals of a race whose flight lacks a day's sun row, as FlyTime::SunGaps says it;
// empty when every flight has its rows.
QString sunGapsText(TdmORVS &dm, const QString &raceCode);

struct RecalcOutcome
{
    int updated = 0;
    int skipped = 0;  // arrivals that could not be read
    int notTimed = 0; // arrivals on a later day of a race without the sun rows of every day
};
// Recomputes flying time, velocity and distance of every arrived entry of the race from the
// liberation moment, each entry's stored variation, the race's sun rows and the lofts' distances.
// An arrival text that cannot be read is skipped with a message naming the ring. Writes run in
// one transaction; a store error ends the run (entries written before it stay) and is thrown.
// Arrivals on a later day of a race that lacks a day's sun row are named in one message.
RecalcOutcome recalculate(TdmORVS &dm, const QString &raceCode, const QDateTime &liberation,
                          OperationSink &sink);

} // namespace Ranking
