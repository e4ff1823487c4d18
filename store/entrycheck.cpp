#include "store/entrycheck.h"

#include "store/schema.h"

namespace EntryCheck {

int columnSize(const QString &table, const QString &column)
{
    return ::columnSize(table, column);
}

QString textOfSize(const QString &field, const QString &value, int size, Options options)
{
    if (value.size() > size)
        return QStringLiteral("%1: at most %2 characters.").arg(field).arg(size);
    const bool multiLine = options & MultiLine;
    for (const QChar c : value) {
        if (multiLine && (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')))
            continue;
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return QStringLiteral("%1: control characters (line breaks, tabs) are not allowed.").arg(field);
    }
    if ((options & NoComma) && value.contains(QLatin1Char(',')))
        return QStringLiteral("%1: a comma cannot be used (the exchange files are comma-separated).").arg(field);
    return {};
}

QString text(const QString &field, const QString &value, const QString &table, const QString &column,
             Options options)
{
    return textOfSize(field, value, EntryCheck::columnSize(table, column), options);
}

QString number(const QString &field, const QString &value, qint64 min, qint64 max, bool allowEmpty)
{
    const QString t = value.trimmed();
    if (t.isEmpty())
        return allowEmpty ? QString() : QStringLiteral("%1: a number is needed.").arg(field);
    bool ok = false;
    const qint64 n = t.size() <= 19 ? t.toLongLong(&ok) : 0;
    if (!ok)
        return QStringLiteral("%1: a whole number from %2 to %3.").arg(field).arg(min).arg(max);
    return range(field, n, min, max);
}

QString range(const QString &field, qint64 value, qint64 min, qint64 max)
{
    if (value < min || value > max)
        return QStringLiteral("%1: a whole number from %2 to %3.").arg(field).arg(min).arg(max);
    return {};
}

QString date(const QString &field, const QDate &value)
{
    if (!value.isValid() || value < FirstDate || value > LastDate)
        return QStringLiteral("%1: a date from %2 to %3.")
            .arg(field, FirstDate.toString(Qt::ISODate), LastDate.toString(Qt::ISODate));
    return {};
}

QString first(std::initializer_list<QString> problems)
{
    for (const QString &p : problems)
        if (!p.isEmpty())
            return p;
    return {};
}

} // namespace EntryCheck
