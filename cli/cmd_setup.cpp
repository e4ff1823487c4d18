#include "cli/clicommand.h"

#include "app/startup.h"
#include "device/devicelink.h"
#include "device/twinapiv8.h"
#include "setup/backuprestore.h"
#include "setup/clubdownload.h"
#include "store/appclock.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"

#include <QDir>

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

// The backup the program takes at start, for a club kept by scheduled tasks rather than the window.
int runAutoBackup(CliContext &ctx)
{
    if (!ctx.args.isEmpty()) {
        ctx.sink.failure(QStringLiteral("auto-backup takes no arguments"));
        return 2;
    }
    TdmORVS &dm = ctx.dm();
    const auto r = Startup::automaticBackup(dm, ClubSettings::load(dm).backupDays, AppClock::today());
    const QString folder = QDir::toNativeSeparators(Startup::backupFolderFor(dm));
    switch (r.outcome) {
    case Startup::BackupResult::Created:
        ctx.sink.success(QStringLiteral("Backup created in %1").arg(folder));
        break;
    case Startup::BackupResult::Renewed:
        ctx.sink.success(QStringLiteral("Backup renewed in %1, the previous one archived").arg(folder));
        break;
    case Startup::BackupResult::NotDue:
        ctx.sink.success(QStringLiteral("The backup in %1 is not yet due").arg(folder));
        break;
    case Startup::BackupResult::Failed:
        ctx.sink.failure(QStringLiteral("Database backup failed: %1").arg(r.error));
        return 1;
    }
    return 0;
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
CliRegistrar autoBackup({QStringLiteral("auto-backup"), QStringLiteral("auto-backup"),
                         QStringLiteral("take the backup of the program's start (renewed when due)"), runAutoBackup});
CliRegistrar clubDownload({QStringLiteral("club-download"), QStringLiteral("club-download"),
                           QStringLiteral("tie the connected antenna to the club and write the club's record"),
                           runClubDownload});
} // namespace
