#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

class QIODevice;
class TdmORVS;
class OperationSink;

// Loft distances to liberation points: computed from coordinates, imported from a text file,
// and the request file for federations.
namespace Distances {

// Longest distance a club flies: whole kilometres (mode 0) or whole miles (mode 1).
constexpr long long MaxKilometres = 5000;
constexpr long long MaxMiles = 3100;
// The stored pair checked against its columns in the club's unit: whole units 0 to the maximum,
// the remainder 0 to 999 metres or 0 to 1759 yards; a NULL part is not checked. Names the field
// as the grid titles it ("KM", "M", "Miles", "Yards"); empty when fine.
QString checkStored(const QVariant &miles, const QVariant &yards, int mode);

// Stores a distance in metres for (liberation code, loft) in the club's unit, creating the row
// when there is none.
void store(TdmORVS &dm, const QString &liberCode, const QString &loftNo, long long metres, int mode);

// "LoftDistUpdate": every loft with a longitude gets its distance to the race's liberation point
// (0 when coordinates are missing or unreadable; unreadable ones report the parser's message).
// Returns the number of lofts written; false-y race code gives a failure message.
int updateFromCoordinates(TdmORVS &dm, const QString &raceCode, OperationSink &sink);

// The same for a liberation code: the coordinates of its site record, or of its latest race when
// it has no site. Returns the lofts written, -1 (with a failure) for an unknown code.
int recalculatePoint(TdmORVS &dm, const QString &liberCode, OperationSink &sink);

// Reads a text file line by line in bounded memory: a line longer than MaxLineBytes is cut there
// (lineWasCut()) and the rest of it skipped.
class LineReader
{
public:
    static constexpr int MaxLineBytes = 1024;
    explicit LineReader(QIODevice &in) : in_(in) {}
    // The next line without its line end; false at the end of the file.
    bool next(QByteArray *line);
    int lineNumber() const { return number_; }
    bool lineWasCut() const { return cut_; }

private:
    QIODevice &in_;
    int number_ = 0;
    bool cut_ = false;
};

// One line of a distance file, split: "LiberCode,LoftNo,Miles,Yards".
struct DistanceLine
{
    QString liberCode, loftNo, milesText, yardsText;
    QVariant miles, yards; // NULL when the field is empty
    bool milesOk = false, yardsOk = false;
    QString skip; // why the line cannot be stored (a code too long for its column)
};
DistanceLine parseLine(const QByteArray &raw);

// Imports lines "LiberCode,LoftNo,Miles,Yards": updates the row of the pair, or appends it when
// the pair is new and the code is given; other lines are skipped. A Miles or Yards that is not a
// whole number (or a negative one) stops the import (lines before it stay) with a failure, and so
// does a line that cannot be written; a line too long, or with a code too long for its column, is
// skipped with a failure naming its number; otherwise reports
// "Race Distance download success ！！". Returns true when the whole file was imported.
bool importFile(TdmORVS &dm, QIODevice &in, OperationSink &sink);
bool importFile(TdmORVS &dm, const QString &path, OperationSink &sink);

// Writes "LiberCode,LoftNo" for every liberation point with every loft, by loft then code,
// CR LF line ends, single-byte text. Returns the number of lines.
int writeRequestFile(TdmORVS &dm, QIODevice &out);
int writeRequestFile(TdmORVS &dm, const QString &path, OperationSink &sink);

// Appends a zero distance row for every loft that has none for this liberation code.
void addZeroRows(TdmORVS &dm, const QString &liberCode);

} // namespace Distances
