#pragma once

#include "report/report.h"

#include <memory>

class RecordTable;
class TdmORVS;

// Helpers shared by the program's reports, each of which prints one list in its report layout.
namespace ListReport {

// A report named formName over `list` (which the report takes as its child): one column per list
// column, header labels named "qrl" + the column's field ("qrlLine" for the running number,
// "qrlCol" + position for a column without a field); with the club heading when `withHeading`.
std::unique_ptr<Report> make(const QString &formName, RecordTable *list, const ClubSettings &club, bool withHeading);

// Translates the finished report's captions in the club's language.
void finish(Report &report, TdmORVS &dm, const ClubSettings &club);

// Replaces the text of a header label (a unit title that follows the club's settings).
void setHeader(Report &report, const QString &objectName, const QString &text);

} // namespace ListReport
