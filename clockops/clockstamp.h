#pragma once

#include <QDateTime>
#include <optional>

// The clocks' time stamps: decimal milliseconds since 1970-01-01 00:00 UTC. Local date-times are
// converted with B, the minutes to add to the PC's local time to get UTC, taken from the time-zone
// settings at the moment of conversion (the same B for every instant converted).
namespace ClockStamp {
int biasMinutes();
// Tests fix B; nullopt returns to the PC's settings.
void setBiasOverride(std::optional<int> minutes);

// Whole seconds (halves to even) times 1000.
qint64 fromLocal(const QDateTime &local);
// Whole seconds of the stamp (S div 1000) as local date-time.
QDateTime toLocal(qint64 stamp);
// The same with the stamp's milliseconds kept.
QDateTime toLocalMs(qint64 stamp);
// A stamp text ("1717171717000"); false when it is no whole number.
bool parse(const QString &text, qint64 *stamp);
} // namespace ClockStamp
