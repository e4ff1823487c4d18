#pragma once

#include <QDate>
#include <QString>
#include <initializer_list>

// Checks of typed values against the columns that keep them, shared by the pages, the CLI and the
// imports: length (from the schema), control characters, number ranges, dates, and commas in the
// fields that the comma-separated exchange files carry. Each check gives an empty text when the
// value is fine, else a message naming the field ("Loft number: at most 10 characters.").
// Values that go to a clock are checked through ClockEntry (device/), which knows its field lists.
namespace EntryCheck {

enum Options : unsigned {
    Plain = 0,
    MultiLine = 1, // line breaks and tabs allowed
    NoComma = 2,   // a field of COTE.txt, RING.txt or DISTANCES.txt, which are written without quoting
};
inline Options operator|(Options a, Options b)
{
    return Options(unsigned(a) | unsigned(b));
}

// Size of a text column of the club database (characters); 20 where the schema states none.
int columnSize(const QString &table, const QString &column);

// A text for `table`.`column`: fits the column and holds no control character (line breaks only
// with MultiLine) and no comma with NoComma.
QString text(const QString &field, const QString &value, const QString &table, const QString &column,
             Options options = Plain);
// The same with an explicit size.
QString textOfSize(const QString &field, const QString &value, int size, Options options = Plain);
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

} // namespace EntryCheck
