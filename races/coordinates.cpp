#include "races/coordinates.h"

#include <QRegularExpression>
#include <cmath>

namespace Coordinates {

namespace {
const QChar Degree(0x00B0);
const QChar Acute(0x00B4);

bool endsFirstField(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\'') || c == QLatin1Char(',') ||
           c == QLatin1Char(':') || c == Degree;
}

bool endsLaterField(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\'') || c == QLatin1Char(',') ||
           c == QLatin1Char(':') || c == Acute;
}

bool skipped(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char(':') || c == Degree ||
           c == Acute;
}

bool readNumber(const QString &field, double *out)
{
    static const QRegularExpression number(QStringLiteral("^ *[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!number.match(field).hasMatch())
        return false;
    *out = field.trimmed().toDouble();
    return true;
}
} // namespace

bool isBlank(const QString &text)
{
    return text.isEmpty() || text.at(0) == QLatin1Char(' ');
}

Parsed parse(const QString &text)
{
    Parsed p;
    QString s = text.trimmed();
    if (s.isEmpty() || s.mid(1, 3) == QLatin1String("000"))
        return p;

    double sign = 1;
    const auto isMark = [](QChar c) { return QStringLiteral("-ENSW").contains(c.toUpper()); };
    int markAt = -1;
    if (isMark(s.front()))
        markAt = 0;
    else if (isMark(s.back()))
        markAt = static_cast<int>(s.size()) - 1;
    if (markAt >= 0) {
        const QChar m = s.at(markAt).toUpper();
        if (m == QLatin1Char('-') || m == QLatin1Char('S') || m == QLatin1Char('W'))
            sign = -1;
        s.remove(markAt, 1);
    }
    s += QLatin1Char(',');

    QStringList fields;
    int i = 0;
    const int n = static_cast<int>(s.size());
    while (i < n && fields.size() < 3) {
        const bool first = fields.isEmpty();
        int j = i;
        while (j < n && !(first ? endsFirstField(s.at(j)) : endsLaterField(s.at(j))))
            ++j;
        fields << s.mid(i, j - i);
        i = j + 1; // the character that ended the field
        while (i < n && skipped(s.at(i)))
            ++i;
    }
    static const char *const names[] = {"degrees", "minutes", "seconds"};
    static const char *const defaults[] = {"0", "0", "0.0"};
    double value[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        const QString f = k < fields.size() ? fields.at(k) : QLatin1String(defaults[k]);
        if (!readNumber(f, &value[k])) {
            p.message = QStringLiteral("Invalid character in %1 field in string %2")
                            .arg(QLatin1String(names[k]), text);
            return p;
        }
    }
    p.ok = true;
    p.degrees = (value[0] + value[1] / 60.0 + value[2] / 3600.0) * sign;
    return p;
}

double kilometres(double loftLat, double loftLon, double pointLat, double pointLon)
{
    const double k = 0.017453292522222223;
    const double a = (loftLat - pointLat) * 110.9481458;
    const double b = (std::cos(loftLat * k) * 111.3200144 + std::cos(pointLat * k) * 111.3200144) *
                     (loftLon - pointLon) / 2.0;
    return std::pow(a * a + b * b, 0.5);
}

Distance distance(const QString &liberLon, const QString &liberLat, const QString &loftLon,
                  const QString &loftLat)
{
    Distance d;
    if (isBlank(loftLon))
        return d;
    double v[4];
    const QString *texts[4] = {&loftLat, &loftLon, &liberLat, &liberLon};
    for (int i = 0; i < 4; ++i) {
        const Parsed p = parse(*texts[i]);
        if (!p.ok) {
            d.message = p.message;
            return d;
        }
        v[i] = p.degrees;
    }
    d.metres = static_cast<long long>(std::trunc(kilometres(v[0], v[1], v[2], v[3]) * 1000.0));
    return d;
}

Stored toStored(long long metres, int mode)
{
    if (mode == 0)
        return {metres / 1000, metres % 1000};
    const long long y = static_cast<long long>(std::trunc(static_cast<double>(metres) * 1.093613));
    return {y / 1760, y % 1760};
}

} // namespace Coordinates
