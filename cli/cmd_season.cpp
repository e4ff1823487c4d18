#include "cli/clicommand.h"

#include "season/championship.h"
#include "season/print/seasonreports.h"
#include "season/prizes.h"
#include "season/seasonlists.h"
#include "season/standings.h"
#include "report/report.h"
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

// A field with a comma or a quote is quoted, its quotes doubled.
QString field(const QString &v)
{
    if (!v.contains(QLatin1Char(',')) && !v.contains(QLatin1Char('"')))
        return v;
    QString q = v;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

bool takeInt(CliContext &ctx, const QString &option, int *value, int min)
{
    QString text;
    if (!ctx.takeOption(option, &text))
        return true;
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min) {
        ctx.sink.failure(QStringLiteral("%1 needs a whole number of at least %2, not \"%3\"").arg(option).arg(min).arg(text));
        return false;
    }
    *value = v;
    return true;
}

bool takePoints(CliContext &ctx, const QString &option, qint64 *value)
{
    QString text;
    if (!ctx.takeOption(option, &text))
        return true;
    if (!Season::parsePoints(text, value)) {
        ctx.sink.failure(QStringLiteral("%1 needs points such as 1000 or 150.50, not \"%2\"").arg(option, text));
        return false;
    }
    return true;
}

// Writes a list as a workbook or its report as a PDF file.
template <class MakeReport>
int writeList(CliContext &ctx, const SeasonList &list, const QString &path, bool workbook, MakeReport makeReport)
{
    QString error;
    const bool ok = workbook ? saveSeasonWorkbook(list, path, &error) : SeasonReports::writePdf(*makeReport(), path, &error);
    if (!ok) {
        ctx.sink.failure(error.isEmpty() ? QStringLiteral("%1 could not be written").arg(path) : error);
        return 1;
    }
    ctx.sink.success(QStringLiteral("%1 rows written to %2").arg(list.rowCount()).arg(path));
    return 0;
}

const QString saveUsage = QStringLiteral(
    "championship save NAME --races RC,RC,... --scheme linear|coefficient [--ratio N] [--max P --min P] "
    "[--best K] [--loft-birds N]");
const QString standingsUsage =
    QStringLiteral("championship standings NAME aces|lofts [--xlsx FILE | --pdf FILE]");

int runSave(CliContext &ctx)
{
    Championship c;
    QString races, scheme;
    const bool hasRaces = ctx.takeOption(QStringLiteral("--races"), &races);
    const bool hasScheme = ctx.takeOption(QStringLiteral("--scheme"), &scheme);
    if (!takeInt(ctx, QStringLiteral("--ratio"), &c.rule.ratio, 1) ||
        !takePoints(ctx, QStringLiteral("--max"), &c.rule.maxHundredths) ||
        !takePoints(ctx, QStringLiteral("--min"), &c.rule.minHundredths) ||
        !takeInt(ctx, QStringLiteral("--best"), &c.bestCount, 0) ||
        !takeInt(ctx, QStringLiteral("--loft-birds"), &c.loftBirds, 1))
        return 2;
    if (!hasRaces || !hasScheme || ctx.args.size() != 1)
        return usage(ctx, saveUsage);
    if (!Season::schemeFromName(scheme, &c.rule.scheme)) {
        ctx.sink.failure(QStringLiteral("--scheme is linear or coefficient, not \"%1\"").arg(scheme));
        return 2;
    }
    c.name = ctx.args.first();
    c.races = races.split(QLatin1Char(','), Qt::SkipEmptyParts);
    return Championships::save(ctx.dm(), c, ctx.sink) ? 0 : 1;
}

int runList(CliContext &ctx)
{
    out() << "Name,Scheme,Ratio,Max,Min,Best,LoftBirds,Races\n";
    for (const Championship &c : Championships::all(ctx.dm()))
        out() << field(c.name) << ',' << Season::schemeName(c.rule.scheme) << ',' << c.rule.ratio << ','
              << Season::scoreText(c.rule.maxHundredths, Season::Scheme::Linear) << ','
              << Season::scoreText(c.rule.minHundredths, Season::Scheme::Linear) << ',' << c.bestCount << ','
              << c.loftBirds << ',' << c.races.join(QLatin1Char(' ')) << '\n';
    out().flush();
    return 0;
}

