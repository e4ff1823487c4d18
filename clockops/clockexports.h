#pragma once

#include "office/workbook.h"

#include <QString>

class RecordTable;
class TdmORVS;
class OperationSink;

// The two spreadsheets of the clock page: the marked list of a race and a loft's arrivals of the
// multi-race upload. Cells hold the stored values, not the grid's display texts.
namespace ClockExports {

// Every bird marked for the race by loft, then marking time; `Nom` is the bird's place in its loft's
// marking order, kept for the first five and 0 after them.
WorkbookWriter markedWorkbook(TdmORVS &dm, const QString &raceCode);
// The multi-race list as shown (Rank, LibCode, PRingNo, BackTime, FlyTime, FlySpeed, Dist).
WorkbookWriter multiWorkbook(const RecordTable &list);

bool saveMarked(TdmORVS &dm, const QString &raceCode, const QString &path, OperationSink &sink);
bool saveMulti(const RecordTable &list, const QString &path, OperationSink &sink);

} // namespace ClockExports
