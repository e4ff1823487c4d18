#include "season/print/seasonreports.h"

#include "report/report.h"
#include "report/reportpdf.h"
#include "season/championship.h"
#include "season/seasonlists.h"
#include "store/appclock.h"
#include "store/tableobject.h"

namespace SeasonReports {

namespace {
std::unique_ptr<Report> base(TdmORVS &dm, const QString &formName, const SeasonList &list)
{
    auto r = std::make_unique<Report>(formName);
    const ClubSettings club = ClubSettings::load(dm);
    r->setHeading(ClubHeading::of(club));
    r->setModel(&list);
    r->setPrintTime(AppClock::now());
    return r;
}

QString scoringLine(const Championship &c)
{
    QString s = QStringLiteral("1 prize in %1").arg(c.rule.ratio);
    if (c.rule.scheme == Season::Scheme::Coefficient)
        s += QStringLiteral(", coefficient (position x 100 / entries, lower is better)");
    else
        s += QStringLiteral(", points %1 to %2")
                 .arg(Season::scoreText(c.rule.maxHundredths, Season::Scheme::Linear),
                      Season::scoreText(c.rule.minHundredths, Season::Scheme::Linear));
    return s;
}
} // namespace

std::unique_ptr<Report> prizeList(TdmORVS &dm, const SeasonList &list, const QString &raceLine,
                                  const QString &summary)
{
    auto r = base(dm, QStringLiteral("frmPrtPrizeList"), list);
    r->addTitle(QStringLiteral("qrlPrizeTitle"), QStringLiteral("Prize List"));
    r->addTitle(QStringLiteral("qrlPrizeRace"), QString(), raceLine);
    r->addTitle(QStringLiteral("qrlPrizeSum"), QString(), summary);
    r->addModelColumns();
    r->translate(dm, ClubSettings::load(dm).language);
    return r;
}

std::unique_ptr<Report> standings(TdmORVS &dm, const SeasonList &list, const Championship &c)
{
    const bool aces = list.columnOfField(QStringLiteral("PRingNo")) >= 0;
    auto r = base(dm, aces ? QStringLiteral("frmPrtAcePigeons") : QStringLiteral("frmPrtBestLofts"), list);
    r->addTitle(QStringLiteral("qrlStandTitle"), aces ? QStringLiteral("Ace Pigeons") : QStringLiteral("Best Lofts"));
    r->addTitle(QStringLiteral("qrlStandName"), QStringLiteral("Championship : "), c.name);
    r->addTitle(QStringLiteral("qrlStandRaces"), QStringLiteral("Races : "), c.races.join(QStringLiteral(", ")));
    QString counting = scoringLine(c);
    if (aces)
        counting += c.bestCount > 0 ? QStringLiteral("; best %1 results per pigeon").arg(c.bestCount)
                                    : QStringLiteral("; every result counts");
    else
        counting += QStringLiteral("; first %1 birds of each loft per race").arg(c.loftBirds);
    r->addTitle(QStringLiteral("qrlStandScoring"), QString(), counting);
    r->addModelColumns();
    r->translate(dm, ClubSettings::load(dm).language);
    return r;
}

bool writePdf(const Report &report, const QString &path, QString *error)
{
    return ReportPdf::writeFile(report, path, error) > 0;
}

} // namespace SeasonReports