int runStandings(CliContext &ctx)
{
    QString xlsx, pdf;
    const bool toXlsx = ctx.takeOption(QStringLiteral("--xlsx"), &xlsx);
    const bool toPdf = ctx.takeOption(QStringLiteral("--pdf"), &pdf);
    if (ctx.args.size() != 2 || (toXlsx && toPdf))
        return usage(ctx, standingsUsage);
    const QString which = ctx.args.at(1).toLower();
    if (which != QLatin1String("aces") && which != QLatin1String("lofts"))
        return usage(ctx, standingsUsage);
    const std::optional<Championship> c = Championships::find(ctx.dm(), ctx.args.first());
    if (!c) {
        ctx.sink.failure(QStringLiteral("No championship named %1").arg(ctx.args.first()));
        return 1;
    }
    const Standings::Result r = Standings::compute(ctx.dm(), *c);
    for (const QString &code : r.racesNotCounted)
        ctx.sink.info(QStringLiteral("Race %1 is no longer in the race list; not counted").arg(code));
    for (const QString &code : r.racesWithoutEntries)
        ctx.sink.info(QStringLiteral("Race %1 has no entries (not flown yet, or its data purged)").arg(code));
    AceStandingList aces;
    LoftStandingList lofts;
    aces.load(r);
    lofts.load(r);
    const SeasonList &list = which == QLatin1String("aces") ? static_cast<const SeasonList &>(aces) : lofts;
    if (toXlsx || toPdf)
        return writeList(ctx, list, toXlsx ? xlsx : pdf, toXlsx, [&] { return SeasonReports::standings(ctx.dm(), list, *c); });
    for (const QString &line : list.csvLines())
        out() << line << '\n';
    out().flush();
    return 0;
}

int runDelete(CliContext &ctx)
{
    if (ctx.args.size() != 1)
        return usage(ctx, QStringLiteral("championship delete NAME"));
    return Championships::remove(ctx.dm(), ctx.args.first(), ctx.sink) ? 0 : 1;
}

int runChampionship(CliContext &ctx)
{
    const QString sub = ctx.args.isEmpty() ? QString() : ctx.args.takeFirst();
    if (sub == QLatin1String("save"))
        return runSave(ctx);
    if (sub == QLatin1String("list"))
        return runList(ctx);
    if (sub == QLatin1String("standings"))
        return runStandings(ctx);
    if (sub == QLatin1String("delete"))
        return runDelete(ctx);
    return usage(ctx, QStringLiteral("championship save|list|standings|delete ..."));
}

int runPrizeList(CliContext &ctx)
{
    QString pdf;
    const bool toPdf = ctx.takeOption(QStringLiteral("--pdf"), &pdf);
    Season::PointsRule rule;
    if (!takeInt(ctx, QStringLiteral("--ratio"), &rule.ratio, 1))
        return 2;
    if (ctx.args.size() != 1)
        return usage(ctx, QStringLiteral("prize-list RACECODE [--ratio N] [--pdf FILE]"));
    const Season::PrizeList pl = Season::prizeList(ctx.dm(), ctx.args.first(), rule);
    PrizeListTable list;
    list.load(pl, rule.scheme);
    if (toPdf)
        return writeList(ctx, list, pdf, false, [&] {
            return SeasonReports::prizeList(ctx.dm(), list, Season::prizeRaceLine(ctx.dm(), pl.raceCode), Season::prizeSummary(pl, rule));
        });
    for (const QString &line : list.csvLines())
        out() << line << '\n';
    out().flush();
    ctx.sink.info(QStringLiteral("%1 entries, %2 prizes at 1 in %3").arg(pl.entries).arg(pl.prizes).arg(rule.ratio));
    return 0;
}

CliRegistrar regChampionship(CliCommand{QStringLiteral("championship"),
                              QStringLiteral("championship save|list|standings|delete ..."),
                              QStringLiteral("season championships: save NAME --races RC,RC --scheme "
                                             "linear|coefficient, list, standings NAME aces|lofts, delete NAME"),
                              runChampionship, true});
CliRegistrar regPrizeList(CliCommand{QStringLiteral("prize-list"), QStringLiteral("prize-list RACECODE [--ratio N] [--pdf FILE]"),
                           QStringLiteral("a race's prize winners with their linear points (1 in N, default 4)"),
                           runPrizeList, true});
} // namespace
