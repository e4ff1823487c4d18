#include "store/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString DataFolder::resolve(const QString &explicitDir)
{
    if (!explicitDir.isEmpty())
        return QDir(explicitDir).absolutePath();
    const QString exeDir = QCoreApplication::applicationDirPath();
    QFileInfo fi(exeDir);
    if (!exeDir.isEmpty() && fi.isDir() && fi.isWritable())
        return QDir(exeDir).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString DataFolder::backupFolder(const QString &dataFolder)
{
    return QDir::cleanPath(QDir(dataFolder).absoluteFilePath(QStringLiteral("../Backup")));
}
