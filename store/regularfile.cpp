#include "store/regularfile.h"

#include <QDir>
#include <QFileInfo>

QString RegularFile::refusal(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.exists() || fi.isFile())
        return {};
    const QString name = QDir::toNativeSeparators(path);
    if (fi.isDir())
        return QStringLiteral("%1 is a folder, not a file").arg(name);
    return QStringLiteral("%1 is not a regular file (a named pipe, a device or a socket)").arg(name);
}
