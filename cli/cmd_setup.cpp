#include "cli/clicommand.h"

#include "device/devicelink.h"
#include "device/twinapiv8.h"
#include "setup/backuprestore.h"
#include "setup/clubdownload.h"
#include "store/appclock.h"
#include "store/tdmorvs.h"

namespace {
int runBackup(CliContext &ctx)
{
    if (ctx.args.size() != 1) {
        ctx.sink.failure(QStringLiteral("backup takes one file name"));
        return 2;
    }
    return BackupRestore::backup(ctx.dm(), ctx.args.first(), AppClock::today(), ctx.sink) ? 0 : 1;
}

int runRestore(CliContext &ctx)
{
    if (ctx.args.size() != 1) {
        ctx.sink.failure(QStringLiteral("restore takes one file name"));
        return 2;
    }
    return BackupRestore::restore(ctx.dm(), ctx.args.first(), ctx.sink) ? 0 : 1;
}

int runClubDownload(CliContext &ctx)
{
    DeviceLink::configure({ctx.port, ctx.trace, ctx.dataDir});
    TWinApiV8 driver(&ctx.sink);
    return ClubDataDownload(ctx.dm(), driver, ctx.sink).run() ? 0 : 1;
}

CliRegistrar backup({QStringLiteral("backup"), QStringLiteral("backup FILE"),
                     QStringLiteral("copy the database to FILE_yymmdd.Bak"), runBackup});
CliRegistrar restore({QStringLiteral("restore"), QStringLiteral("restore FILE"),
                      QStringLiteral("put a backup in place of the database (checked first)"), runRestore});
CliRegistrar clubDownload({QStringLiteral("club-download"), QStringLiteral("club-download"),
                           QStringLiteral("tie the connected antenna to the club and write the club's record"),
                           runClubDownload});
} // namespace
