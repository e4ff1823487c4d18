#pragma once

#include "store/recordtable.h"

#include <QStringList>

// What a list shows, as a test compares it.
namespace ListText {
inline QStringList titles(const RecordTable &t)
{
    QStringList out;
    for (int c = 0; c < t.columnCount(); ++c)
        out << t.headerData(c, Qt::Horizontal).toString();
    return out;
}

inline QStringList column(const RecordTable &t, int c)
{
    QStringList out;
    for (int r = 0; r < t.rowCount(); ++r)
        out << t.displayText(r, c);
    return out;
}
} // namespace ListText
