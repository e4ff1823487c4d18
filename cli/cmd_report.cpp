#include "cli/clicommand.h"

#include "clockops/clockviews.h"
#include "clockops/racechoice.h"
#include "members/memberlists.h"
#include "races/raceinfo.h"
#include "races/racelists.h"
#include "races/racerecords.h"
#include "report/clockreports.h"
#include "report/memberreports.h"
#include "report/racereports.h"
#include "report/reportpdf.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"

#include <optional>

namespace {
const QStringList plainReports = {QStringLiteral("race-list"), QStringLiteral("member-list")};
const QStringList keyedReports = {QStringLiteral("member-distances"), QStringLiteral("race-status"),
                                  QStringLiteral("race-result"),      QStringLiteral("clock-result"),
                                  QStringLiteral("marked-list"),      QStringLiteral("ring-list")};

int failed(CliContext &ctx, const QString &text, int code = 1)
{
    ctx.sink.failure(text);
    return code;
}

std::optional<RaceRecords::Site> siteOf(TdmORVS &dm, const QString &liberCode)
{
    for (const auto &s : RaceRecords::sitesByName(dm))
        if (s.code == liberCode)
            return s;
    return std::nullopt;
}

// The race as the clock page's race box names it; the code alone for a race it does not list.
QString raceLabel(TdmORVS &dm, const QString &raceCode)
{
    for (const auto &item : RaceChoice::items(dm))
        if (item.raceCode == raceCode)
            return item.text;
    return raceCode;
}

std::unique_ptr<Report> raceReport(CliContext &ctx, const QString &name, const RaceInfo &race)
{
    TdmORVS &dm = ctx.dm();
    if (name == QLatin1String("race-status")) {
        RaceStatusList list(dm);
        list.load(race.raceCode);
        return RaceReports::raceStatus(dm, list, RaceReports::statusPanelTitle(race.liberSite), race);
    }
    if (name == QLatin1String("race-result")) {
        RaceResultList list(dm);
        list.load(race.raceCode);
        return RaceReports::raceResult(dm, list, race, list.summary().text());
    }
    if (name == QLatin1String("clock-result")) {
        ClockResultList list(dm);
        list.load(race.raceCode);
        return ClockReports::raceResult(dm, list, raceLabel(dm, race.raceCode), race.liberCode);
    }
    MarkedList list(dm);
    list.load(race.raceCode, false);
    return ClockReports::markedList(dm, list, raceLabel(dm, race.raceCode), race.liberCode);
}

int runReport(CliContext &ctx)
{
    QStringList args = ctx.args;
    const QString usage = QStringLiteral("Usage: pennavox-cli report NAME [KEY] FILE.pdf, NAME one of race-list, "
                                         "member-distances LIBERCODE, race-status RACECODE, race-result RACECODE, "
                                         "clock-result RACECODE, marked-list RACECODE, member-list, "
                                         "ring-list LOFTNO");
    if (args.isEmpty())
        return failed(ctx, usage, 2);
    const QString name = args.takeFirst();
    const bool keyed = keyedReports.contains(name);
    if (!keyed && !plainReports.contains(name))
        return failed(ctx, QStringLiteral("Unknown report %1. ").arg(name) + usage, 2);
    if (args.size() != (keyed ? 2 : 1))
        return failed(ctx, usage, 2);
    const QString key = keyed ? args.takeFirst() : QString();
    const QString file = args.takeFirst();

    TdmORVS &dm = ctx.dm();
    std::unique_ptr<Report> report;
    if (name == QLatin1String("race-list")) {
        RaceList list(dm);
        list.load();
        report = RaceReports::raceList(dm, list);
    } else if (name == QLatin1String("member-list")) {
        MemberList list(dm);
        list.load();
        report = MemberReports::memberList(dm, list);
    } else if (name == QLatin1String("member-distances")) {
        const auto site = siteOf(dm, key);
        if (!site)
            return failed(ctx, QStringLiteral("Unknown liberation code %1").arg(key));
        DistanceList list(dm, false);
        list.load(key);
        report = RaceReports::memberDistances(dm, list, RaceReports::distancePanelTitle(site->name));
    } else if (name == QLatin1String("ring-list")) {
        const QString memberName = LoftDistText::loftName(dm, key);
        if (dm.rows(QStringLiteral("SELECT 1 FROM ORV_LoftData WHERE LoftNo=? LIMIT 1"), {key}).empty())
            return failed(ctx, QStringLiteral("Unknown loft number %1").arg(key));
        RingList list(dm);
        list.load(key);
        report = MemberReports::ringList(dm, list, memberName, key);
    } else {
        const auto race = Races::findRace(dm, key);
        if (!race || race->deleted)
            return failed(ctx, QStringLiteral("Unknown race code %1").arg(key));
        report = raceReport(ctx, name, *race);
    }

    QString error;
    const int pages = ReportPdf::writeFile(*report, file, &error);
    if (pages == 0)
        return failed(ctx, error);
    ctx.sink.success(QStringLiteral("%1 (%2 pages)").arg(file).arg(pages));
    return 0;
}

const CliRegistrar reg{{QStringLiteral("report"), QStringLiteral("report NAME [KEY] FILE.pdf"),
                        QStringLiteral("writes a printed report as PDF (race-list, member-distances, race-status, "
                                       "race-result, clock-result, marked-list, member-list, ring-list)"),
                        runReport, true}};
} // namespace
