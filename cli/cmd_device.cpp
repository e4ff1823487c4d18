#include "cli/clicommand.h"

#include "device/deviceaccess.h"
#include "device/deviceerrors.h"
#include "device/devicelink.h"
#include "device/twinapiv8.h"

#include <QTextStream>

namespace {

// A driver on the port chosen by --port, ORVS.ini or the one-port rule.
std::unique_ptr<TWinApiV8> openDriver(CliContext &ctx)
{
    DeviceLink::configure({ctx.port, ctx.trace, ctx.dataDir});
    return std::make_unique<TWinApiV8>(&ctx.sink);
}

struct Session
{
    QString deviceNo, loftNo;
    QByteArray key;
};

// GetDeviceNo, DiverseKey, ComVerify, with the messages the pages show.
bool verify(CliContext &ctx, TWinApiV8 &api, Session *s, bool printIdentity)
{
    DeviceIdentity id;
    if (!DeviceAccess::identify(api, id)) {
        ctx.sink.failure(QStringLiteral("Please connect to club antenna and clock."));
        if (!api.lastError().isEmpty())
            ctx.sink.info(api.lastError());
        return false;
    }
    s->deviceNo = id.deviceNo;
    s->loftNo = id.owner;
    if (printIdentity) {
        ctx.sink.info(QStringLiteral("DeviceNo: ") + s->deviceNo);
        ctx.sink.info(QStringLiteral("LoftNo: ") + s->loftNo);
    }
    if (!DeviceAccess::verify(api, id)) {
        ctx.sink.failure(QStringLiteral("ComVerify Error :"));
        if (!api.lastError().isEmpty())
            ctx.sink.info(api.lastError());
        return false;
    }
    s->key = id.commKey;
    return true;
}

int runInfo(CliContext &ctx)
{
    auto api = openDriver(ctx);
    Session s;
    if (!verify(ctx, *api, &s, true))
        return 1;
    ctx.sink.success(QStringLiteral("Verified"));
    return 0;
}

int runAntennaId(CliContext &ctx)
{
    auto api = openDriver(ctx);
    QString reply;
    if (!api->GetClubAntennaID(QString(), reply)) {
        ctx.sink.failure(QStringLiteral("GetClubAntennaID Error :") + reply);
        return 1;
    }
    ctx.sink.success(QStringLiteral("AntennaID: ") + reply);
    return 0;
}

int runDisplay(CliContext &ctx)
{
    if (ctx.args.isEmpty()) {
        ctx.sink.failure(QStringLiteral("device-display needs the text to show"));
        return 2;
    }
    auto api = openDriver(ctx);
    Session s;
    if (!verify(ctx, *api, &s, false))
        return 1;
    if (!api->DispMessage(ctx.args.join(QLatin1Char(' ')))) {
        ctx.sink.failure(QStringLiteral("DispMessage Error :") + api->lastError());
        return 1;
    }
    ctx.sink.success(QStringLiteral("Shown on ") + s.deviceNo);
    return 0;
}

int runGet(CliContext &ctx)
{
    const QString what = ctx.args.value(0);
    const QString fields = ctx.args.value(1);
    if ((what != QLatin1String("loft") && what != QLatin1String("club") && what != QLatin1String("params")) ||
        fields.isEmpty()) {
        ctx.sink.failure(QStringLiteral("usage: device-get loft|club|params FIELD%FIELD..."));
        return 2;
    }
    auto api = openDriver(ctx);
    Session s;
    if (!verify(ctx, *api, &s, false))
        return 1;
    QString reply;
    const bool ok = what == QLatin1String("loft")   ? api->GetLoftInfo(s.key, fields, reply)
                    : what == QLatin1String("club") ? api->GetClubInfo(s.key, fields, reply)
                                                    : api->GetParams(s.key, fields, reply);
    const QString op = what == QLatin1String("loft")   ? QStringLiteral("GetLoftInfo")
                       : what == QLatin1String("club") ? QStringLiteral("GetClubInfo")
                                                       : QStringLiteral("GetParams");
    if (!ok) {
        ctx.sink.failure(op + QStringLiteral(" Error :") + reply);
        return 1;
    }
    QTextStream(stdout) << reply << "\n";
    return 0;
}

// Lists the races or the pigeons the connected clock holds, one a line, values "%"-separated.
int runList(CliContext &ctx, bool races)
{
    auto api = openDriver(ctx);
    Session s;
    if (!verify(ctx, *api, &s, false))
        return 1;
    const QString filter = ctx.args.value(0);
    QString reply;
    int count = 0;
    const bool ok =
        races ? api->QueryRace(s.key, filter, count, reply) : api->QueryPigeons(s.key, filter, count, reply);
    if (!ok) {
        ctx.sink.failure((races ? QStringLiteral("QueryRace Error : ") : QStringLiteral("QueryPigeons Error : ")) +
                         (reply.isEmpty() ? api->lastError() : reply));
        return 1;
    }
    const QString fields = races
                               ? QStringLiteral("RaceCode%LiberCode%LiberTime%MarkDeviceTime%MarkReaderTime%"
                                                "RaceStopDeviceTIme%RaceStopReaderTIme")
                               : QStringLiteral("AssocNum%Uid%EringNum%UpdateTime%Year%Sex%Color");
    QTextStream out(stdout);
    out << fields << "\n";
    bool allRead = true;
    LinkWatch watch(*api);
    for (int i = 0; i < count; ++i) {
        const bool got =
            races ? api->GetRaceInfo(s.key, i, fields, reply) : api->GetPigeonInfo(s.key, i, fields, reply);
        if (!watch.next(got)) {
            ctx.sink.failure(QStringLiteral("%1; %2 of %3 not read").arg(watch.reason()).arg(count - i).arg(count));
            allRead = false;
            break;
        }
        if (!got) {
            ctx.sink.failure(
                (races ? QStringLiteral("GetRaceInfo Error : ") : QStringLiteral("GetPigeonInfo Error : ")) +
                reply);
            allRead = false;
            continue;
        }
        out << reply << "\n";
    }
    out.flush();
    ctx.sink.info(QStringLiteral("%1 %2").arg(count).arg(races ? QStringLiteral("race(s)")
                                                               : QStringLiteral("pigeon(s)")));
    return allRead ? 0 : 1;
}

CliRegistrar regInfo({QStringLiteral("device-info"), QStringLiteral("device-info"),
                      QStringLiteral("read and verify the connected clock or antenna: number, owner"),
                      runInfo});
CliRegistrar regAntenna({QStringLiteral("device-antenna-id"), QStringLiteral("device-antenna-id"),
                         QStringLiteral("read the club antenna's identity"), runAntennaId});
CliRegistrar regDisplay({QStringLiteral("device-display"), QStringLiteral("device-display TEXT"),
                         QStringLiteral("show a text on the connected device's display"), runDisplay});
CliRegistrar regGet({QStringLiteral("device-get"), QStringLiteral("device-get loft|club|params FIELDS"),
                     QStringLiteral("read values from the device, e.g. device-get loft OwnerName%City"),
                     runGet});
CliRegistrar regRaces({QStringLiteral("device-races"), QStringLiteral("device-races [FILTER]"),
                       QStringLiteral("list the races the connected clock holds"),
                       [](CliContext &ctx) { return runList(ctx, true); }});
CliRegistrar regPigeons({QStringLiteral("device-pigeons"), QStringLiteral("device-pigeons [FILTER]"),
                         QStringLiteral("list the pigeons the connected clock holds"),
                         [](CliContext &ctx) { return runList(ctx, false); }});
} // namespace
