#include "store/coordinatemask.h"

namespace CoordinateMask {

QString hemispheres(bool longitude)
{
    return longitude ? QStringLiteral("EW") : QStringLiteral("NS");
}

QString exitCheck(const QString &text, bool longitude)
{
    const QString t = text.leftJustified(13, QLatin1Char(' '));
    if (t.mid(1, 3) == QLatin1String("   "))
        return {};
    const QString field = longitude ? QStringLiteral("Longitude") : QStringLiteral("Latitude");
    const QString allowed = hemispheres(longitude);
    if (!allowed.contains(t.at(0).toUpper()))
        return QStringLiteral("%1: the hemisphere is %2 or %3, not \"%4\"")
            .arg(field, allowed.at(0), allowed.at(1), t.at(0));
    bool okMin = false, okSec = false;
    const QString minText = t.mid(5, 2), secText = t.mid(8, 2);
    const int minutes = minText.toInt(&okMin);
    const int seconds = secText.toInt(&okSec);
    // toInt accepts " 5"; a blank inside the field is a typing slip, as in "5 ".
    if (!okMin || minText.contains(QLatin1Char(' ')))
        return QStringLiteral("%1 minutes: '%2' is not a valid integer value").arg(field, minText);
    if (!okSec || secText.contains(QLatin1Char(' ')))
        return QStringLiteral("%1 seconds: '%2' is not a valid integer value").arg(field, secText);
    if (minutes >= 60 || seconds >= 60)
        return longitude ? QStringLiteral("Longitude Input Value > 60 !")
                         : QStringLiteral("Latitude Input Value  > 60 !");
    return {};
}

} // namespace CoordinateMask
