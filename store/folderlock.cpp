#include "store/folderlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLockFile>
#include <QMutex>
#include <QSysInfo>

namespace {
QMutex registryMutex;
QHash<QString, std::weak_ptr<FolderLock>> &registry()
{
    static QHash<QString, std::weak_ptr<FolderLock>> locks;
    return locks;
}

QString lockPath(const QString &folder)
{
    return QDir(folder).absoluteFilePath(QLatin1String(FolderLock::FileName));
}

QString describeHolder(const QLockFile &lock)
{
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app))
        return QStringLiteral("another program");
    QString who = QStringLiteral("%1 (process %2").arg(app.isEmpty() ? QStringLiteral("another program") : app).arg(pid);
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        who += QStringLiteral(" on computer %1").arg(host);
    return who + QLatin1Char(')');
}
} // namespace

struct FolderLock::Private
{
    QString folder;
    QLockFile file;
    explicit Private(const QString &f) : folder(f), file(lockPath(f)) {}
};

FolderLock::FolderLock(std::unique_ptr<Private> d) : d_(std::move(d)) {}

FolderLock::~FolderLock()
{
    d_->file.unlock();
}

std::shared_ptr<FolderLock> FolderLock::acquire(const QString &folder, QString *why)
{
    const QString key = QDir(folder).absolutePath();
    QMutexLocker guard(&registryMutex);
    if (auto held = registry().value(key).lock())
        return held;
    auto d = std::make_unique<Private>(key);
    // A lock is stale only when its process is gone (a program killed or cut off), never by age.
    d->file.setStaleLockTime(0);
    if (!d->file.tryLock(0)) {
        if (why)
            *why = d->file.error() == QLockFile::LockFailedError
                       ? describeHolder(d->file)
                       : QStringLiteral("the lock file %1 cannot be written")
                             .arg(QDir::toNativeSeparators(lockPath(key)));
        return nullptr;
    }
    std::shared_ptr<FolderLock> lock(new FolderLock(std::move(d)));
    registry().insert(key, lock);
    return lock;
}
