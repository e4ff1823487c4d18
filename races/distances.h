#pragma once

#include <QString>

class QIODevice;
class TdmORVS;
class OperationSink;

// Loft distances to liberation points: computed from coordinates, imported from a text file,
// and the request file for federations.
namespace Distances {

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

// Imports lines "LiberCode,LoftNo,Miles,Yards": updates the row of the pair, or appends it when
// the pair is new and the code is given; other lines are skipped. A Miles or Yards that is not a
// whole number stops the import (lines before it stay) with a failure; otherwise reports
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
