#pragma once

#include <QString>
#include <QStringList>

// The member page's settings from ORVS.ini, section "Parameter". They are read again every time
// the page is shown and stay in force for the ring entry and the loft download until then.
struct MemberSettings
{
    QStringList countryRingCodes; // "CountryRingCode"
    QString apn;                  // "APN"
    QString hostSms;              // "HostSms"
    int timeZoneSeconds = 0;      // "TimeZone" in whole hours, × 3600
    QString markedFlag = QStringLiteral("2"); // "MarkedFlag", sent as pi0
    QString setParams = QStringLiteral("2");  // "SetParams", sent as userMode

    // Reads the file. A "TimeZone" that is not a whole number of hours in −9…+9 (the clock keeps
    // the seconds in 16 bits) leaves the time zone 0 and sets *error to the message to show.
    static MemberSettings read(const QString &dataFolder, QString *error = nullptr);
    // The country box's items: pieces between "," trimmed; an empty last piece is dropped.
    static QStringList splitCountryCodes(const QString &text);

    // The values last read, for the whole program run.
    static MemberSettings &current();
};
