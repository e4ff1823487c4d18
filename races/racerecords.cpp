#include "races/racerecords.h"

#include "races/coordinates.h"
#include "races/distances.h"
#include "store/appclock.h"
#include "device/clockentry.h"
#include "store/entrycheck.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

namespace RaceRecords {

QString formRaceCode(const QString &liberCode, const QDate &date, int n)
{
    if (n < 1)
        return liberCode + date.toString(QStringLiteral("MMdd"));
    return liberCode + QChar(64 + n) + QString::number(date.month(), 16).toUpper() +
           date.toString(QStringLiteral("dd"));
}

int earlierRaces(TdmORVS &dm, const QString &clubId, const QString &liberCode, const QDate &date)
{
    return dm
        .scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_RaceData WHERE ClubID=? AND LiberCode=? "
                               "AND date(LiberDate)=date(?)"),
                {clubId, liberCode, ValueText::date(date)})
        .toInt();
}

namespace {
QString coordinate(const QString &field, const QString &text, const QString &column, bool latitude)
{
    if (const QString p = ClockEntry::text(field, text, QStringLiteral("ORV_RaceData"), column);
        !p.isEmpty())
        return p;
    if (Coordinates::isBlank(text))
        return {};
    // The box's own exit check, for values that reach the save without leaving a box.
    if (const QString p = Coordinates::exitCheck(text, latitude); !p.isEmpty())
        return p;
    const Coordinates::Parsed parsed = Coordinates::parse(text);
    if (!parsed.ok && !parsed.message.isEmpty())
        return QStringLiteral("%1: %2").arg(field, parsed.message);
    return {};
}
} // namespace

QString check(const RaceForm &f)
{
    const QString t = QStringLiteral("ORV_RaceData");
    return EntryCheck::first({
        ClockEntry::text(QStringLiteral("Liberation site"), f.site, t, QStringLiteral("LiberSite")),
        ClockEntry::text(QStringLiteral("Site abbreviation"), f.abbreviation, t,
                         QStringLiteral("LiberSiteAbbr")),
        ClockEntry::text(QStringLiteral("Liberation code"), f.liberCode, t, QStringLiteral("LiberCode"), EntryCheck::NoComma),
        coordinate(QStringLiteral("Longitude"), f.lon, QStringLiteral("LiberLon"), false),
        coordinate(QStringLiteral("Latitude"), f.lat, QStringLiteral("LiberLat"), true),
        EntryCheck::date(QStringLiteral("Liberation date"), f.date),
        f.time.isValid() ? QString() : QStringLiteral("Liberation time: a time of day is needed."),
    });
}

QString checkClub(const QString &id, const QString &name)
{
    const QString t = QStringLiteral("ORV_ClubMap");
    return EntryCheck::first({
        ClockEntry::text(QStringLiteral("Club ID"), id, t, QStringLiteral("ClubID")),
        ClockEntry::text(QStringLiteral("Club name"), name, t, QStringLiteral("ClubName")),
    });
}

SaveOutcome save(TdmORVS &dm, const RaceForm &form, Mode mode, const QString &loadedRaceCode,
                 OperationSink &sink)
{
    SaveOutcome out;
    if (const QString problem = check(form); !problem.isEmpty()) {
        sink.failure(problem);
        return out;
    }
    const std::optional<QString> club = clubIdOf(dm, form.clubName);
    if (form.site.isEmpty()) {
        sink.failure(EntryError);
        return out;
    }
    const QVariant nullText(QMetaType::fromType<QString>());
    const QString stamp = ValueText::dateTime(AppClock::now());
    if (mode != Mode::None && !club) {
        sink.failure(QStringLiteral("Club \"%1\" is not in the club map").arg(form.clubName));
        return out;
    }
    if (mode == Mode::Edit) {
        out.raceCode = loadedRaceCode;
        dm.exec(
            QStringLiteral("UPDATE ORV_RaceData SET LiberSite=?, LiberSiteAbbr=?, LiberDate=?, LiberTime=?, "
                           "LiberLon=?, LiberLat=?, Updatetime=?, RaceCode=?, SynchFlag=1, DeleteMark=0 "
                           "WHERE ClubID=? AND RaceCode=?"),
            {form.site, form.abbreviation, ValueText::date(form.date), ValueText::time(form.time), form.lon,
             form.lat, stamp, loadedRaceCode, *club, loadedRaceCode});
        out.raceWritten = true;
    } else if (mode == Mode::Add) {
        out.raceCode =
            formRaceCode(form.liberCode, form.date, earlierRaces(dm, *club, form.liberCode, form.date));
        const bool blank = Coordinates::isBlank(form.lon);
        dm.exec(QStringLiteral(
                    "INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, "
                    "LiberTime, LiberLon, LiberLat, Updatetime, SynchFlag, RaceCode, DeleteMark) "
                    "VALUES (?,?,?,?,?,?,?,?,?,1,?,0)"),
                {*club, form.liberCode, form.site, form.abbreviation, ValueText::date(form.date),
                 ValueText::time(form.time), blank ? nullText : QVariant(form.lon),
                 blank ? nullText : QVariant(form.lat), stamp, out.raceCode});
        out.raceWritten = true;
    }

    const bool known =
        dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_LiberateSite WHERE LiberCode=?"), {form.liberCode})
            .toInt() > 0;
    if (!known) {
        if (form.abbreviation.isEmpty() || form.site.isEmpty() || form.liberCode.isEmpty()) {
            sink.failure(EntryError);
            return out;
        }
        const bool blank = Coordinates::isBlank(form.lon);
        dm.exec(QStringLiteral(
                    "INSERT INTO ORV_LiberateSite (LiberCode, LiberSite, LiberSiteAbbr, LiberLon, LiberLat) "
                    "VALUES (?,?,?,?,?)"),
                {form.liberCode, form.site, form.abbreviation, blank ? nullText : QVariant(form.lon),
                 blank ? nullText : QVariant(form.lat)});
        Distances::addZeroRows(dm, form.liberCode);
        out.siteCreated = true;
    }
    out.ok = true;
    return out;
}

