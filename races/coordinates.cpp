#include "races/coordinates.h"

#include <GeographicLib/Geodesic.hpp>
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

Parsed parseDegreesOrText(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    const QString t = text.trimmed();
    if (decimal.match(t).hasMatch()) {
        Parsed p;
        p.ok = true;
        p.degrees = t.toDouble();
        return p;
    }
    Parsed p = parse(text);
    if (!p.ok && p.message.isEmpty())
        p.message = QStringLiteral("No coordinate in %1").arg(text);
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

QString methodName(DistanceMethod method)
{
    return method == DistanceMethod::Wgs84 ? QStringLiteral("WGS84 geodesic")
                                           : QStringLiteral("Club formula");
}

DistanceMethod methodFromStored(const QVariant &value)
{
    return !value.isNull() && value.toInt() == 1 ? DistanceMethod::Wgs84 : DistanceMethod::ClubFormula;
}

double metresBetween(double lat1, double lon1, double lat2, double lon2, DistanceMethod method)
{
    if (method == DistanceMethod::ClubFormula)
        return kilometres(lat1, lon1, lat2, lon2) * 1000.0;
    double s12 = 0;
    GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, s12);
    return s12;
}

Distance distance(const QString &liberLon, const QString &liberLat, const QString &loftLon,
                  const QString &loftLat, DistanceMethod method)
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
        // Latitudes (even places) beyond 90 degrees, longitudes beyond 180: no place on earth.
        if (std::abs(p.degrees) > (i % 2 == 0 ? 90.0 : 180.0)) {
            d.message = QStringLiteral("Coordinate out of range in %1").arg(*texts[i]);
            return d;
        }
        v[i] = p.degrees;
    }
    const double metres = metresBetween(v[0], v[1], v[2], v[3], method);
    // The ellipsoid has no answer for a latitude beyond a pole; such a loft gets 0 like any unreadable one.
    if (!std::isfinite(metres) || metres < 0 || metres > 1e8) {
        d.message = QStringLiteral("Latitude beyond 90 degrees in %1 or %2").arg(loftLat, liberLat);
        return d;
    }
    d.metres = static_cast<long long>(std::trunc(metres));
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
