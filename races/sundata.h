#pragma once

#include <QString>
#include <vector>

class TdmORVS;
class OperationSink;

// The sunset and sunrise rows of a race's days, as the grid editor shows and saves them.
namespace SunData {

constexpr int MaxRows = 5;

struct GridRow
{
    QString date; // "yyyy-mm-dd" (a short date in the user's locale is also read)
    QString location;
    QString sunSet; // "hh:mm:ss" (or "hh:mm"); empty = none
    QString sunRise;
};

// The stored rows of a key in table order, as display texts (date in the user's locale).
std::vector<GridRow> load(TdmORVS &dm, const QString &key);

// Replaces the key's rows with those of the first MaxRows grid rows whose date is filled.
// A date or time that cannot be read stops the save with a failure: the rows inserted before it
// stay. Returns true when every row was stored.
bool save(TdmORVS &dm, const QString &key, const std::vector<GridRow> &rows, OperationSink &sink);

} // namespace SunData
