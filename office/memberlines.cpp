#include "office/memberlines.h"

#include "store/tdmorvs.h"

#include <QSqlQuery>

QString MemberLines::compactCoordinate(const QVariant &stored)
{
    const QString s = stored.toString();
    if (s.isEmpty() || s.startsWith(QLatin1Char(' ')))
        return {};
    return s.mid(0, 4) + s.mid(5, 2) + s.mid(8, 2) + s.mid(10, 4);
}

QString MemberLines::latestClock(TdmORVS &dm, const QString &loftNo)
{
    return dm
        .scalar(QStringLiteral("SELECT ClockID FROM ORV_LoftClocks WHERE LoftNo=? "
                               "ORDER BY LastSynchDate DESC LIMIT 1"),
                {loftNo})
        .toString();
}

QStringList MemberLines::fields(TdmORVS &dm, const Loft &loft, const QString &raceCode)
{
    return QStringList{loft.loftNo,
                       loft.loftName,
                       loft.phoneNo,
                       compactCoordinate(loft.loftLon),
                       compactCoordinate(loft.loftLat),
                       latestClock(dm, loft.loftNo),
                       loft.associationCode,
                       raceCode,
                       loft.email};
}

QStringList MemberLines::fieldsOfRow(TdmORVS &dm, const QSqlQuery &q, const QString &raceCode)
{
    Loft l;
    l.loftNo = q.value(0).toString();
    l.loftName = q.value(1).toString();
    l.phoneNo = q.value(2).toString();
    l.loftLon = q.value(3);
    l.loftLat = q.value(4);
    l.associationCode = q.value(5).toString();
    l.email = q.value(6).toString();
    return fields(dm, l, raceCode);
}
