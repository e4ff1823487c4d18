#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

class TdmORVS;

// Prizes and points of one race, taken from the race's result list as it stands now.
namespace Season {

enum class Scheme
{
    Linear,     // points from a maximum (first prize) down to a minimum (last prize), higher is better
    Coefficient // position x 100 / entries, lower is better
};

QString schemeName(Scheme s); // "linear", "coefficient"
bool schemeFromName(const QString &name, Scheme *out);

// How a race's prizes are scored. Points are kept in whole hundredths, coefficients in whole
// thousandths, so that totals and comparisons are exact.
struct PointsRule
{
    Scheme scheme = Scheme::Linear;
    int ratio = 4;                  // one prize per `ratio` entries ("1 in 4")
    qint64 maxHundredths = 100000;  // 1000.00
    qint64 minHundredths = 10000;   // 100.00

    bool higherIsBetter() const { return scheme == Scheme::Linear; }
};

// ceil(entries / ratio); 0 without entries.
int prizeCount(int entries, int ratio);
// Points of the prize at `position` (1 = first) among `prizes`, in hundredths: linear from max to
// min, halves away from zero; a single prize gives the maximum.
qint64 linearPoints(int position, int prizes, qint64 maxHundredths, qint64 minHundredths);
// position x 100 / entries in thousandths, halves away from zero (3 of 17 -> 17647).
qint64 coefficient(int position, int entries);
// Score of a position by the rule: hundredths (linear) or thousandths (coefficient).
qint64 score(const PointsRule &rule, int position, int prizes, int entries);
// "1000.00" / "17.647": two or three decimals by the scheme, "." as decimal point.
QString scoreText(qint64 score, Scheme scheme);
// Reads "1000", "850.5" or "200.25" as hundredths; false for anything else.
bool parsePoints(const QString &text, qint64 *hundredths);

struct Prize
{
    int pos = 0;
    QString ringNo;
    QString loftNo;
    double flySpeed = 0;
    qint64 score = 0; // hundredths or thousandths by the scheme
};

struct PrizeList
{
    QString raceCode;
    int entries = 0; // birds basketed: rows of the race, arrived or not
    int prizes = 0;  // ceil(entries / ratio)
    std::vector<Prize> rows;
};

// The race's prize winners: the birds of its result list whose position is within the prize count,
// in result order. Birds tied on the last prize all win it. A bird without a velocity wins nothing.
PrizeList prizeList(TdmORVS &dm, const QString &raceCode, const PointsRule &rule);

// "Orleans (ORL) 20021208 - liberated 2026-12-08 06:45:00": the race line of a prize list.
QString prizeRaceLine(TdmORVS &dm, const QString &raceCode);
// "40 birds basketed - 10 prizes (1 in 4), points 1000.00 to 100.00"
QString prizeSummary(const PrizeList &pl, const PointsRule &rule);

} // namespace Season
