#include "cli/clicommand.h"

#include "clockops/clockexports.h"
#include "clockops/clockviews.h"
#include "members/pigeonexchange.h"
#include "races/raceinfo.h"
#include "races/racelists.h"
#include "races/resultexports.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QDir>

namespace {
const QString ExportUsage = QStringLiteral(
    "export winspeed|xml|xlsx|marked RACECODE FILE | export sms RACECODE DIR | export multi LOFTNO FILE "
    "[--from YYYY-MM-DD] | export pigeons FILE [--loft LOFTNO] | export cote FILE");

int usage(CliContext &ctx, const QString &text)
{
    ctx.sink.failure(QStringLiteral("Usage: pennavox-cli ") + text);
    return 2;
}

bool loftKnown(CliContext &ctx, const QString &loftNo)
{
    if (ctx.dm().scalar(QStringLiteral("SELECT 1 FROM ORV_LoftData WHERE LoftNo=? LIMIT 1"), {loftNo}).isValid())
        return true;
    ctx.sink.failure(QStringLiteral("Loft %1 not found").arg(loftNo));
    return false;
}

int runExport(CliContext &ctx)
{
    QString loft, from;
    const bool hasLoft = ctx.takeOption(QStringLiteral("--loft"), &loft);
    const bool hasFrom = ctx.takeOption(QStringLiteral("--from"), &from);
    const QStringList a = ctx.args;
    if (a.isEmpty())
        return usage(ctx, ExportUsage);
    const QString kind = a.first();
    auto done = [&](bool ok) { return ok && !ctx.sink.failed ? 0 : 1; };

    if (kind == QLatin1String("pigeons") || kind == QLatin1String("cote")) {
        if (a.size() != 2 || (hasLoft && kind == QLatin1String("cote")))
            return usage(ctx, ExportUsage);
        if (kind == QLatin1String("cote"))
            return done(PigeonExchange::saveMemberList(ctx.dm(), a.at(1), ctx.sink));
        if (hasLoft && !loftKnown(ctx, loft))
            return 1;
        return done(PigeonExchange::savePigeons(ctx.dm(), hasLoft ? loft : QString(), a.at(1), ctx.sink));
    }
    if (a.size() != 3)
        return usage(ctx, ExportUsage);
    if (kind == QLatin1String("multi")) {
        QDate start;
        if (hasFrom) {
            start = QDate::fromString(from, QStringLiteral("yyyy-MM-dd"));
            if (!start.isValid())
                return usage(ctx, ExportUsage);
        }
        if (!loftKnown(ctx, a.at(1)))
            return 1;
        MultiRaceList list(ctx.dm());
        list.load(a.at(1), start);
        return done(ClockExports::saveMulti(list, a.at(2), ctx.sink));
    }
    if (hasLoft || hasFrom)
        return usage(ctx, ExportUsage);

    const auto race = Races::findRace(ctx.dm(), a.at(1));
    if (!race) {
        ctx.sink.failure(QStringLiteral("Race %1 not found").arg(a.at(1)));
        return 1;
    }
    const QString target = a.at(2);
    if (kind == QLatin1String("winspeed"))
        return done(ResultExports::saveWinSpeed(ctx.dm(), *race, target, ctx.sink));
    if (kind == QLatin1String("xml"))
        return done(ResultExports::saveXml(ctx.dm(), *race, target, ctx.sink));
    if (kind == QLatin1String("xlsx")) {
        RaceResultList list(ctx.dm());
        list.load(race->raceCode);
        return done(ResultExports::saveResultWorkbook(list, target, ctx.sink));
    }
    if (kind == QLatin1String("marked"))
        return done(ClockExports::saveMarked(ctx.dm(), race->raceCode, target, ctx.sink));
    if (kind == QLatin1String("sms")) {
        const QDir dir(target);
        if (!dir.exists()) {
            ctx.sink.failure(QStringLiteral("%1: no such folder").arg(target));
            return 1;
        }
        return done(ResultExports::saveSms(ctx.dm(), *race, dir.filePath(ResultExports::SmsMemberFileName),
                                           dir.filePath(ResultExports::SmsBirdFileName), ctx.sink));
    }
    return usage(ctx, ExportUsage);
}

int runImport(CliContext &ctx)
{
    if (ctx.args.size() != 2 || ctx.args.first() != QLatin1String("pigeons"))
        return usage(ctx, QStringLiteral("import pigeons FILE"));
    const auto outcome = PigeonExchange::importPigeons(ctx.dm(), ctx.args.at(1), ctx.sink);
    return outcome.ok ? 0 : 1;
}

const CliRegistrar exportCommand({QStringLiteral("export"),
                                  QStringLiteral("export KIND ..."),
                                  QStringLiteral("writes an exchange file: ") + ExportUsage,
                                  runExport});
const CliRegistrar importCommand({QStringLiteral("import"), QStringLiteral("import pigeons FILE"),
                                  QStringLiteral("inserts or updates pigeons from a workbook"), runImport});
} // namespace
