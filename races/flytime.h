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
// Moments are the PC's local date-times. A flight that is not neutralised is the difference of
// its two instants, so a night of a daylight-saving change counts its 23 or 25 hours; each term of
// a neutralised flight lies within one day and is a difference of times of day.
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

// Milliseconds between the instants of two local date-times (b - a).
qint64 msBetween(const QDateTime &a, const QDateTime &b);

// Flying time in whole milliseconds: the daylight hours between liberation and arrival,
// neutralising each night by the sun rows (sorted by date), less the clock's variation
// (positive = the clock ran fast). Days are compared as calendar dates, so a race across the
// new year counts its days in order. A day without a sun row adds nothing once the race spans
// several days; a missing sunset counts as the end of that day and a missing sunrise as its start.
qint64 flyingMs(const QDateTime &liberation, const QDateTime &arrival, const std::vector<SunRow> &sunRows,
                int variationSeconds);

// The days of a flight over several days that have no sun row: such a day adds nothing, so the
// bird is not timed as it flew. Empty for a flight of one day.
std::vector<QDate> daysWithoutSun(const QDate &liberationDay, const QDate &arrivalDay,
                                  const std::vector<SunRow> &sunRows);

// Collects the birds of a race whose flight lacks sun rows, for one message naming the days:
// "no sunset and sunrise for 27 May: 12 birds not timed".
class SunGaps
{
public:
    void add(const QDate &liberationDay, const QDate &arrivalDay, const std::vector<SunRow> &sunRows);
    bool empty() const { return birds_ == 0; }
    int birds() const { return birds_; }
    QString text() const; // empty when no bird lacks a row
private:
    std::vector<QDate> days_; // sorted, each once
    int birds_ = 0;
};

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
