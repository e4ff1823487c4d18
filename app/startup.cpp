#include "app/startup.h"

#include "store/datafolder.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <sqlite3.h>

namespace Startup {

QString currentBackupPath(const QString &dataFolder)
{
    return DataFolder::backupFolder(dataFolder) + QStringLiteral("/Pennavox_Europe.bak");
}

QString archivedBackupPath(const QString &dataFolder, const QDate &backupDate)
{
    return DataFolder::backupFolder(dataFolder) +
           QStringLiteral("/Pennavox_Europe_%1.bak").arg(backupDate.toString(QStringLiteral("yyyyMMdd")));
}

bool copyDatabase(TdmORVS &dm, const QString &target, QString *error)
{
    QVariant handle = dm.adocORVS().driver()->handle();
    auto *source = handle.isValid() ? *static_cast<sqlite3 *const *>(handle.data()) : nullptr;
    if (!source) {
        if (error)
            *error = QStringLiteral("no database handle");
        return false;
    }
    const QString temp = target + QStringLiteral(".part");
    QFile::remove(temp);
    sqlite3 *dest = nullptr;
    int rc = sqlite3_open(QFile::encodeName(temp).constData(), &dest);
    if (rc == SQLITE_OK) {
        sqlite3_backup *b = sqlite3_backup_init(dest, "main", source, "main");
        if (b) {
            rc = sqlite3_backup_step(b, -1);
            sqlite3_backup_finish(b);
            if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
        } else {
            rc = sqlite3_errcode(dest);
        }
    }
    const QString why = dest ? QString::fromUtf8(sqlite3_errmsg(dest)) : QStringLiteral("cannot open");
    sqlite3_close(dest);
    if (rc != SQLITE_OK) {
        QFile::remove(temp);
        if (error)
            *error = why;
        return false;
    }
    QFile::remove(target);
    if (!QFile::rename(temp, target)) {
        QFile::remove(temp);
        if (error)
            *error = QStringLiteral("cannot write %1").arg(target);
        return false;
    }
    return true;
}

BackupResult automaticBackup(TdmORVS &dm, int backupDays, const QDate &today)
{
    BackupResult r;
    const QString folder = dm.dataFolder();
    const QString current = currentBackupPath(folder);
    QString error;
    if (!QFileInfo::exists(current)) {
        QDir().mkpath(DataFolder::backupFolder(folder));
        if (copyDatabase(dm, current, &error)) {
            r.outcome = BackupResult::Created;
        } else {
            r.outcome = BackupResult::Failed;
            r.error = error;
        }
        return r;
    }
    const QDate fileDate = QFileInfo(current).lastModified().date();
    const QString due = today.addDays(-backupDays).toString(QStringLiteral("yyyyMMdd"));
    if (due < fileDate.toString(QStringLiteral("yyyyMMdd")))
        return r; // not yet backupDays old
    const QString archive = archivedBackupPath(folder, fileDate);
    QFile::remove(archive);
    if (!QFile::copy(current, archive)) {
        r.outcome = BackupResult::Failed;
        r.error = QStringLiteral("cannot archive the backup to %1").arg(archive);
        return r;
    }
    // The copy goes to a temporary file first, so the old backup only goes once a new one exists.
    if (copyDatabase(dm, current, &error)) {
        r.outcome = BackupResult::Renewed;
    } else {
        r.outcome = BackupResult::Failed;
        r.error = error;
    }
    return r;
}

void purgeOldRaceData(TdmORVS &dm, const QDate &today)
{
    const QString cut7 = ValueText::date(today.addDays(-7));
    const QString cut60 = ValueText::date(today.addDays(-60));
    dm.exec(QStringLiteral("DELETE FROM ORV_RaceData WHERE DeleteMark<>0 AND date(LiberDate)<=date(?)"), {cut7});
    dm.exec(QStringLiteral("DELETE FROM ORV_SunSet_SunRise WHERE date(RaceDate)<=date(?)"), {cut7});
    // A race counted in a championship keeps its results for the whole season.
    dm.exec(QStringLiteral("DELETE FROM ORV_PigRaceData WHERE date(LiberDate)<=date(?) "
                           "AND RaceCode NOT IN (SELECT RaceCode FROM PNX_ChampionshipRace)"),
            {cut60});
    dm.exec(QStringLiteral("DELETE FROM ORV_RaceClockTime WHERE date(LiberDate)<=date(?) "
                           "AND RaceCode NOT IN (SELECT RaceCode FROM PNX_ChampionshipRace)"),
            {cut60});
}

} // namespace Startup
