#pragma once

#include "races/coordinates.h"
#include "races/flytime.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>
#include <optional>
#include <vector>

class TdmORVS;

// One race record as stored.
struct RaceInfo
{
    QString clubId;
    QString liberCode;
    QString liberSite;
    QString liberSiteAbbr;
    QDate liberDate;
    QTime liberTime;
    QVariant liberLon; // text or NULL
    QVariant liberLat;
    QString raceCode;
    bool deleted = false;

    // The liberation moment: date and time of day.
    QDateTime liberation() const
    {
        return QDateTime(liberDate, liberTime.isValid() ? liberTime : QTime(0, 0));
    }
    // The key of the race's sunset/sunrise rows: liberation code + "mmdd" of the date.
    QString sunKey() const;
    // "Race 10010603, Quievrain, 03/06/2026, liberation 07:30:00": the heading of its result.
    QString heading() const;
};

namespace Races {
// The race with this code (soft-deleted ones included, live ones first).
std::optional<RaceInfo> findRace(TdmORVS &dm, const QString &raceCode);
// Liberation code followed by the date as "mmdd".
QString sunKey(const QString &liberCode, const QDate &date);
// The sun rows of a key, sorted by date.
std::vector<FlyTime::SunRow> sunRows(TdmORVS &dm, const QString &key);
// A loft's distance for a liberation code in the club's unit (mode 0 metres, else yards);
// 0 without a distance row.
qint64 loftDistance(TdmORVS &dm, const QString &liberCode, const QString &loftNo, int mode);
// Full distance of a stored Miles/Yards pair (NULL parts count as 0).
qint64 fullDistance(const QVariant &miles, const QVariant &yards, int mode);
// The club's unit mode (0 when no club record).
int clubMode(TdmORVS &dm);
// The club's distance method (the club formula when no club record or no choice is stored).
Coordinates::DistanceMethod clubDistanceMethod(TdmORVS &dm);
} // namespace Races
