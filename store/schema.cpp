#include "store/schema.h"

#include "store/sqlerror.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
// SQLite type names: text and date-time values are TEXT (ISO forms), booleans INTEGER 0/1. A text
// column's third value is the characters it holds, checked when a value is entered.
constexpr const char *T = "TEXT";
constexpr const char *I = "INTEGER";
constexpr const char *R = "REAL";
// Size of a memo column (long text) for the checks at entry.
constexpr int M = 65535;

const std::vector<TableDef> tables = {
    {"ORV_LoftData",
     {{"AssociationCode", T, 10},
      {"LoftNo", T, 10},
      {"LoftName", T, 30},
      {"Street", T, 50},
      {"City", T, 30},
      {"PostCode", T, 10},
      {"PhoneNo", T, 15},
      {"EMail", T, 50},
      {"LoftLon", T, 15},
      {"LoftLat", T, 15},
      {"Notes", T, M},
      {"UpdateTime", T},
      {"SynchFlag", I}}},
    {"ORV_LoftClocks", {{"LoftNo", T, 10}, {"ClockID", T, 10}, {"LastSynchDate", T}, {"SynchStat", I}}},
    {"ORV_RaceData",
     {{"ClubID", T, 10},
      {"LiberCode", T, 8},
      {"LiberSite", T, 20},
      {"LiberSiteAbbr", T, 10},
      {"LiberDate", T},
      {"LiberTime", T},
      {"LiberLon", T, 10},
      {"LiberLat", T, 10},
      {"Updatetime", T},
      {"SynchFlag", I},
      {"RaceCode", T, 8},
      {"DeleteMark", I}}},
    {"ORV_PigData",
     {{"LoftNo", T, 10},
      {"PRingNo", T, 20},
      {"RCountry", T, 5},
      {"RYear", T, 4},
      {"RRegLetter", T, 5},
      {"RRegNumber", T, 7},
      {"Sex", T, 1},
      {"E_Ring", T, 8},
      {"Comment", T, M},
      {"ActiveStat", I},
      {"Updatetime", T},
      {"SynchFlag", I},
      {"RandomCode", I},
      {"UID", T, 8},
      {"CreateDate", T},
      {"AssignDate", T},
      {"DeleteMark", I},
      {"ColorType", T, 10}}},
    {"ORV_PigRaceData",
     {{"ClubID", T, 10},
      {"LiberCode", T, 8},
      {"LiberDate", T},
      {"PRingNo", T, 20},
      {"BackTime", T, 25},
      {"FlySpeed", R},
      {"Dist", I},
      {"RandomCode", I},
      {"ClockID", T, 10},
      {"UID_Real", T, 8},
      {"TimeVari", I},
      {"MarkedTime", T},
      {"FlyTime", T, 15},
      {"RealRandom", T, 2},
      {"BackLon", T, 15},
      {"BackLat", T, 15},
      {"RaceCode", T, 8}}},
    {"ORV_RaceClockTime",
     {{"LiberCode", T, 10},
      {"LiberDate", T},
      {"LoftNo", T, 10},
      {"ClockID", T, 10},
      {"DLMarkedTime", T},
      {"ULMasterTime", T},
      {"ULClockTime", T},
      {"DLMasterTime", T},
      {"RaceCode", T, 8}}},
    {"ORV_ClubData",
     {{"ClubID", T, 10},
      {"ClubName", T, 50},
      {"Street", T, 50},
      {"City", T, 30},
      {"PostCode", T, 10},
      {"AssociationCode", T, 10},
      {"Logo", T, 100},
      {"Language", I},
      {"Mode", I},
      {"DBBackupDays", I},
      {"PrintCount", I},
      // added later, always last: older databases receive it when opened (NULL = club formula)
      {"DistanceMethod", I}}},
    {"ORV_ClubMap", {{"ClubID", T, 10}, {"ClubName", T, 50}}},
    {"ORV_LiberateSite",
     {{"LiberCode", T, 8}, {"LiberSite", T, 50}, {"LiberSiteAbbr", T, 20}, {"LiberLon", T, 10}, {"LiberLat", T, 10}}},
    {"ORV_LoftLibPointDist", {{"LiberCode", T, 8}, {"LoftNo", T, 10}, {"Miles", I}, {"Yards", I}, {"LoftName", T, 10}}},
    {"ORV_SunSet_SunRise",
     {{"RaceCode", T, 8}, {"RaceDate", T}, {"SunSet", T}, {"SunRise", T}, {"Location", T, 30}}},
    {"ORV_FeatherColor", {{"ColorType", T, 10}, {"FeathColor", T, 30}}},
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

int columnSize(const QString &table, const QString &column)
{
    if (const TableDef *t = findTable(table))
        for (const auto &c : t->columns)
            if (column.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0 && c.size > 0)
                return c.size;
    return 20;
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
