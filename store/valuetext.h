#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

// The value forms kept in the database file (ISO text), and their display in the user's locale.
namespace ValueText {
QString dateTime(const QDateTime &t);   // "YYYY-MM-DD HH:MM:SS", ".zzz" when it has milliseconds
QString dateTimeMs(const QDateTime &t); // always with ".zzz"
QString date(const QDate &d);           // "YYYY-MM-DD"
QString time(const QTime &t);           // "HH:MM:SS"
// Stored text back to values; accepts the forms above (and a "T" separator). Invalid on failure.
QDateTime parseDateTime(const QVariant &v);
QDate parseDate(const QVariant &v);
QTime parseTime(const QVariant &v);
bool toBool(const QVariant &v); // NULL and 0 are false, anything else non-zero true

// Display forms in the user's locale.
QString shortDate(const QVariant &stored);
QString shortDateTime(const QVariant &stored);
QString longTime(const QVariant &stored);
QString groupedInteger(const QVariant &v); // 12345 -> "12,345" in the locale; NULL -> ""
// "007"-style counts.
QString count3(int n);
} // namespace ValueText
