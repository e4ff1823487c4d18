#include "season/standings.h"

#include "store/tdmorvs.h"

#include <QHash>
#include <QSqlQuery>
#include <algorithm>

namespace Standings {

namespace {
struct Keys
{
    int counted = 0;
    qint64 total = 0;
    int prizes = 0;
    qint64 best = 0;
};

// <0 when a ranks before b, 0 when they share a rank.
int compareKeys(const Keys &a, const Keys &b, Season::Scheme scheme)
{
    auto cmp = [](qint64 x, qint64 y) { return x < y ? -1 : x > y ? 1 : 0; };
    if (scheme == Season::Scheme::Coefficient) {
        if (int d = cmp(b.counted, a.counted))
            return d;
        if (int d = cmp(a.total, b.total))
            return d;
        if (int d = cmp(b.prizes, a.prizes))
            return d;
        return cmp(a.best, b.best);
    }
    if (int d = cmp(b.total, a.total))
        return d;
    if (int d = cmp(b.prizes, a.prizes))
        return d;
    return cmp(b.best, a.best);
}

// Sorts rows by their keys (then by `name` for a steady order) and numbers them: 1 + the number
// of rows strictly ahead, so rows with equal keys share a rank.
template <class Row, class KeyFn, class NameFn>
void rankRows(std::vector<Row> &rows, Season::Scheme scheme, KeyFn keys, NameFn name)
{
    std::sort(rows.begin(), rows.end(), [&](const Row &a, const Row &b) {
        const int d = compareKeys(keys(a), keys(b), scheme);
        return d != 0 ? d < 0 : name(a) < name(b);
    });
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].rank = i > 0 && compareKeys(keys(rows[i - 1]), keys(rows[i]), scheme) == 0
                           ? rows[i - 1].rank
                           : static_cast<int>(i) + 1;
}

struct PigeonScores
{
    QString loftNo;
    std::vector<qint64> scores;
};
} // namespace

Result compute(TdmORVS &dm, const Championship &c)
{
    Result res;
    res.scheme = c.rule.scheme;
    const bool higher = c.rule.higherIsBetter();

    QHash<QString, PigeonScores> pigeons;
    QStringList pigeonOrder;
    QHash<QString, Keys> lofts; // counted and total
    for (const QString &code : c.races) {
        const int live =
            dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_RaceData WHERE RaceCode=? AND COALESCE(DeleteMark,0)=0"),
                      {code})
                .toInt();
        if (live == 0) {
            res.racesNotCounted << code;
            continue;
        }
        const Season::PrizeList pl = Season::prizeList(dm, code, c.rule);
        if (pl.entries == 0) {
            res.racesWithoutEntries << code;
            continue;
        }
        QHash<QString, int> takenOfLoft;
        for (const Season::Prize &p : pl.rows) {
            auto it = pigeons.find(p.ringNo);
            if (it == pigeons.end()) {
                it = pigeons.insert(p.ringNo, {p.loftNo, {}});
                pigeonOrder << p.ringNo;
            }
            it->scores.push_back(p.score);
            int &taken = takenOfLoft[p.loftNo];
            if (taken < c.loftBirds) {
                ++taken;
                Keys &l = lofts[p.loftNo];
                ++l.counted;
                l.total += p.score;
            }
        }
    }

    res.aces.reserve(pigeonOrder.size());
    for (const QString &ring : pigeonOrder) {
        PigeonScores &ps = pigeons[ring];
        std::sort(ps.scores.begin(), ps.scores.end(),
                  [higher](qint64 a, qint64 b) { return higher ? a > b : a < b; });
        AceRow row;
        row.ringNo = ring;
        row.loftNo = ps.loftNo;
        row.prizes = static_cast<int>(ps.scores.size());
        row.counted = c.bestCount > 0 ? std::min(c.bestCount, row.prizes) : row.prizes;
        for (int i = 0; i < row.counted; ++i)
            row.total += ps.scores[static_cast<size_t>(i)];
        row.best = ps.scores.front();
        res.aces.push_back(row);
    }
    rankRows(
        res.aces, c.rule.scheme, [](const AceRow &r) { return Keys{r.counted, r.total, r.prizes, r.best}; },
        [](const AceRow &r) { return r.ringNo; });

    QHash<QString, QString> names;
    if (!lofts.isEmpty()) {
        QSqlQuery q = dm.exec(QStringLiteral("SELECT LoftNo, LoftName FROM ORV_LoftData ORDER BY rowid"));
        while (q.next())
            if (!names.contains(q.value(0).toString()))
                names.insert(q.value(0).toString(), q.value(1).toString());
    }
    for (auto it = lofts.cbegin(); it != lofts.cend(); ++it) {
        LoftRow row;
        row.loftNo = it.key();
        row.loftName = names.value(it.key());
        row.counted = it->counted;
        row.total = it->total;
        res.lofts.push_back(row);
    }
    // Lofts: the total (coefficients: more counted birds first), then more counted birds.
    rankRows(
        res.lofts, c.rule.scheme, [](const LoftRow &r) { return Keys{r.counted, r.total, r.counted, 0}; },
        [](const LoftRow &r) { return r.loftNo; });
    return res;
}

} // namespace Standings
