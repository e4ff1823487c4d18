#pragma once

#include <QString>
#include <QVariant>

// Display texts of race results, shared by every list, report and command that shows them.
namespace ResultText {

// "%8.3f" of a stored velocity; empty when it is 0 (to the thousandth).
QString speed(const QVariant &storedVelocity);
// Time part + two blanks + "dd-mm", reading a year-first or a day-first date; empty when empty.
QString clocked(const QString &backTime);
// "hh:mm:ss": the flying time without its milliseconds.
QString flyTimeShort(const QString &flyTime);
// "+5", "0", "-3"; empty when NULL.
QString variation(const QVariant &v);
// Miles + "/" + Yards of a distance row, the yards (metres in the club's unit mode 0) written with
// as many digits as their largest value has ("66/043" km and m, "68/0012" miles and yards), so the
// text never reads as a decimal. `separator` "-" gives the form of the XML read-out.
QString distance(const QVariant &miles, const QVariant &yards, int mode, QChar separator = QLatin1Char('/'));
// "Hen" for "H", "Cock" for any other sex text, empty when there is none.
QString sexWord(const QVariant &sex);
// The first two characters of a colour code.
QString colourShort(const QVariant &colour);

// Whole seconds of a flying time text, reading hours, minutes and the two digits after the
// second ":" (milliseconds ignored); -1 when the text has no such form.
qint64 flySeconds(const QString &flyTime);
// A bird's margin behind the leader, "hh:mm:ss" (a "-" before it when the bird flew shorter);
// empty when either flying time is missing.
QString margin(const QString &leaderFlyTime, const QString &flyTime);
// The winning margin, second bird minus first, as "h:m:s" without leading zeros (65 s gives
// 0:1:5); "0:0:0" with a single arrival; empty without arrivals.
QString winningMargin(const QString &firstFlyTime, const QString &secondFlyTime, int arrivals);

} // namespace ResultText
