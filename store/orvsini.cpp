#include "store/orvsini.h"

#include <QDir>
#include <QSettings>

OrvsIni::OrvsIni(const QString &dataFolder) : path_(QDir(dataFolder).filePath(QStringLiteral("ORVS.ini"))) {}

QString OrvsIni::value(const QString &key, const QString &fallback) const
{
    QSettings s(path_, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Parameter"));
    const QVariant v = s.value(key);
    // QSettings turns "a,b" into a list; the file's values are plain text.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.isValid() ? v.toString() : fallback;
}

bool OrvsIni::contains(const QString &key) const
{
    QSettings s(path_, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Parameter"));
    return s.contains(key);
}
