#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlQuery;
class TdmORVS;

// The member line shared by the member list COTE.txt of the member page and the SMS member file
// of a race: LoftNo, LoftName, PhoneNo, longitude, latitude (compact), clock, AssociationCode,
// race code (empty on the member list), EMail.
namespace MemberLines {
// "E004'21:30.50" -> "E0042130.50": hemisphere and degrees, minutes, seconds, fraction.
// Empty for a coordinate that is empty or begins with a blank (none entered).
QString compactCoordinate(const QVariant &stored);

struct Loft
{
    QString loftNo, loftName, phoneNo, associationCode, email;
    QVariant loftLon, loftLat;
};
// ClockID of the loft's most recently synchronised clock; empty without one.
QString latestClock(TdmORVS &dm, const QString &loftNo);
QStringList fields(TdmORVS &dm, const Loft &loft, const QString &raceCode);
// The fields of the current row of a query selecting LoftNo, LoftName, PhoneNo, LoftLon, LoftLat,
// AssociationCode, EMail in that order.
QStringList fieldsOfRow(TdmORVS &dm, const QSqlQuery &q, const QString &raceCode);
} // namespace MemberLines
