#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Every file the program writes goes through here: a temporary file beside the target renamed into
// place once complete, so a failed write never leaves a partial file or destroys the previous one.
namespace SaveFile {
// Writes `bytes` to `path`; false with the system's reason in *error.
bool write(const QString &path, const QByteArray &bytes, QString *error);
// The same for a writer that streams into the file: `fill` writes and returns false (with its reason
// in *error, or none to take the device's) when it cannot go on.
bool write(const QString &path, const std::function<bool(QIODevice &out, QString *error)> &fill,
           QString *error);
} // namespace SaveFile
