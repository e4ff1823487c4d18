#pragma once

#include "season/championship.h"

#include <QString>
#include <QStringList>
#include <vector>

class TdmORVS;

// A championship's standings, computed from its races' result lists as they stand now: a race
// corrected after the standings were last shown counts with its new results.
namespace Standings {

struct AceRow
{
    int rank = 0;
    QString ringNo;
    QString loftNo;
    int prizes = 0;  // prizes won over the championship's races
    int counted = 0; // results counted (the best K, or all)
    qint64 total = 0; // hundredths (points) or thousandths (coefficient)
    qint64 best = 0;  // the pigeon's best single result
};

struct LoftRow
{
    int rank = 0;
    QString loftNo;
    QString loftName;
    int counted = 0; // prize-winning birds counted over the races
    qint64 total = 0;
};

struct Result
{
    Season::Scheme scheme = Season::Scheme::Linear;
    std::vector<AceRow> aces;
    std::vector<LoftRow> lofts;
    QStringList racesNotCounted;     // codes no longer in the race list (deleted)
    QStringList racesWithoutEntries; // not flown yet, or their entries purged
};

// Ace pigeons: every pigeon with a prize; its best K results (or all) summed. Points: higher total
// first. Coefficients: more counted results first, then the lower total (a single low coefficient
// does not beat a pigeon placed in every race). Ties: more prizes, then the better best result;
// rows still equal share a rank.
// Best lofts: per race the loft's first N prize winners; totals ranked the same way.
Result compute(TdmORVS &dm, const Championship &c);

} // namespace Standings
