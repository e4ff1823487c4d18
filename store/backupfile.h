#pragma once

#include <QString>

class TdmORVS;

// Copies of the live club database: a backup file is written beside its final name and takes
// that name in one rename, so a kill or a full disk leaves the previous file as it was.
namespace BackupFile {

// A consistent copy of the database (SQLite's online backup) at target. False with why.
bool write(TdmORVS &dm, const QString &target, QString *why);

// The same copy, left complete under unfinishedPath(target) for the caller to rename.
bool writeUnfinished(TdmORVS &dm, const QString &target, QString *why);

// Puts `from` in place of `to` in one step, replacing a file of that name. False with why.
bool replace(const QString &from, const QString &to, QString *why);

// The unfinished copy a backup to target writes first.
QString unfinishedPath(const QString &target);

// Removes the unfinished copies killed backups left in folder (only our own "*.bak.part" files).
void removeUnfinished(const QString &folder);

} // namespace BackupFile
