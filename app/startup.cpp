#include "app/startup.h"

#include "store/backupfile.h"
#include "store/datafolder.h"
#include "store/faulthook.h"
#include "store/sqlitehandle.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

namespace {
const QString CurrentName = QStringLiteral("Pennavox_Europe.bak");

QString archiveIn(const QString &folder, const QDate &backupDate)
{
    return folder + QStringLiteral("/Pennavox_Europe_%1.bak").arg(backupDate.toString(QStringLiteral("yyyyMMdd")));
}

// The club a backup file holds: its ClubID, empty when it holds no club record; null when the file
// is no database we can read.
QString clubOfFile(const QString &path)
{
    QString why;
    // Opened for writing although only read: a last connection tidies a -wal and -shm away.
    sqlite3 *db = SqliteHandle::open(path, false, &why);
    if (!db)
        return {};
    QString club;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT ClubID FROM ORV_ClubData LIMIT 1", -1, &st, nullptr) == SQLITE_OK) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW || rc == SQLITE_DONE) {
            const auto *t = rc == SQLITE_ROW ? sqlite3_column_text(st, 0) : nullptr;
            club = t ? QString::fromUtf8(reinterpret_cast<const char *>(t)) : QStringLiteral("");
        }
    }
    sqlite3_finalize(st);
    SqliteHandle::close(db);
    return club;
}

// A club identifier as a folder name on every platform.
QString folderNameOf(const QString &clubId)
{
    QString name;
    for (const QChar c : clubId.trimmed())
        name += c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') ? c : QLatin1Char('_');
    return name.isEmpty() ? QStringLiteral("club") : name;
}
} // namespace

QString backupFolderFor(TdmORVS &dm)
{
    const QString shared = DataFolder::backupFolder(dm.dataFolder());
    const QVariant id = dm.scalar(QStringLiteral("SELECT ClubID FROM ORV_ClubData LIMIT 1"));
    const QString club = id.toString();
    if (club.isEmpty())
        return shared;
    const QString own = shared + QLatin1Char('/') + folderNameOf(club);
    if (QFileInfo::exists(own + QLatin1Char('/') + CurrentName))
        return own;
    const QString there = shared + QLatin1Char('/') + CurrentName;
    if (!QFileInfo::exists(there))
        return shared;
    // Data folders side by side share one backup folder: another club's backup is never replaced.
    const QString owner = clubOfFile(there);
    if (owner.isNull() || (!owner.isEmpty() && owner != club))
        return own;
    return shared;
}

bool copyDatabase(TdmORVS &dm, const QString &target, QString *error)
{
    QString why;
    if (BackupFile::write(dm, target, &why))
        return true;
    if (error)
        *error = why;
    return false;
}

BackupResult automaticBackup(TdmORVS &dm, int backupDays, const QDate &today)
{
    BackupResult r;
    const QString folder = backupFolderFor(dm);
    const QString current = folder + QLatin1Char('/') + CurrentName;
    QString error;
    const auto failed = [&](const QString &why) {
        r.outcome = BackupResult::Failed;
        r.error = why;
        return r;
    };
    if (QFileInfo(folder).isDir())
        BackupFile::removeUnfinished(folder); // of a backup killed before it was complete
    if (!QFileInfo::exists(current)) {
        if (!QFileInfo(folder).isDir()) {
            FaultHook::step();
            if (!QDir().mkpath(folder))
                return failed(QStringLiteral("cannot create the backup folder %1").arg(QDir::toNativeSeparators(folder)));
        }
        if (!copyDatabase(dm, current, &error))
            return failed(error);
        r.outcome = BackupResult::Created;
        return r;
    }
    const QDate fileDate = QFileInfo(current).lastModified().date();
    const QString due = today.addDays(-backupDays).toString(QStringLiteral("yyyyMMdd"));
    if (due < fileDate.toString(QStringLiteral("yyyyMMdd")))
        return r; // not yet backupDays old
    // The new copy is complete before the old one becomes the archive; each is one rename, so the
    // old backup is at every instant under one of its two names.
    if (!BackupFile::writeUnfinished(dm, current, &error))
        return failed(error);
    const QString archive = archiveIn(folder, fileDate);
    if (!BackupFile::replace(current, archive, &error) ||
        !BackupFile::replace(BackupFile::unfinishedPath(current), current, &error)) {
        QFile::remove(BackupFile::unfinishedPath(current));
        return failed(error);
    }
    r.outcome = BackupResult::Renewed;
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
