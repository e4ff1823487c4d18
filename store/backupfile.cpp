#include "store/backupfile.h"

#include "store/faulthook.h"
#include "store/regularfile.h"
#include "store/sqlitehandle.h"
#include "store/tdmorvs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace BackupFile {

namespace {
void removeWithJournal(const QString &path)
{
    for (const QString &p : {path, path + QStringLiteral("-journal"), path + QStringLiteral("-wal"),
                             path + QStringLiteral("-shm")})
        if (QFileInfo::exists(p)) {
            FaultHook::step();
            QFile::remove(p);
        }
}
} // namespace

QString unfinishedPath(const QString &target)
{
    return target + QStringLiteral(".part");
}

bool writeUnfinished(TdmORVS &dm, const QString &target, QString *why)
{
    const QString path = QDir().absoluteFilePath(target);
    if (const QString r = RegularFile::refusal(path); !r.isEmpty()) {
        *why = r;
        return false;
    }
    if (!QFileInfo(QFileInfo(path).path()).isDir()) {
        *why = QStringLiteral("the folder %1 does not exist").arg(QDir::toNativeSeparators(QFileInfo(path).path()));
        return false;
    }
    sqlite3 *live = SqliteHandle::of(dm.adocORVS(), why);
    if (!live)
        return false;
    const QString part = unfinishedPath(path);
    removeWithJournal(part);
    sqlite3 *copy = SqliteHandle::open(part, false, why);
    if (!copy) {
        removeWithJournal(part);
        return false;
    }
    // A scratch file: should anything fail it is thrown away, so it needs no journal of its own.
    sqlite3_exec(copy, "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);
    bool ok = SqliteHandle::copy(live, copy, why);
    // A backup is one file on its own: the copy of a database kept with a write-ahead log would be
    // one too, but each reader would leave a -wal and -shm beside it.
    if (ok && sqlite3_exec(copy, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        *why = SqliteHandle::lastError(copy);
        ok = false;
    }
    SqliteHandle::close(copy);
    if (!ok)
        removeWithJournal(part);
    return ok;
}

bool write(TdmORVS &dm, const QString &target, QString *why)
{
    if (!writeUnfinished(dm, target, why))
        return false;
    const QString path = QDir().absoluteFilePath(target);
    if (replace(unfinishedPath(path), path, why))
        return true;
    removeWithJournal(unfinishedPath(path));
    return false;
}

bool replace(const QString &from, const QString &to, QString *why)
{
    if (FaultHook::step(FaultHook::Step::Write)) {
        *why = QString::fromLocal8Bit(std::strerror(ENOSPC));
        return false;
    }
#ifdef Q_OS_WIN
    const bool ok = MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                                reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        *why = QStringLiteral("cannot rename %1 to %2 (system error %3)")
                   .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to))
                   .arg(GetLastError());
    return ok;
#else
    // rename(2) replaces the target atomically: there is never an instant without a file there.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *why = QStringLiteral("cannot rename %1 to %2: %3")
               .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to),
                    QString::fromLocal8Bit(std::strerror(errno)));
    return false;
#endif
}

void removeUnfinished(const QString &folder)
{
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral("*.bak.part"), QStringLiteral("*.bak.part-journal"),
                       QStringLiteral("*.bak.part-wal"), QStringLiteral("*.bak.part-shm")},
                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        FaultHook::step();
        QFile::remove(dir.filePath(name));
    }
}

} // namespace BackupFile
