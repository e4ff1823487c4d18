#include "store/dateform.h"

#include <QDate>
#include <QRegularExpression>

namespace DateForm {

QString of(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral("yyyy-MM-dd");
    // The locale's order and separators, in digits only: a month name or a weekday cannot be
    // typed section by section, and a four-digit year leaves no century to guess.
    QString f = locale.dateFormat(QLocale::ShortFormat);
    f.remove(QRegularExpression(QStringLiteral("d{3,4}[,.]?\\s*")));
    f.replace(QRegularExpression(QStringLiteral("M{3,4}")), QStringLiteral("MM"));
    f.replace(QRegularExpression(QStringLiteral("(?<!y)y{1,2}(?!y)")), QStringLiteral("yyyy"));
    f = f.trimmed();
    return f.isEmpty() ? QStringLiteral("yyyy-MM-dd") : f;
}

QString text(const QDate &d)
{
    return d.isValid() ? d.toString(of(QLocale::system())) : QString();
}

} // namespace DateForm
