#include "store/filename.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace FileName {

QString of(const QStringList &parts)
{
    QStringList kept;
    for (const QString &p : parts) {
        QString t = p;
        for (const QChar c : QStringLiteral("/\\:*?\"<>|"))
            t.replace(c, QLatin1Char('-'));
        t = t.simplified();
        if (!t.isEmpty())
            kept << t;
    }
    return kept.join(QLatin1Char(' '));
}

QString withExtension(const QString &path, const QString &filter)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    // The patterns in the filter's first brackets: "*.xlsx", "DISTANCES.txt".
    static const QRegularExpression brackets(QStringLiteral("\\(([^)]*)\\)"));
    const QRegularExpressionMatch m = brackets.match(filter);
    if (!m.hasMatch())
        return path;
    QSet<QString> suffixes;
    for (const QString &pattern : m.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
        const QString suffix = dot < 0 ? QString() : pattern.mid(dot + 1);
        if (suffix.isEmpty() || suffix.contains(QLatin1Char('*')))
            return path;
        suffixes.insert(suffix);
    }
    return suffixes.size() == 1 ? path + QLatin1Char('.') + *suffixes.begin() : path;
}

} // namespace FileName
