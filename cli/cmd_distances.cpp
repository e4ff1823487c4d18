#include "cli/clicommand.h"

#include "races/coordinates.h"
#include "races/distances.h"

#include <QTextStream>

namespace {
int usage(CliContext &ctx, const QString &text)
{
    ctx.sink.failure(QStringLiteral("Usage: pennavox-cli ") + text);
    return 2;
}

const QString DistanceUsage = QStringLiteral("distance LAT1 LON1 LAT2 LON2 [--method club|wgs84]");

// Needs no database: a quick check of two positions by either method.
int runDistance(CliContext &ctx)
{
    QString methodText = QStringLiteral("club");
    ctx.takeOption(QStringLiteral("--method"), &methodText);
    if (ctx.args.size() != 4)
        return usage(ctx, DistanceUsage);
    Coordinates::DistanceMethod method;
    if (methodText == QLatin1String("club"))
        method = Coordinates::DistanceMethod::ClubFormula;
    else if (methodText == QLatin1String("wgs84"))
        method = Coordinates::DistanceMethod::Wgs84;
    else
        return usage(ctx, DistanceUsage);
    double v[4];
    for (int i = 0; i < 4; ++i) {
        const Coordinates::Parsed p = Coordinates::parseDegreesOrText(ctx.args.at(i));
        if (!p.ok) {
            ctx.sink.failure(p.message);
            return 1;
        }
        v[i] = p.degrees;
    }
    const bool latitudesOk = qAbs(v[0]) <= 90 && qAbs(v[2]) <= 90;
    if (!latitudesOk) {
        ctx.sink.failure(QStringLiteral("A latitude lies between -90 and 90 degrees"));
        return 1;
    }
    QTextStream(stdout) << QString::number(Coordinates::metresBetween(v[0], v[1], v[2], v[3], method), 'f', 3)
                        << '\n';
    return 0;
}

int runRecalcDistances(CliContext &ctx)
{
    if (ctx.args.size() != 1)
        return usage(ctx, QStringLiteral("recalc-distances LIBERCODE"));
    return Distances::recalculatePoint(ctx.dm(), ctx.args.first(), ctx.sink) < 0 ? 1 : 0;
}

CliRegistrar distance({QStringLiteral("distance"), DistanceUsage,
                       QStringLiteral("metres between two positions (decimal degrees or coordinate texts), "
                                      "by the club formula or the WGS84 geodesic"),
                       runDistance});
CliRegistrar recalcDistances({QStringLiteral("recalc-distances"),
                              QStringLiteral("recalc-distances LIBERCODE"),
                              QStringLiteral("recompute every loft's distance to a liberation point by the "
                                             "club's distance method"),
                              runRecalcDistances});
} // namespace
