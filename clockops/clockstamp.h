#pragma once

#include <QDateTime>

// The clocks' time stamps: decimal milliseconds since 1970-01-01 00:00 UTC. Each is converted
// from or to the PC's local date-time with the time zone's offset in force at that instant, so a
// stamp from before a change of daylight saving time keeps its hour when read after it.
namespace ClockStamp {
// Whole seconds (halves to even) times 1000.
qint64 fromLocal(const QDateTime &local);
// Whole seconds of the stamp (S div 1000) as local date-time.
QDateTime toLocal(qint64 stamp);
// The same with the stamp's milliseconds kept.
QDateTime toLocalMs(qint64 stamp);
// A stamp text ("1717171717000"); false when it is no whole number.
bool parse(const QString &text, qint64 *stamp);
} // namespace ClockStamp
