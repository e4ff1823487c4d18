#include "cli/clicommand.h"

#include "clockops/clocksession.h"
#include "clockops/markedupload.h"
#include "clockops/multiupload.h"
#include "clockops/racechoice.h"
#include "clockops/resultupload.h"
#include "clockops/syncpass.h"
#include "device/devicelink.h"
#include "device/twinapiv8.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"

#include <QTextStream>
#include <memory>

// One pass or poll for the clock now connected to the antenna, as the clock page runs it.
namespace {
std::unique_ptr<TWinApiV8> openDriver(CliContext &ctx)
{
    DeviceLink::configure({ctx.port, ctx.trace, ctx.dataDir});
    return std::make_unique<TWinApiV8>(&ctx.sink);
}

bool chooseRace(CliContext &ctx, ClockSession &s)
{
    if (ctx.args.isEmpty()) {
        ctx.sink.failure(QStringLiteral("Please. Select Race Code !"));
        return false;
    }
    if (!RaceChoice::choose(ctx.dm(), ctx.args.first(), s)) {
        ctx.sink.failure(QStringLiteral("Race %1 not found").arg(ctx.args.first()));
        return false;
    }
    return true;
}

// A session that knows the club's antenna when it answers alone.
ClockSession newSession(CliContext &ctx)
{
    ClockSession s;
    s.AntennaOwner = ClubSettings::load(ctx.dm()).clubId;
    return s;
}

int outcomeCode(PollOutcome o)
{
    return o == PollOutcome::Done ? 0 : 1;
}

int runSync(CliContext &ctx)
{
    ClockSession s = newSession(ctx);
    s.SyncAllFlag = ctx.takeFlag(QStringLiteral("--all"));
    auto api = openDriver(ctx);
    SyncPass pass(ctx.dm(), *api, s, ctx.sink);
    const PollOutcome o = pass.run();
    return o == PollOutcome::Done && pass.succeeded() ? 0 : 1;
}

int runMarked(CliContext &ctx)
{
    ClockSession s = newSession(ctx);
    if (!chooseRace(ctx, s))
        return 1;
    auto api = openDriver(ctx);
    return outcomeCode(MarkedUpload(ctx.dm(), *api, s, ctx.sink).poll());
}

int runResult(CliContext &ctx)
{
    ClockSession s = newSession(ctx);
    if (!chooseRace(ctx, s))
        return 1;
    auto api = openDriver(ctx);
    return outcomeCode(ResultUpload(ctx.dm(), *api, s, ctx.sink).poll());
}

int runMulti(CliContext &ctx)
{
    ClockSession s = newSession(ctx);
    auto api = openDriver(ctx);
    return outcomeCode(MultiUpload(ctx.dm(), *api, s, ctx.sink).poll());
}

CliRegistrar sync({QStringLiteral("sync"), QStringLiteral("sync [--all]"),
                   QStringLiteral("synchronise the connected clock (--all: full download)"), runSync});
CliRegistrar marked({QStringLiteral("marked-upload"), QStringLiteral("marked-upload RACECODE"),
                     QStringLiteral("read the birds marked for a race from the connected clock"), runMarked});
CliRegistrar result({QStringLiteral("result-upload"), QStringLiteral("result-upload RACECODE"),
                     QStringLiteral("read the arrivals of a race from the connected clock and rank them"), runResult});
CliRegistrar multi({QStringLiteral("multi-upload"), QStringLiteral("multi-upload"),
                    QStringLiteral("read the arrivals of every race the connected clock holds"), runMulti});
} // namespace
