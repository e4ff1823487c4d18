#pragma once

#include <QLocale>
#include <QString>

// The one form of a date on screens: the date boxes, the grids, the race lists and the headings.
namespace DateForm {
// The locale's short date form in digits with a four-digit year ("dd.MM.yyyy", "M/d/yyyy"); the
// C locale, which names no country, writes "yyyy-MM-dd".
QString of(const QLocale &locale);
// A date in that form for the system's locale; empty for an invalid date.
QString text(const QDate &d);
} // namespace DateForm
