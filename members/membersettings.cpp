#include "members/membersettings.h"

#include "store/orvsini.h"

MemberSettings MemberSettings::read(const QString &dataFolder, QString *error)
{
    const OrvsIni ini(dataFolder);
    const auto get = [&ini](const char *key, const QString &fallback) {
        const QString v = ini.value(QLatin1String(key));
        return v.isEmpty() ? fallback : v;
    };
    MemberSettings s;
    s.countryRingCodes = splitCountryCodes(get("CountryRingCode", {}));
    s.apn = get("APN", {});
    s.hostSms = get("HostSms", {});
    s.markedFlag = get("MarkedFlag", QStringLiteral("2"));
    s.setParams = get("SetParams", QStringLiteral("2"));
    const QString tz = get("TimeZone", QStringLiteral("0")).trimmed();
    bool ok = false;
    const int hours = tz.toInt(&ok);
    if (ok && hours >= -9 && hours <= 9) {
        s.timeZoneSeconds = hours * 3600;
    } else if (error) {
        *error = QStringLiteral("ORVS.ini: TimeZone '%1' is not a whole number of hours from -9 to 9; "
                                "the time zone 0 is used.")
                     .arg(tz);
    }
    return s;
}

QStringList MemberSettings::splitCountryCodes(const QString &text)
{
    QStringList pieces = text.split(QLatin1Char(','));
    for (QString &p : pieces)
        p = p.trimmed();
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    return pieces;
}

MemberSettings &MemberSettings::current()
{
    static MemberSettings s;
    return s;
}
