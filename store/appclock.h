#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>

// The one "now" the whole program asks, and the PC's time zone, so tests can put the program at
// any instant in any zone.
namespace AppClock {
// The current instant as the PC's local date-time.
QDateTime now();
QDate today();
// Fixes now() to the instant of the given date-time; an invalid value returns to the system clock.
void setFixed(const QDateTime &t);

// The zone every local date-time of the program is in: the PC's settings.
QTimeZone zone();
// Puts the whole process in another zone (an IANA id such as "Europe/Brussels"), as a PC set
// to it would be; local date-times made afterwards follow its rules. An empty id returns to the
// zone the process started in.
void setZone(const QByteArray &ianaId);

// The PC's local date-time of an instant (UTC milliseconds), with the offset in force then.
QDateTime localAt(qint64 utcMs);
// The instant of a local date and time of day, with the offset in force on that day. A date-time
// made from an instant keeps it.
qint64 instantOf(const QDateTime &local);
} // namespace AppClock
