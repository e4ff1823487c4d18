#include "store/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString DataFolder::resolve(const QString &explicitDir)
{
    return resolve(explicitDir, QCoreApplication::applicationDirPath());
}

QString DataFolder::resolve(const QString &explicitDir, const QString &programDir)
{
    if (!explicitDir.isEmpty())
        return QDir(explicitDir).absolutePath();
    const QString dir = QDir::cleanPath(programDir);
    // A packaged program lives among the system's programs; even where root may write there, the
    // club's database does not belong beside them.
    const bool systemFolder = dir == QLatin1String("/bin") || dir == QLatin1String("/sbin") ||
                              dir.startsWith(QLatin1String("/usr/"));
    QFileInfo fi(dir);
    if (!dir.isEmpty() && !systemFolder && fi.isDir() && fi.isWritable())
        return QDir(dir).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString DataFolder::backupFolder(const QString &dataFolder)
{
    return QDir::cleanPath(QDir(dataFolder).absoluteFilePath(QStringLiteral("../Backup")));
}
