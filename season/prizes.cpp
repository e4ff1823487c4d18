#include "season/prizes.h"

#include "races/flytime.h"
#include "races/raceinfo.h"
#include "races/ranking.h"
#include "store/tdmorvs.h"

#include <QRegularExpression>

namespace Season {

namespace {
// num / den rounded to the nearest whole number, halves away from zero; den > 0.
qint64 roundedQuotient(qint64 num, qint64 den)
{
    const qint64 q = (2 * (num < 0 ? -num : num) + den) / (2 * den);
    return num < 0 ? -q : q;
}
} // namespace

QString schemeName(Scheme s)
{
    return s == Scheme::Coefficient ? QStringLiteral("coefficient") : QStringLiteral("linear");
}

bool schemeFromName(const QString &name, Scheme *out)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("linear"))
        *out = Scheme::Linear;
    else if (n == QLatin1String("coefficient"))
        *out = Scheme::Coefficient;
    else
        return false;
    return true;
}

int prizeCount(int entries, int ratio)
{
    if (entries <= 0 || ratio <= 0)
        return 0;
    return (entries + ratio - 1) / ratio;
}

qint64 linearPoints(int position, int prizes, qint64 maxHundredths, qint64 minHundredths)
{
    if (prizes <= 1 || position <= 1)
        return maxHundredths;
    // Rounded once, on the points themselves: max - (max - min) * (p - 1) / (P - 1).
    const qint64 den = prizes - 1;
    return roundedQuotient(maxHundredths * den - (maxHundredths - minHundredths) * (position - 1), den);
}

qint64 coefficient(int position, int entries)
{
    if (entries <= 0)
        return 0;
    return roundedQuotient(static_cast<qint64>(position) * 100000, entries);
}

qint64 score(const PointsRule &rule, int position, int prizes, int entries)
{
    return rule.scheme == Scheme::Coefficient ? coefficient(position, entries)
                                              : linearPoints(position, prizes, rule.maxHundredths,
                                                             rule.minHundredths);
}

QString scoreText(qint64 value, Scheme scheme)
{
    const int decimals = scheme == Scheme::Coefficient ? 3 : 2;
    const qint64 unit = scheme == Scheme::Coefficient ? 1000 : 100;
    const qint64 a = value < 0 ? -value : value;
    return QStringLiteral("%1%2.%3")
        .arg(value < 0 ? QStringLiteral("-") : QString())
        .arg(a / unit)
        .arg(a % unit, decimals, 10, QLatin1Char('0'));
}

bool parsePoints(const QString &text, qint64 *hundredths)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,9})(?:\\.(\\d{1,2}))?$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    QString frac = m.captured(2);
    while (frac.size() < 2)
        frac += QLatin1Char('0');
    *hundredths = m.captured(1).toLongLong() * 100 + frac.toInt();
    return true;
}

PrizeList prizeList(TdmORVS &dm, const QString &raceCode, const PointsRule &rule)
{
    PrizeList out;
    out.raceCode = raceCode;
    out.entries = dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_PigRaceData WHERE RaceCode=?"), {raceCode})
                      .toInt();
    out.prizes = prizeCount(out.entries, rule.ratio);
    if (out.prizes == 0)
        return out;
    // The race's one ranking: positions count every arrived entry, equal velocities share one.
    const std::vector<Ranking::Arrival> ranked = Ranking::resultList(dm, raceCode);
    for (const Ranking::Arrival &r : ranked) {
        if (r.pos > out.prizes)
            break; // the list is in position order
        if (FlyTime::thousandthsOf(r.flySpeed) <= 0)
            continue; // no velocity: not a placing
        out.rows.push_back(
            {r.pos, r.ringNo, r.loftNo.toString(), r.flySpeed, score(rule, r.pos, out.prizes, out.entries)});
    }
    return out;
}

QString prizeRaceLine(TdmORVS &dm, const QString &raceCode)
{
    const std::optional<RaceInfo> race = Races::findRace(dm, raceCode);
    if (!race)
        return raceCode;
    return QStringLiteral("%1 (%2) %3 - liberated %4 %5")
        .arg(race->liberSite, race->liberSiteAbbr, race->raceCode, race->liberDate.toString(Qt::ISODate),
             race->liberTime.toString(QStringLiteral("HH:mm:ss")));
}

QString prizeSummary(const PrizeList &pl, const PointsRule &rule)
{
    QString s = QStringLiteral("%1 birds basketed - %2 prizes (1 in %3)").arg(pl.entries).arg(pl.prizes).arg(rule.ratio);
    if (rule.scheme == Scheme::Linear)
        s += QStringLiteral(", points %1 to %2")
                 .arg(scoreText(rule.maxHundredths, rule.scheme), scoreText(rule.minHundredths, rule.scheme));
    else
        s += QStringLiteral(", coefficient = position x 100 / %1").arg(pl.entries);
    return s;
}

} // namespace Season
