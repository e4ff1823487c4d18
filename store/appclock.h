#pragma once

#include <QDateTime>

// The one "now" the whole program asks, so tests can put the program at any date.
namespace AppClock {
QDateTime now();
QDate today();
// Fixes now() to the given local time; an invalid value returns to the system clock.
void setFixed(const QDateTime &t);
} // namespace AppClock
