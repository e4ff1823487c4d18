#include "cli/clicommand.h"

#include "races/distances.h"
#include "races/raceinfo.h"
#include "races/racelists.h"
#include "races/ranking.h"
#include "store/tdmorvs.h"

#include <QTextStream>

namespace {
QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

int usage(CliContext &ctx, const QString &text)
{
    ctx.sink.failure(QStringLiteral("Usage: pennavox-cli ") + text);
    return 2;
}

int runRecalc(CliContext &ctx)
{
    QString lib;
    const bool hasLib = ctx.takeOption(QStringLiteral("--liberation"), &lib);
    if (ctx.args.size() != 1)
        return usage(ctx, QStringLiteral("recalc RACECODE [--liberation \"YYYY-MM-DD HH:MM:SS\"]"));
    const QString raceCode = ctx.args.first();
    const auto race = Races::findRace(ctx.dm(), raceCode);
    if (!race) {
        ctx.sink.failure(QStringLiteral("Race %1 not found").arg(raceCode));
        return 1;
    }
    QDateTime liberation = race->liberation();
    if (hasLib) {
        liberation = QDateTime::fromString(lib.trimmed(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!liberation.isValid()) {
            ctx.sink.failure(QStringLiteral("Liberation \"%1\" is not \"YYYY-MM-DD HH:MM:SS\"").arg(lib));
            return 2;
        }
    }
    const Ranking::RecalcOutcome r = Ranking::recalculate(ctx.dm(), raceCode, liberation, ctx.sink);
    ctx.sink.success(QStringLiteral("Race %1 recalculated from %2: %3 entries, %4 skipped")
                         .arg(raceCode, liberation.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                         .arg(r.updated)
                         .arg(r.skipped));
    return 0;
}

int runResults(CliContext &ctx)
{
    const bool raw = ctx.takeFlag(QStringLiteral("--raw"));
    if (ctx.args.size() != 1)
        return usage(ctx, QStringLiteral("results RACECODE [--raw]"));
    if (!Races::findRace(ctx.dm(), ctx.args.first())) {
        ctx.sink.failure(QStringLiteral("Race %1 not found").arg(ctx.args.first()));
        return 1;
    }
    RaceResultList list(ctx.dm());
    list.load(ctx.args.first());
    printList(out(), list, raw);
    out() << list.summary().text().trimmed() << '\n';
    out().flush();
    return 0;
}

int runImport(CliContext &ctx)
{
    if (ctx.args.size() != 1)
        return usage(ctx, QStringLiteral("import-distances FILE"));
    return Distances::importFile(ctx.dm(), ctx.args.first(), ctx.sink) ? 0 : 1;
}

int runRequest(CliContext &ctx)
{
    if (ctx.args.size() != 1)
        return usage(ctx, QStringLiteral("distance-request FILE"));
    const int n = Distances::writeRequestFile(ctx.dm(), ctx.args.first(), ctx.sink);
    if (ctx.sink.failed)
        return 1;
    ctx.sink.success(QStringLiteral("%1 lines written to %2").arg(n).arg(ctx.args.first()));
    return 0;
}

CliRegistrar recalc({QStringLiteral("recalc"),
                     QStringLiteral("recalc RACECODE [--liberation \"Y-M-D H:M:S\"]"),
                     QStringLiteral("recompute flying times and velocities of a race"), runRecalc});
CliRegistrar results({QStringLiteral("results"), QStringLiteral("results RACECODE [--raw]"),
                      QStringLiteral("print a race's result list as comma-separated lines (--raw: stored values)"),
                      runResults});
CliRegistrar importDist({QStringLiteral("import-distances"), QStringLiteral("import-distances FILE"),
                         QStringLiteral("import loft distances (LiberCode,LoftNo,Miles,Yards lines)"),
                         runImport});
CliRegistrar request({QStringLiteral("distance-request"), QStringLiteral("distance-request FILE"),
                      QStringLiteral("write the distance request file (LiberCode,LoftNo lines)"),
                      runRequest});
} // namespace
