#include "cli/clicommand.h"

#include "device/devicelink.h"
#include "device/twinapiv8.h"
#include "members/colours.h"
#include "members/loftdownload.h"
#include "members/memberlists.h"
#include "members/members.h"
#include "members/membersettings.h"
#include "members/rings.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QTextStream>

// The member page's operations on the command line.
namespace {
QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

bool needArgs(CliContext &ctx, int n, const QString &usage)
{
    if (ctx.args.size() >= n)
        return true;
    ctx.sink.failure(QStringLiteral("usage: pennavox-cli ") + usage);
    return false;
}

int exitCode(CliContext &ctx, bool ok)
{
    return ok && !ctx.sink.failed ? 0 : 1;
}

int runLoftDownload(CliContext &ctx)
{
    const bool init = ctx.takeFlag(QStringLiteral("--init"));
    if (!needArgs(ctx, 1, QStringLiteral("loft-download LOFTNO [--init]")))
        return 2;
    QString error;
    MemberSettings::current() = MemberSettings::read(ctx.dataDir, &error);
    if (!error.isEmpty())
        ctx.sink.info(error);
    ctx.sink.answer = init ? Answer::Yes : Answer::No;
    DeviceLink::configure({ctx.port, ctx.trace, ctx.dataDir});
    TWinApiV8 driver(&ctx.sink);
    if (!driver.isOpen())
        return 1;
    return exitCode(ctx, LoftDataDownload(ctx.dm(), driver, ctx.sink).run(ctx.args.first()));
}

int runMembers(CliContext &ctx)
{
    MemberList list(ctx.dm());
    list.load();
    printList(out(), list);
    out() << ValueText::count3(list.rowCount()) << " members\n";
    out().flush();
    return 0;
}

int runMemberSave(CliContext &ctx)
{
    const QString usage = QStringLiteral("member-save LOFTNO NAME [--assoc CODE] [--street T] [--city T] "
                                         "[--postcode T] [--phone T] [--email T] [--lon COORD] [--lat COORD]");
    MemberForm f;
    QString v;
    struct Opt
    {
        const char *name;
        QString *field;
    } opts[] = {{"--assoc", &f.associationCode}, {"--street", &f.street}, {"--city", &f.city},
                {"--postcode", &f.postCode},     {"--phone", &f.phone},   {"--email", &f.email},
                {"--lon", &f.lon},               {"--lat", &f.lat}};
    QVariantMap given;
    for (const Opt &o : opts)
        if (ctx.takeOption(QLatin1String(o.name), &v))
            given.insert(QLatin1String(o.name), v);
    if (!needArgs(ctx, 2, usage))
        return 2;
    // An existing member keeps what the options do not change, as the edit form would.
    const auto stored = Members::load(ctx.dm(), ctx.args.at(0));
    f = stored ? *stored : Members::blank(ctx.dm());
    f.loftNo = ctx.args.at(0);
    f.name = ctx.args.at(1);
    for (const Opt &o : opts)
        if (given.contains(QLatin1String(o.name)))
            *o.field = given.value(QLatin1String(o.name)).toString();
    const bool ok = Members::save(ctx.dm(), f, ctx.sink);
    if (ok)
        ctx.sink.success(QStringLiteral("Member %1 saved").arg(f.loftNo));
    return exitCode(ctx, ok);
}

int runMemberDelete(CliContext &ctx)
{
    ctx.sink.answer = ctx.takeFlag(QStringLiteral("--yes")) ? Answer::Yes : Answer::No;
    if (!needArgs(ctx, 1, QStringLiteral("member-delete LOFTNO [--yes]")))
        return 2;
    const bool ok = Members::remove(ctx.dm(), ctx.args.first(), ctx.sink);
    if (ok)
        ctx.sink.success(QStringLiteral("Member %1 deleted").arg(ctx.args.first()));
    return exitCode(ctx, ok);
}

int runRings(CliContext &ctx)
{
    if (!needArgs(ctx, 1, QStringLiteral("rings LOFTNO")))
        return 2;
    RingList list(ctx.dm());
    list.load(ctx.args.first());
    printList(out(), list);
    out() << ValueText::count3(list.rowCount()) << " rings\n";
    out().flush();
    return 0;
}

int runRingAdd(CliContext &ctx)
{
    RingEntry e;
    QString v;
    if (ctx.takeOption(QStringLiteral("--sex"), &v))
        e.sexText = v;
    if (ctx.takeOption(QStringLiteral("--colour"), &v))
        e.colourText = v;
    if (ctx.takeOption(QStringLiteral("--comment"), &v))
        e.comment = v;
    if (!needArgs(ctx, 5, QStringLiteral("ring-add LOFTNO COUNTRY YEAR LETTERS NUMBER [UPPER] "
                                         "[--sex Hen|Cock|Unknown] [--colour NAME] [--comment T]")))
        return 2;
    e.country = ctx.args.at(1).toUpper();
    e.year = ctx.args.at(2);
    e.letters = ctx.args.at(3).toUpper();
    e.number = ctx.args.at(4);
    e.upper = ctx.args.value(5);
    const QString loft = ctx.args.at(0);
    if (!Members::load(ctx.dm(), loft)) {
        ctx.sink.failure(QStringLiteral("Member %1 not found !").arg(loft));
        return 1;
    }
    // No ring is selected on the command line: an existing number is reported, not edited.
    const Rings::SaveResult r = Rings::save(ctx.dm(), loft, e, QString(), ctx.sink);
    if (r.ok)
        ctx.sink.success(QStringLiteral("Ring %1 saved").arg(r.lastRing));
    return exitCode(ctx, r.ok);
}

int runColours(CliContext &ctx)
{
    QString code;
    if (ctx.takeOption(QStringLiteral("--add"), &code)) {
        if (!needArgs(ctx, 1, QStringLiteral("colours [--add CODE NAME | --delete NAME]")))
            return 2;
        return exitCode(ctx, FeatherColours::add(ctx.dm(), code, ctx.args.first(), ctx.sink));
    }
    QString name;
    if (ctx.takeOption(QStringLiteral("--delete"), &name)) {
        ctx.sink.success(QStringLiteral("%1 colour(s) deleted").arg(FeatherColours::removeByName(ctx.dm(), name)));
        return 0;
    }
    const auto names = FeatherColours::names(ctx.dm());
    for (const QString &n : FeatherColours::boxItems(ctx.dm()).mid(1))
        out() << names.key(n) << ',' << n << '\n';
    out().flush();
    return 0;
}

CliRegistrar loftDownload({QStringLiteral("loft-download"), QStringLiteral("loft-download LOFTNO [--init]"),
                           QStringLiteral("write a member's loft and club data into the connected clock "
                                          "(--init: initialise it for the loft first)"),
                           runLoftDownload});
CliRegistrar members({QStringLiteral("members"), QStringLiteral("members"),
                      QStringLiteral("list the members with their clock counts"), runMembers});
CliRegistrar memberSave({QStringLiteral("member-save"), QStringLiteral("member-save LOFTNO NAME [--assoc CODE] ..."),
                         QStringLiteral("add a member, or update the member with that loft number"), runMemberSave});
CliRegistrar memberDelete({QStringLiteral("member-delete"), QStringLiteral("member-delete LOFTNO [--yes]"),
                           QStringLiteral("delete a member (--yes: also when it has live pigeons)"), runMemberDelete});
CliRegistrar rings({QStringLiteral("rings"), QStringLiteral("rings LOFTNO"),
                    QStringLiteral("list a member's live rings as the ring list shows them"), runRings});
CliRegistrar ringAdd({QStringLiteral("ring-add"),
                      QStringLiteral("ring-add LOFTNO COUNTRY YEAR LETTERS NUMBER [UPPER] [--sex S] [--colour C]"),
                      QStringLiteral("enter one ring, or a range up to UPPER"), runRingAdd});
CliRegistrar colours({QStringLiteral("colours"), QStringLiteral("colours [--add CODE NAME | --delete NAME]"),
                      QStringLiteral("list, add or delete feather colours"), runColours});
} // namespace
