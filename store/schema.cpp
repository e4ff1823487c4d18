#include "store/schema.h"

#include "store/sqlerror.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
// SQLite type names: text and date-time values are TEXT (ISO forms), booleans INTEGER 0/1.
constexpr const char *T = "TEXT";
constexpr const char *I = "INTEGER";
constexpr const char *R = "REAL";

const std::vector<TableDef> tables = {
    {"ORV_LoftData",
     {{"AssociationCode", T},
      {"LoftNo", T},
      {"LoftName", T},
      {"Street", T},
      {"City", T},
      {"PostCode", T},
      {"PhoneNo", T},
      {"EMail", T},
      {"LoftLon", T},
      {"LoftLat", T},
      {"Notes", T},
      {"UpdateTime", T},
      {"SynchFlag", I}}},
    {"ORV_LoftClocks", {{"LoftNo", T}, {"ClockID", T}, {"LastSynchDate", T}, {"SynchStat", I}}},
    {"ORV_RaceData",
     {{"ClubID", T},
      {"LiberCode", T},
      {"LiberSite", T},
      {"LiberSiteAbbr", T},
      {"LiberDate", T},
      {"LiberTime", T},
      {"LiberLon", T},
      {"LiberLat", T},
      {"Updatetime", T},
      {"SynchFlag", I},
      {"RaceCode", T},
      {"DeleteMark", I}}},
    {"ORV_PigData",
     {{"LoftNo", T},
      {"PRingNo", T},
      {"RCountry", T},
      {"RYear", T},
      {"RRegLetter", T},
      {"RRegNumber", T},
      {"Sex", T},
      {"E_Ring", T},
      {"Comment", T},
      {"ActiveStat", I},
      {"Updatetime", T},
      {"SynchFlag", I},
      {"RandomCode", I},
      {"UID", T},
      {"CreateDate", T},
      {"AssignDate", T},
      {"DeleteMark", I},
      {"ColorType", T}}},
    {"ORV_PigRaceData",
     {{"ClubID", T},
      {"LiberCode", T},
      {"LiberDate", T},
      {"PRingNo", T},
      {"BackTime", T},
      {"FlySpeed", R},
      {"Dist", I},
      {"RandomCode", I},
      {"ClockID", T},
      {"UID_Real", T},
      {"TimeVari", I},
      {"MarkedTime", T},
      {"FlyTime", T},
      {"RealRandom", T},
      {"BackLon", T},
      {"BackLat", T},
      {"RaceCode", T}}},
    {"ORV_RaceClockTime",
     {{"LiberCode", T},
      {"LiberDate", T},
      {"LoftNo", T},
      {"ClockID", T},
      {"DLMarkedTime", T},
      {"ULMasterTime", T},
      {"ULClockTime", T},
      {"DLMasterTime", T},
      {"RaceCode", T}}},
    {"ORV_ClubData",
     {{"ClubID", T},
      {"ClubName", T},
      {"Street", T},
      {"City", T},
      {"PostCode", T},
      {"AssociationCode", T},
      {"Logo", T},
      {"Language", I},
      {"Mode", I},
      {"DBBackupDays", I},
      {"PrintCount", I},
      // added later, always last: older databases receive it when opened (NULL = club formula)
      {"DistanceMethod", I}}},
    {"ORV_ClubMap", {{"ClubID", T}, {"ClubName", T}}},
    {"ORV_LiberateSite",
     {{"LiberCode", T}, {"LiberSite", T}, {"LiberSiteAbbr", T}, {"LiberLon", T}, {"LiberLat", T}}},
    {"ORV_LoftLibPointDist", {{"LiberCode", T}, {"LoftNo", T}, {"Miles", I}, {"Yards", I}, {"LoftName", T}}},
    {"ORV_SunSet_SunRise",
     {{"RaceCode", T}, {"RaceDate", T}, {"SunSet", T}, {"SunRise", T}, {"Location", T}}},
    {"ORV_FeatherColor", {{"ColorType", T}, {"FeathColor", T}}},
    {"ORV_Object_Caption",
     {{"LangCode", T}, {"formName", T}, {"objectCode", T}, {"caption", T}, {"property", I}}},
};