void softDelete(TdmORVS &dm, const QString &clubId, const QString &raceCode)
{
    dm.exec(QStringLiteral("UPDATE ORV_RaceData SET DeleteMark=1, SynchFlag=1 WHERE ClubID=? AND RaceCode=?"),
            {clubId, raceCode});
    dm.tryExec(QStringLiteral("DELETE FROM ORV_SunSet_SunRise WHERE RaceCode=?"), {raceCode});
}

namespace {
Site siteOf(const QSqlRecord &r)
{
    return {r.value(0).toString(), r.value(1).toString(), r.value(2).toString(), r.value(3), r.value(4)};
}
} // namespace

std::vector<Site> sitesByName(TdmORVS &dm)
{
    std::vector<Site> out;
    for (const auto &r :
         dm.rows(QStringLiteral("SELECT LiberCode, LiberSite, LiberSiteAbbr, LiberLon, LiberLat "
                                "FROM ORV_LiberateSite ORDER BY LiberSite")))
        out.push_back(siteOf(r));
    return out;
}

std::optional<Site> siteByAbbreviation(TdmORVS &dm, const QString &abbreviation)
{
    const auto rows = dm.rows(QStringLiteral("SELECT LiberCode, LiberSite, LiberSiteAbbr, LiberLon, LiberLat "
                                             "FROM ORV_LiberateSite WHERE LiberSiteAbbr=? LIMIT 1"),
                              {abbreviation});
    if (rows.empty())
        return std::nullopt;
    return siteOf(rows.front());
}

void deleteSite(TdmORVS &dm, const QString &liberCode)
{
    Transaction tx(dm);
    dm.exec(QStringLiteral("DELETE FROM ORV_LiberateSite WHERE LiberCode=?"), {liberCode});
    dm.exec(QStringLiteral("DELETE FROM ORV_LoftLibPointDist WHERE LiberCode=?"), {liberCode});
    tx.commit();
}

std::vector<Club> clubs(TdmORVS &dm)
{
    std::vector<Club> out;
    for (const auto &r : dm.rows(QStringLiteral("SELECT ClubID, ClubName FROM ORV_ClubMap ORDER BY ClubID")))
        out.push_back({r.value(0).toString(), r.value(1).toString()});
    return out;
}

QStringList clubNamesInTableOrder(TdmORVS &dm)
{
    QStringList out;
    for (const auto &r : dm.rows(QStringLiteral("SELECT ClubName FROM ORV_ClubMap ORDER BY rowid")))
        out << r.value(0).toString();
    return out;
}

std::optional<QString> clubIdOf(TdmORVS &dm, const QString &clubName)
{
    const QVariant v =
        dm.scalar(QStringLiteral("SELECT ClubID FROM ORV_ClubMap WHERE ClubName=? LIMIT 1"), {clubName});
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

QString clubNameOf(TdmORVS &dm, const QString &clubId)
{
    return dm.scalar(QStringLiteral("SELECT ClubName FROM ORV_ClubMap WHERE ClubID=? LIMIT 1"), {clubId})
        .toString();
}

QString addClub(TdmORVS &dm, const QString &id, const QString &name)
{
    if (const QString problem = checkClub(id, name); !problem.isEmpty())
        return problem;
    dm.exec(QStringLiteral("INSERT INTO ORV_ClubMap (ClubID, ClubName) VALUES (?,?)"), {id, name});
    return {};
}

void deleteClub(TdmORVS &dm, const QString &name)
{
    dm.exec(QStringLiteral("DELETE FROM ORV_ClubMap WHERE ClubName=?"), {name});
}

} // namespace RaceRecords
