#include "races/raceinfo.h"

#include "store/tdmorvs.h"
#include "store/valuetext.h"

QString RaceInfo::sunKey() const
{
    return Races::sunKey(liberCode, liberDate);
}

namespace Races {

QString sunKey(const QString &liberCode, const QDate &date)
{
    return liberCode + date.toString(QStringLiteral("MMdd"));
}

std::optional<RaceInfo> findRace(TdmORVS &dm, const QString &raceCode)
{
    const auto rows =
        dm.rows(QStringLiteral("SELECT ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, "
                               "LiberTime, LiberLon, LiberLat, RaceCode, DeleteMark FROM ORV_RaceData "
                               "WHERE RaceCode=? ORDER BY DeleteMark LIMIT 1"),
                {raceCode});
    if (rows.empty())
        return std::nullopt;
    const QSqlRecord &r = rows.front();
    RaceInfo i;
    i.clubId = r.value(0).toString();
    i.liberCode = r.value(1).toString();
    i.liberSite = r.value(2).toString();
    i.liberSiteAbbr = r.value(3).toString();
    i.liberDate = ValueText::parseDate(r.value(4));
    i.liberTime = ValueText::parseTime(r.value(5));
    i.liberLon = r.value(6);
    i.liberLat = r.value(7);
    i.raceCode = r.value(8).toString();
    i.deleted = ValueText::toBool(r.value(9));
    return i;
}

std::vector<FlyTime::SunRow> sunRows(TdmORVS &dm, const QString &key)
{
    std::vector<FlyTime::SunRow> out;
    for (const auto &r : dm.rows(QStringLiteral("SELECT RaceDate, SunSet, SunRise FROM ORV_SunSet_SunRise "
                                                "WHERE RaceCode=? ORDER BY date(RaceDate)"),
                                 {key}))
        out.push_back({ValueText::parseDate(r.value(0)), ValueText::parseTime(r.value(1)),
                       ValueText::parseTime(r.value(2))});
    FlyTime::sortSunRows(out);
    return out;
}

qint64 fullDistance(const QVariant &miles, const QVariant &yards, int mode)
{
    const qint64 m = miles.isNull() ? 0 : miles.toLongLong();
    const qint64 y = yards.isNull() ? 0 : yards.toLongLong();
    return m * (mode == 0 ? 1000 : 1760) + y;
}

qint64 loftDistance(TdmORVS &dm, const QString &liberCode, const QString &loftNo, int mode)
{
    const auto rows = dm.rows(QStringLiteral("SELECT Miles, Yards FROM ORV_LoftLibPointDist "
                                             "WHERE LiberCode=? AND LoftNo=? LIMIT 1"),
                              {liberCode, loftNo});
    if (rows.empty())
        return 0;
    return fullDistance(rows.front().value(0), rows.front().value(1), mode);
}

int clubMode(TdmORVS &dm)
{
    return dm.scalar(QStringLiteral("SELECT Mode FROM ORV_ClubData LIMIT 1")).toInt();
}

Coordinates::DistanceMethod clubDistanceMethod(TdmORVS &dm)
{
    return Coordinates::methodFromStored(
        dm.scalar(QStringLiteral("SELECT DistanceMethod FROM ORV_ClubData LIMIT 1")));
}

} // namespace Races

QString RaceInfo::heading() const
{
    return QStringLiteral("Race %1, %2, %3, liberation %4")
        .arg(raceCode, liberSite.isEmpty() ? liberSiteAbbr : liberSite,
             ValueText::shortDate(ValueText::date(liberDate)),
             liberTime.isValid() ? liberTime.toString(QStringLiteral("HH:mm:ss")) : QStringLiteral("--:--:--"));
}
