#pragma once

#include <QDate>
#include <QString>
#include <initializer_list>
#include <optional>

// Checks of typed values against the columns that keep them, shared by the pages, the CLI and the
// imports: length (from the schema), control characters, number ranges, dates, and the characters
// that would break a clock's field list. Each check gives an empty text when the value is fine,
// else a message naming the field ("Loft number: at most 10 characters.").
namespace EntryCheck {

// Size of a text column of the club database (characters); 20 where the schema states none.
int columnSize(const QString &table, const QString &column);

// A text for `table`.`column`: fits the column, holds no control character (line breaks only
// where multiLine) and, with toClock, nothing that would break a device field list.
QString text(const QString &field, const QString &value, const QString &table, const QString &column,
             bool toClock = false, bool multiLine = false);
// The same with an explicit size.
QString textOfSize(const QString &field, const QString &value, int size, bool toClock = false,
                   bool multiLine = false);
// A whole number typed as text, within [min, max]; an empty text is refused unless allowEmpty.
QString number(const QString &field, const QString &value, qint64 min, qint64 max, bool allowEmpty = false);
// A whole number already read, within [min, max].
QString range(const QString &field, qint64 value, qint64 min, qint64 max);
// A date that can be a race's or a clock's: valid and between FirstDate and LastDate.
QString date(const QString &field, const QDate &value);
inline const QDate FirstDate{1990, 1, 1};
inline const QDate LastDate{2099, 12, 31};

// The first message of several checks, empty when every check passed.
QString first(std::initializer_list<QString> problems);

// The character of `value` a clock's field list cannot carry: "%" ends a field, "#" at the start
// turns a text into a number, "$" is read as ":" by the set commands. Nothing when the value
// travels safely.
std::optional<QChar> fieldListBreaker(const QString &value);

} // namespace EntryCheck
