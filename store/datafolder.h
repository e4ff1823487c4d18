#pragma once

#include <QString>

// Where the database, ORVS.udl and ORVS.ini live, and where backups go.
namespace DataFolder {
// --data DIR when given; else the executable's folder when writable; else the user's data folder.
QString resolve(const QString &explicitDir);
// The backup folder: the data folder's parent + "/Backup".
QString backupFolder(const QString &dataFolder);
} // namespace DataFolder
