#pragma once

#include <QString>
#include <optional>

// Checks of typed values against the columns that keep them, for the operations every page
// calls before it stores: length, control characters, number ranges, and the characters that
// would break a clock's field list. Each check gives an empty text when the value is fine, else
// a message naming the field ("Loft number: at most 10 characters.").
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

// The character of `value` a clock's field list cannot carry: "%" ends a field, "#" at the start
// turns a text into a number. Nothing when the value travels safely.
std::optional<QChar> fieldListBreaker(const QString &value);

} // namespace EntryCheck
