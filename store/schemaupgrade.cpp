#include "store/schemaupgrade.h"

#include "store/sqlerror.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace SchemaUpgrade {

void run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw SqlError(q.lastError().text(), sql);
}

void addColumnIfMissing(QSqlDatabase &db, const QString &table, const QString &column, const QString &sqlType)
{
    // Names compare without regard to case, as the engine compares them.
    const QSqlRecord rec = db.record(table);
    for (int i = 0; i < rec.count(); ++i)
        if (rec.fieldName(i).compare(column, Qt::CaseInsensitive) == 0)
            return;
    run(db, QStringLiteral("ALTER TABLE \"%1\" ADD COLUMN \"%2\" %3").arg(table, column, sqlType));
}

namespace {
// Seasons: championships over chosen races. Standings are computed from the race data each time
// they are shown, so these tables hold the choices only, never results.
void championshipTables(QSqlDatabase &db)
{
    run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS PNX_Championship (Name TEXT, Scheme TEXT, "
                           "PrizeRatio INTEGER, MaxPoints REAL, MinPoints REAL, BestCount INTEGER, "
                           "LoftBirds INTEGER, UpdateTime TEXT)"));
    run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS PNX_ChampionshipRace (Name TEXT, RaceCode TEXT, "
                           "Seq INTEGER)"));
    run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS ix_champrace_name ON PNX_ChampionshipRace(Name)"));
}
} // namespace

const std::vector<SchemaStep> &steps()
{
    static const std::vector<SchemaStep> all = {
        {1, "championship tables", championshipTables},
    };
    return all;
}

int latestVersion()
{
    return steps().empty() ? 0 : steps().back().version;
}

int fileVersion(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        throw SqlError(q.lastError().text(), QStringLiteral("PRAGMA user_version"));
    return q.value(0).toInt();
}

void upgrade(QSqlDatabase &db)
{
    const int have = fileVersion(db);
    for (const SchemaStep &s : steps()) {
        if (s.version <= have)
            continue;
        if (!db.transaction())
            throw SqlError(db.lastError().text(), QStringLiteral("BEGIN"));
        try {
            s.apply(db);
            // A pragma takes no bound value; the version is our own constant.
            run(db, QStringLiteral("PRAGMA user_version=%1").arg(s.version));
        } catch (...) {
            db.rollback();
            throw;
        }
        if (!db.commit())
            throw SqlError(db.lastError().text(), QStringLiteral("COMMIT"));
    }
}

} // namespace SchemaUpgrade
