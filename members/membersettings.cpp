#include "members/membersettings.h"

#include "store/entrycheck.h"
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
    QStringList problems;
    // Both go to the clock as numbers ("pi0:#2"): anything else would break the field list.
    const auto flag = [&](const char *key) {
        const QString v = get(key, QStringLiteral("2")).trimmed();
        if (EntryCheck::number(QLatin1String(key), v, 0, 255).isEmpty())
            return v;
        problems << QStringLiteral("ORVS.ini: %1 '%2' is not a whole number from 0 to 255; 2 is used.")
                        .arg(QLatin1String(key), v);
        return QStringLiteral("2");
    };
    s.markedFlag = flag("MarkedFlag");
    s.setParams = flag("SetParams");
    const QString tz = get("TimeZone", QStringLiteral("0")).trimmed();
    bool ok = false;
    const int hours = tz.toInt(&ok);
    if (ok && hours >= -9 && hours <= 9) {
        s.timeZoneSeconds = hours * 3600;
    } else {
        problems << QStringLiteral("ORVS.ini: TimeZone '%1' is not a whole number of hours from -9 to 9; "
                                   "the time zone 0 is used.")
                        .arg(tz);
    }
    if (error && !problems.isEmpty())
        *error = problems.join(QLatin1Char('\n'));
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
