#pragma once

#include <QString>

// The title-click sort rule shared by the program's grids.
namespace SortText {
// First click on a field sorts ascending, the next on the same field descending, and so on.
QString next(const QString &current, const QString &field);
// The program-wide sort text: it outlives the pages that set it.
QString &programWide();
bool isDescending(const QString &sortText);
QString field(const QString &sortText);
} // namespace SortText
