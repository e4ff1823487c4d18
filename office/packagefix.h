#pragma once

#include <QString>

// Some writers (openpyxl, streaming writers) keep texts in the cells ("inline strings") and name
// package parts by absolute paths; the reading library knows neither. This writes a copy of such
// a workbook with the texts moved into the shared string table and the paths made relative.
namespace PackageFix {
// *changed false: nothing needed fixing, `copyPath` is not written. False with *error on failure.
bool normalise(const QString &path, const QString &copyPath, bool *changed, QString *error);
} // namespace PackageFix
