#pragma once

#include <QDate>
#include <QString>

class TdmORVS;

// The automatic backup taken when the main window is shown, and the purge run at close.
namespace Startup {

struct BackupResult
{
    enum Outcome { Created, Renewed, NotDue, Failed } outcome = NotDue;
    QString error; // why, when Failed
};

QString currentBackupPath(const QString &dataFolder);
QString archivedBackupPath(const QString &dataFolder, const QDate &backupDate);

// Where this club's automatic backups go: the shared backup folder beside the data folder, or its
// subfolder named by the club when the shared folder's backup belongs to another club.
QString backupFolderFor(TdmORVS &dm);

// A consistent copy of the live database through SQLite's online backup.
bool copyDatabase(TdmORVS &dm, const QString &target, QString *error);

// Creates the first backup, or archives and renews it once it is backupDays old.
BackupResult automaticBackup(TdmORVS &dm, int backupDays, const QDate &today);

// Removes deleted races and sun rows 7 days past, per-pigeon and per-loft race data 60 days past.
void purgeOldRaceData(TdmORVS &dm, const QDate &today);

} // namespace Startup
