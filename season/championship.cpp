#include "season/championship.h"

#include "store/appclock.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QSet>
#include <QSqlRecord>
#include <cmath>

namespace Championships {

namespace {
Championship fromRecord(const QSqlRecord &r)
{
    Championship c;
    c.name = r.value(0).toString();
    Season::Scheme s = Season::Scheme::Linear;
    Season::schemeFromName(r.value(1).toString(), &s);
    c.rule.scheme = s;
    c.rule.ratio = r.value(2).isNull() ? 4 : r.value(2).toInt();
    c.rule.maxHundredths = std::llround(r.value(3).toDouble() * 100);
    c.rule.minHundredths = std::llround(r.value(4).toDouble() * 100);
    c.bestCount = r.value(5).toInt();
    c.loftBirds = r.value(6).isNull() ? 2 : r.value(6).toInt();
    return c;
}

const char *const selectColumns =
    "SELECT Name, Scheme, PrizeRatio, MaxPoints, MinPoints, BestCount, LoftBirds FROM PNX_Championship ";

void loadRaces(TdmORVS &dm, Championship &c)
{
    for (const QSqlRecord &r : dm.rows(QStringLiteral("SELECT RaceCode FROM PNX_ChampionshipRace WHERE Name=? "
                                                      "ORDER BY Seq, rowid"),
                                       {c.name}))
        c.races << r.value(0).toString();
}
} // namespace

std::vector<RaceChoice> raceChoices(TdmORVS &dm)
{
    std::vector<RaceChoice> out;
    for (const QSqlRecord &r : dm.rows(QStringLiteral("SELECT RaceCode, LiberSite, LiberDate FROM ORV_RaceData "
                                                      "WHERE COALESCE(DeleteMark,0)=0 ORDER BY LiberDate, RaceCode")))
        out.push_back({r.value(0).toString(), r.value(1).toString(), r.value(2).toString()});
    return out;
}

std::vector<Championship> all(TdmORVS &dm)
{
    std::vector<Championship> out;
    for (const QSqlRecord &r :
         dm.rows(QLatin1String(selectColumns) + QStringLiteral("ORDER BY Name COLLATE NOCASE, rowid")))
        out.push_back(fromRecord(r));
    for (Championship &c : out)
        loadRaces(dm, c);
    return out;
}

std::optional<Championship> find(TdmORVS &dm, const QString &name)
{
    const auto rows = dm.rows(QLatin1String(selectColumns) + QStringLiteral("WHERE Name=? COLLATE NOCASE "
                                                                            "ORDER BY rowid LIMIT 1"),
                              {name.trimmed()});
    if (rows.empty())
        return std::nullopt;
    Championship c = fromRecord(rows.front());
    loadRaces(dm, c);
    return c;
}

bool save(TdmORVS &dm, const Championship &c, OperationSink &sink)
{
    const QString name = c.name.trimmed();
    if (name.isEmpty() || name.size() > MaxNameLength) {
        sink.failure(QStringLiteral("A championship needs a name of 1 to %1 characters").arg(MaxNameLength));
        return false;
    }
    if (c.rule.ratio < 1 || c.rule.ratio > 100) {
        sink.failure(QStringLiteral("The prize ratio must be 1 to 100 (one prize per N entries)"));
        return false;
    }
    if (c.rule.scheme == Season::Scheme::Linear &&
        (c.rule.minHundredths < 0 || c.rule.maxHundredths < c.rule.minHundredths)) {
        sink.failure(QStringLiteral("The maximum points must be at least the minimum, and neither below 0"));
        return false;
    }
    if (c.bestCount < 0 || c.loftBirds < 1) {
        sink.failure(QStringLiteral("Best results counted must be 0 (all) or more; birds per loft 1 or more"));
        return false;
    }
    QStringList races;
    QSet<QString> seen;
    QStringList unknown;
    for (const QString &raw : c.races) {
        const QString code = raw.trimmed();
        if (code.isEmpty() || seen.contains(code))
            continue;
        seen.insert(code);
        const QVariant live = dm.scalar(
            QStringLiteral("SELECT COUNT(*) FROM ORV_RaceData WHERE RaceCode=? AND COALESCE(DeleteMark,0)=0"),
            {code});
        if (live.toInt() == 0)
            unknown << code;
        races << code;
    }
    if (!unknown.isEmpty()) {
        sink.failure(QStringLiteral("Not in the race list: %1").arg(unknown.join(QStringLiteral(", "))));
        return false;
    }
    if (races.isEmpty()) {
        sink.failure(QStringLiteral("A championship needs at least one race"));
        return false;
    }

    Transaction tx(dm);
    // Saving under a name held in another letter case replaces that championship.
    dm.exec(QStringLiteral("DELETE FROM PNX_ChampionshipRace WHERE Name IN "
                           "(SELECT Name FROM PNX_Championship WHERE Name=? COLLATE NOCASE)"),
            {name});
    dm.exec(QStringLiteral("DELETE FROM PNX_Championship WHERE Name=? COLLATE NOCASE"), {name});
    dm.exec(QStringLiteral("INSERT INTO PNX_Championship (Name, Scheme, PrizeRatio, MaxPoints, MinPoints, "
                           "BestCount, LoftBirds, UpdateTime) VALUES (?,?,?,?,?,?,?,?)"),
            {name, Season::schemeName(c.rule.scheme), c.rule.ratio, c.rule.maxHundredths / 100.0,
             c.rule.minHundredths / 100.0, c.bestCount, c.loftBirds, ValueText::dateTime(AppClock::now())});
    int seq = 0;
    for (const QString &code : races)
        dm.exec(QStringLiteral("INSERT INTO PNX_ChampionshipRace (Name, RaceCode, Seq) VALUES (?,?,?)"),
                {name, code, ++seq});
    tx.commit();
    sink.success(QStringLiteral("Championship %1 saved: %2 races, %3").arg(name).arg(races.size())
                     .arg(Season::schemeName(c.rule.scheme)));
    return true;
}

bool remove(TdmORVS &dm, const QString &name, OperationSink &sink)
{
    const std::optional<Championship> c = find(dm, name);
    if (!c) {
        sink.failure(QStringLiteral("No championship named %1").arg(name.trimmed()));
        return false;
    }
    Transaction tx(dm);
    dm.exec(QStringLiteral("DELETE FROM PNX_ChampionshipRace WHERE Name=?"), {c->name});
    dm.exec(QStringLiteral("DELETE FROM PNX_Championship WHERE Name=?"), {c->name});
    tx.commit();
    sink.success(QStringLiteral("Championship %1 deleted").arg(c->name));
    return true;
}

} // namespace Championships
