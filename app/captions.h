#pragma once

#include <QString>
#include <vector>

class QObject;
class TdmORVS;

// The translation of captions from the caption table: which kind of control a row names, and the
// rows to apply for one page, each with its running position.
namespace Captions {

enum class Kind { None, ToolBar, Grid, PopupMenu, PageControl, RadioGroup, Label, Button, GroupBox, CheckBox,
                  ReportLabel };

// Kind from the first two characters of the control name (case matters).
Kind kindOf(const QString &objectCode);
// The language name for the club's Language value; empty for English and unknown values.
QString languageName(int language);

struct Row
{
    QString objectCode;
    QString caption;
    Kind kind;
    int position; // 0 for a control's first row, then 1, 2 …
};

// Rows of the caption table for a page in the given language, in objectCode/property order.
// A missing or empty table gives no rows.
std::vector<Row> rowsFor(TdmORVS &dm, const QString &formName, int language);

// Marks a control whose text is a value rather than a caption (a version number, a unit title that
// follows the club's settings): no caption row applies to it and caption files leave it out.
void markFixed(QObject *control);
bool isFixed(const QObject *control);
// A unit title ("MPM", "Miles" …) that a list sets from the club's unit: a caption row never
// replaces it (the row still counts for the grid column's position).
bool isUnitTitle(const QString &text);

} // namespace Captions
