#pragma once

#include "store/tdmorvs.h"

#include <QString>

// Rows the race tests need, inserted directly.
namespace RaceFixture {

inline void loft(TdmORVS &dm, const QString &loftNo, const QString &name, const QVariant &lon = {},
                 const QVariant &lat = {})
{
    dm.exec(QStringLiteral("INSERT INTO ORV_LoftData (LoftNo, LoftName, LoftLon, LoftLat) VALUES (?,?,?,?)"),
            {loftNo, name, lon.isValid() ? lon : QVariant(QMetaType::fromType<QString>()),
             lat.isValid() ? lat : QVariant(QMetaType::fromType<QString>())});
}

inline void pigeon(TdmORVS &dm, const QString &loftNo, const QString &ring,
                   const QString &sex = QStringLiteral("C"), int deleted = 0)
{
    dm.exec(QStringLiteral(
                "INSERT INTO ORV_PigData (LoftNo, PRingNo, Sex, ColorType, DeleteMark) VALUES (?,?,?,?,?)"),
            {loftNo, ring, sex, QStringLiteral("BB"), deleted});
}

inline void distance(TdmORVS &dm, const QString &code, const QString &loftNo, int miles, int yards)
{
    dm.exec(
        QStringLiteral("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES (?,?,?,?)"),
        {code, loftNo, miles, yards});
}

inline void race(TdmORVS &dm, const QString &raceCode, const QString &code, const QString &date,
                 const QString &time, const QString &club = QStringLiteral("NC"))
{
    dm.exec(
        QStringLiteral("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, "
                       "LiberTime, RaceCode, DeleteMark, SynchFlag) VALUES (?,?,?,?,?,?,?,0,1)"),
        {club, code, QStringLiteral("Orleans"), QStringLiteral("ORL"), date, time, raceCode});
}

inline void entry(TdmORVS &dm, const QString &raceCode, const QString &code, const QString &ring,
                  const QVariant &backTime, double speed = 0, int vari = 0)
{
    dm.exec(QStringLiteral(
                "INSERT INTO ORV_PigRaceData (ClubID, LiberCode, LiberDate, PRingNo, BackTime, FlySpeed, "
                "TimeVari, RaceCode, ClockID) VALUES ('NC',?,?,?,?,?,?,?,'C1')"),
            {code, QStringLiteral("2026-05-26"), ring,
             backTime.isValid() ? backTime : QVariant(QMetaType::fromType<QString>()), speed, vari,
             raceCode});
}

} // namespace RaceFixture
