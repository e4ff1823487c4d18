#pragma once

#include <QByteArray>
#include <QString>

// Every file the program writes goes through here: a temporary file beside the target renamed into
// place once complete, so a failed write never leaves a partial file or destroys the previous one.
namespace SaveFile {
// Writes `bytes` to `path`; false with the system's reason in *error.
bool write(const QString &path, const QByteArray &bytes, QString *error);
} // namespace SaveFile
