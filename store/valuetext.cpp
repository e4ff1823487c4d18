#include "store/valuetext.h"

#include "store/dateform.h"

#include <QLocale>

namespace ValueText {

QString dateTime(const QDateTime &t)
{
    if (!t.isValid())
        return {};
    return t.toString(t.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                      : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString dateTimeMs(const QDateTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) : QString();
}

QString date(const QDate &d)
{
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString time(const QTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("HH:mm:ss")) : QString();
}

QDateTime parseDateTime(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().startOfDay();
    QString s = v.toString().trimmed();
    if (s.isEmpty())
        return {};
    s.replace(QLatin1Char('T'), QLatin1Char(' '));
    static const char *const forms[] = {"yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm",
                                        "yyyy-MM-dd"};
    for (const char *f : forms) {
        QDateTime t = QDateTime::fromString(s, QLatin1String(f));
        if (t.isValid())
            return t;
    }
    // Milliseconds with fewer than three digits ("…:05.5").
    const int dot = s.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        QDateTime t = QDateTime::fromString(s.left(dot), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        bool ok = false;
        const QString frac = s.mid(dot + 1);
        const int ms = (frac + QStringLiteral("000")).left(3).toInt(&ok);
        if (t.isValid() && ok && !frac.isEmpty())
            return t.addMSecs(ms);
    }
    return {};
}

QDate parseDate(const QVariant &v)
{
    return parseDateTime(v).date();
}

QTime parseTime(const QVariant &v)
{
    if (v.isNull())
        return {};
    const QString s = v.toString().trimmed();
    for (const char *f : {"HH:mm:ss.zzz", "HH:mm:ss", "H:mm:ss", "HH:mm"}) {
        QTime t = QTime::fromString(s, QLatin1String(f));
        if (t.isValid())
            return t;
    }
    const QDateTime dt = parseDateTime(v);
    return dt.isValid() ? dt.time() : QTime();
}

bool toBool(const QVariant &v)
{
    if (v.isNull())
        return false;
    const QString s = v.toString().trimmed();
    if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return v.toLongLong() != 0;
}

QString shortDate(const QVariant &stored)
{
    // in the form of the date boxes
    return DateForm::text(parseDate(stored));
}

QString shortDateTime(const QVariant &stored)
{
    const QDateTime t = parseDateTime(stored);
    if (!t.isValid())
        return {};
    const QLocale loc = QLocale::system();
    return DateForm::text(t.date()) + QLatin1Char(' ') +
           loc.toString(t.time(), QLocale::LongFormat).section(QLatin1Char(' '), 0, 0);
}

QString longTime(const QVariant &stored)
{
    const QTime t = parseTime(stored);
    return t.isValid() ? t.toString(QStringLiteral("HH:mm:ss")) : QString();
}

QString groupedInteger(const QVariant &v)
{
    if (v.isNull() || v.toString().isEmpty())
        return {};
    return QLocale::system().toString(v.toLongLong());
}

QString count3(int n)
{
    return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

} // namespace ValueText
