#include "store/sorttext.h"

QString SortText::next(const QString &current, const QString &fieldName)
{
    if (!current.startsWith(fieldName) || current.contains(QLatin1String(" DESC")))
        return fieldName + QLatin1String(" ASC");
    return fieldName + QLatin1String(" DESC");
}

QString &SortText::programWide()
{
    static QString text;
    return text;
}

bool SortText::isDescending(const QString &sortText)
{
    return sortText.endsWith(QLatin1String(" DESC"));
}

QString SortText::field(const QString &sortText)
{
    return sortText.section(QLatin1Char(' '), 0, 0);
}
