#pragma once

#include <QString>
#include <QStringList>

namespace FileName {
// A file name proposed for what is saved: the parts joined by spaces, without the characters a
// file system refuses ("Result 10011209 Quievrain").
QString of(const QStringList &parts);
// `path` with the extension of `filter` ("Excel File (*.xlsx)") added when it has none and the
// filter names exactly one.
QString withExtension(const QString &path, const QString &filter);
} // namespace FileName
