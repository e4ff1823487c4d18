#pragma once

#include <QString>

// Where the database, ORVS.udl and ORVS.ini live, and where backups go.
namespace DataFolder {
// --data DIR when given; else the executable's folder when writable; else the user's data folder.
// A program in a system folder (/usr/..., /bin) is never a portable install.
QString resolve(const QString &explicitDir);
QString resolve(const QString &explicitDir, const QString &programDir);
// The backup folder: the data folder's parent + "/Backup".
QString backupFolder(const QString &dataFolder);
} // namespace DataFolder