// Tables of our own beside the 13, created and upgraded the same way. Season championships: the
// choices only; their standings are computed from the race data whenever they are shown.
const std::vector<TableDef> ownTables = {
    {"PNX_Championship",
     {{"Name", T},
      {"Scheme", T},
      {"PrizeRatio", I},
      {"MaxPoints", R},
      {"MinPoints", R},
      {"BestCount", I},
      {"LoftBirds", I},
      {"UpdateTime", T}}},
    {"PNX_ChampionshipRace", {{"Name", T}, {"RaceCode", T}, {"Seq", I}}},
};

// Non-unique indexes on the look-up keys the pages use most.
const char *const indexes[] = {
    "CREATE INDEX IF NOT EXISTS ix_loftdata_loft ON ORV_LoftData(LoftNo)",
    "CREATE INDEX IF NOT EXISTS ix_loftclocks_loft ON ORV_LoftClocks(LoftNo)",
    "CREATE INDEX IF NOT EXISTS ix_racedata_code ON ORV_RaceData(RaceCode)",
    "CREATE INDEX IF NOT EXISTS ix_pigdata_ring ON ORV_PigData(PRingNo)",
    "CREATE INDEX IF NOT EXISTS ix_pigdata_loft ON ORV_PigData(LoftNo)",
    "CREATE INDEX IF NOT EXISTS ix_pigrace_race_ring ON ORV_PigRaceData(RaceCode, PRingNo)",
    "CREATE INDEX IF NOT EXISTS ix_raceclock_race_loft ON ORV_RaceClockTime(RaceCode, LoftNo)",
    "CREATE INDEX IF NOT EXISTS ix_dist_lib_loft ON ORV_LoftLibPointDist(LiberCode, LoftNo)",
    "CREATE INDEX IF NOT EXISTS ix_sun_race ON ORV_SunSet_SunRise(RaceCode)",
    "CREATE INDEX IF NOT EXISTS ix_champrace_name ON PNX_ChampionshipRace(Name)",
};

// The 13, then our own.
std::vector<const TableDef *> allTables()
{
    std::vector<const TableDef *> out;
    for (const auto &t : tables)
        out.push_back(&t);
    for (const auto &t : ownTables)
        out.push_back(&t);
    return out;
}
} // namespace

QStringList TableDef::columnNames() const
{
    QStringList out;
    for (const auto &c : columns)
        out << QString::fromLatin1(c.name);
    return out;
}

const std::vector<TableDef> &schemaTables()
{
    return tables;
}

const std::vector<TableDef> &ownSchemaTables()
{
    return ownTables;
}

const TableDef *findTable(const QString &name)
{
    for (const auto &t : tables)
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

void createSchema(QSqlDatabase &db)
{
    QSqlQuery q(db);
    auto run = [&](const QString &sql) {
        if (!q.exec(sql))
            throw SqlError(q.lastError().text(), sql);
    };
    for (const TableDef *t : allTables()) {
        QStringList cols;
        for (const auto &c : t->columns)
            cols << QStringLiteral("\"%1\" %2").arg(QLatin1String(c.name), QLatin1String(c.sqlType));
        run(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)").arg(QLatin1String(t->name), cols.join(", ")));
    }
    upgradeSchema(db);
    for (const char *ix : indexes)
        run(QLatin1String(ix));
}

int upgradeSchema(QSqlDatabase &db)
{
    QSqlQuery q(db);
    int added = 0;
    for (const TableDef *tp : allTables()) {
        const TableDef &t = *tp;
        const QString info = QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(t.name));
        if (!q.exec(info))
            throw SqlError(q.lastError().text(), info);
        QStringList have;
        while (q.next())
            have << q.value(1).toString();
        // Columns are only ever appended, so what is missing is always at the end.
        for (const auto &c : t.columns) {
            if (have.contains(QLatin1String(c.name), Qt::CaseInsensitive))
                continue;
            const QString alter =
                QStringLiteral("ALTER TABLE %1 ADD COLUMN \"%2\" %3")
                    .arg(QLatin1String(t.name), QLatin1String(c.name), QLatin1String(c.sqlType));
            if (!q.exec(alter))
                throw SqlError(q.lastError().text(), alter);
            ++added;
        }
    }
    return added;
}
