#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>
#include <vector>

// Flying time, velocity and clock variation of one arrival. Pure functions, no store: the races
// page, the recalculation and the clock page's result upload all call these.
//
// Moments are taken as wall-clock date and time (what the clocks show), so a change of daylight
// saving time during a race does not move a flying time.
namespace FlyTime {

// Sunset and sunrise of one race day. An invalid (null) time means the row gives none.
struct SunRow
{
    QDate raceDate;
    QTime sunSet;
    QTime sunRise;
};

// Sorts sun rows by date, as the computation expects them.
void sortSunRows(std::vector<SunRow> &rows);

// Nearest whole number, halves away from zero (2.5 -> 3, -2.5 -> -3).
qint64 roundHalfAwayFromZero(double v);

// Milliseconds between two wall-clock moments (b - a).
qint64 wallMsBetween(const QDateTime &a, const QDateTime &b);

// Flying time in whole milliseconds: the daylight hours between liberation and arrival,
// neutralising each night by the sun rows (sorted by date), less the clock's variation
// (positive = the clock ran fast). Days are compared as calendar dates, so a race across the
// new year counts its days in order. A day without a sun row adds nothing once the race spans
// several days; a missing sunset counts as the end of that day and a missing sunrise as its start.
qint64 flyingMs(const QDateTime &liberation, const QDateTime &arrival, const std::vector<SunRow> &sunRows,
                int variationSeconds);

// "hh:mm:ss.zzz", hours not limited to 24 (26:05:00.000).
QString flyTimeText(qint64 ms);

// Velocity in thousandths of a distance unit per minute, rounded halves away from zero:
// D / T * 1000 * 60 with T in ms; 0 when D < 1 or T < 1. Exact integer arithmetic, so equal
// velocities are equal numbers.
qint64 velocityThousandths(qint64 distance, qint64 flyMs);
// The same as the stored value (three decimals).
double velocity(qint64 distance, qint64 flyMs);
// Thousandths of a stored velocity (how positions compare velocities).
qint64 thousandthsOf(double storedVelocity);
// "%8.3f" with "." as decimal point, whatever the locale.
QString velocityText(double v);

// The clock's variation in whole seconds from the four moments of basketing and the closing check:
// (memberCheck - masterCheck) - (memberMarked - masterMarked), halves away from zero.
int clockVariation(const QDateTime &markedMaster, const QDateTime &markedMember, const QDateTime &checkMaster,
                   const QDateTime &checkMember);

// Reads an arrival text "yyyy-mm-dd hh:nn:ss" with optional ".z", ".zz" or ".zzz". Anything else
// (a day-first date, a missing time) is not an arrival that can be computed.
std::optional<QDateTime> parseArrival(const QString &backTime);
// The stored text of a hand-entered arrival: "yyyy-mm-dd hh:nn:ss", the clocks' form.
QString arrivalText(const QDateTime &arrival);

// Everything stored for one arrival.
struct Result
{
    qint64 flyMs = 0;
    QString flyTime; // flyTimeText(flyMs)
    double velocity = 0;
};
Result compute(const QDateTime &liberation, const QDateTime &arrival, const std::vector<SunRow> &sunRows,
               int variationSeconds, qint64 distance);

} // namespace FlyTime
