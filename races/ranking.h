#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <vector>

class TdmORVS;
class OperationSink;

// A race's result list with positions, its summary and status view, and the recalculation of a
// whole race. Positions and order come from the stored velocities compared as numbers.
namespace Ranking {

// Positions of sorted-or-not velocities (in thousandths) among all arrived entries: 1 + the number
// of arrived entries that are strictly faster, so equal velocities share (1, 2, 2, 4).
// `field` are the velocities of every arrived entry; returns the position of each of `ofThese`.
std::vector<int> positions(const std::vector<qint64> &field, const std::vector<qint64> &ofThese);

struct ResultRow
{
    int pos = 0;
    QString liberCode;
    QString ringNo;
    QString backTime;
    QString flyTime;
    double flySpeed = 0; // as stored (0 when NULL)
    QString dist;        // "Miles/Yards", empty when a part is NULL
    QString loftNo;
    QString sex;
    QString colorType;
    QVariant timeVari; // as stored, may be NULL
};

enum class Variant
{
    Normal,            // entries with a non-empty arrival
    AfterRecalculation // also entries whose arrival is empty but not NULL
};

// The result list: the race's arrived entries whose ring is a known pigeon and whose loft has a
// distance row for the race's liberation code, by velocity (fastest first), then arrival text.
// Entries left out still count for the positions of the others.
std::vector<ResultRow> resultList(TdmORVS &dm, const QString &raceCode, Variant v = Variant::Normal);

struct Summary
{
    int lofts = 0;   // lofts with entries (entries of unknown rings count as one group)
    int entries = 0; // all entries of the race
    int listed = 0;  // rows of the result list
    // "%4d Members sent %5d birds - %5d were clocked"
    QString text() const;
};
Summary summary(TdmORVS &dm, const QString &raceCode, int listedRows);

struct StatusRow
{
    QVariant loftNo; // NULL for entries whose ring is no known pigeon
    QString clockId;
    int marked = 0;
    int arrived = 0;
};
// Per loft and clock: the birds entered and the birds with an arrival.
std::vector<StatusRow> statusView(TdmORVS &dm, const QString &raceCode);

struct RecalcOutcome
{
    int updated = 0;
    int skipped = 0; // arrivals that could not be read
};
// Recomputes flying time, velocity and distance of every arrived entry of the race from the
// liberation moment, each entry's stored variation, the race's sun rows and the lofts' distances.
// An arrival text that cannot be read is skipped with a message naming the ring. Writes run in
// one transaction; a store error ends the run (entries written before it stay) and is thrown.
RecalcOutcome recalculate(TdmORVS &dm, const QString &raceCode, const QDateTime &liberation,
                          OperationSink &sink);

// Display texts of the result grid.
// Time part + two blanks + "dd-mm", reading a year-first or a day-first date.
QString clockedText(const QString &backTime);
QString flyTimeShort(const QString &flyTime); // first 8 characters
QString velocityDisplay(double v);            // three decimals in the locale; empty when 0
QString variationText(const QVariant &v);     // "+5", "0", "-3"

} // namespace Ranking
