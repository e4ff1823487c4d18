#pragma once

#include "season/prizes.h"
#include "season/standings.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// The season's three lists, defined once: their columns (field, title, alignment) and rows. The
// grids show `shown` texts (the user's locale), the CLI and the exports write `raw` values.
namespace SeasonLists {

struct Column
{
    QString field;  // heading of the comma-separated lines and the workbook
    QString title;  // heading on screen and in print
    bool number = false; // right aligned; raw value written as a number
};

struct Table
{
    QString title;
    std::vector<Column> columns;
    std::vector<QVariantList> raw;   // per row: QString or, for number columns, a number text
    std::vector<QStringList> shown;  // per row: display texts
};

Table prizeTable(const Season::PrizeList &pl, Season::Scheme scheme);
Table aceTable(const Standings::Result &r);
Table loftTable(const Standings::Result &r);

// The heading line of fields and one comma-separated line per row; a field holding a comma or a
// quote is quoted.
QStringList csvLines(const Table &t);

} // namespace SeasonLists
