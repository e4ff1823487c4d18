#pragma once

#include "office/textfile.h"
#include "office/workbook.h"

#include <QString>

class TdmORVS;
class OperationSink;

// Pigeons in and out of the club as workbooks (one layout for export and import, so an exported
// sheet imports again) and the member list COTE.txt.
namespace PigeonExchange {

// Headings of the pigeon sheet, in column order.
QStringList sheetHeadings();
// Live pigeons of the club (loftNo empty) or of one loft, by loft and ring.
WorkbookWriter pigeonWorkbook(TdmORVS &dm, const QString &loftNo = {});
bool savePigeons(TdmORVS &dm, const QString &loftNo, const QString &path, OperationSink &sink);

// One line per member, in loft-number order.
TextFile memberList(TdmORVS &dm);
bool saveMemberList(TdmORVS &dm, const QString &path, OperationSink &sink);

// The ring number of a sheet row without one: country, year, letters, number.
QString composeRing(const QString &country, const QString &year, const QString &letters, const QString &number);

// One row of a pigeon sheet as the import reads it, checked by the rules of ring entry.
struct SheetRow
{
    bool empty = true;  // a blank line in the used range: no pigeon, no message
    QString skip;       // why the row cannot be imported; empty when it can
    QStringList cells;  // columns 1 to 9, trimmed ("" for an empty cell)
    QString loft;
    QString ring;       // composed, or taken from column 8
    QString sex;        // "H", "C" or "U"
};
// `wide`: the sheet has other than 7 columns, so ring and electronic ring come from columns 8, 9.
SheetRow readRow(const WorkbookSheet &sheet, int row, bool wide);

struct ImportOutcome
{
    bool ok = false; // false: nothing was stored
    int inserted = 0;
    int updated = 0;
    int skipped = 0;
    QString summary() const;
};
// Reads the first worksheet (7 columns: ring composed; otherwise ring and electronic ring from
// columns 8 and 9) and inserts or updates the pigeons in one transaction. Rows that cannot be
// imported are skipped and reported with their sheet row number and reason. Progress goes to
// the sink ("row 4,200 of 10,000").
ImportOutcome importPigeons(TdmORVS &dm, const QString &path, OperationSink &sink);
// Same, from a sheet already read.
ImportOutcome importSheet(TdmORVS &dm, const WorkbookSheet &sheet, OperationSink &sink);

} // namespace PigeonExchange
