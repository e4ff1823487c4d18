#include "season/seasonlists.h"

#include "races/ranking.h"

#include <QLocale>

namespace SeasonLists {

namespace {
QString localeScore(qint64 v, Season::Scheme s)
{
    QLocale loc = QLocale::system();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return s == Season::Scheme::Coefficient ? loc.toString(static_cast<double>(v) / 1000.0, 'f', 3)
                                            : loc.toString(static_cast<double>(v) / 100.0, 'f', 2);
}

QString totalTitle(Season::Scheme s)
{
    return s == Season::Scheme::Coefficient ? QStringLiteral("Coefficient") : QStringLiteral("Points");
}

QString csvField(const QString &v)
{
    if (!v.contains(QLatin1Char(',')) && !v.contains(QLatin1Char('"')))
        return v;
    QString q = v;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

Table prizeTable(const Season::PrizeList &pl, Season::Scheme scheme)
{
    Table t;
    t.title = QStringLiteral("Prize list %1: %2 entries, %3 prizes").arg(pl.raceCode).arg(pl.entries).arg(pl.prizes);
    t.columns = {{QStringLiteral("Pos"), QStringLiteral("Pos."), true},
                 {QStringLiteral("PRingNo"), QStringLiteral("Ring"), false},
                 {QStringLiteral("LoftNo"), QStringLiteral("Loft"), false},
                 {QStringLiteral("FlySpeed"), QStringLiteral("Velocity"), true},
                 {QStringLiteral("Points"), totalTitle(scheme), true}};
    for (const Season::Prize &p : pl.rows) {
        t.raw.push_back({p.pos, p.ringNo, p.loftNo, QString::asprintf("%.3f", p.flySpeed),
                         Season::scoreText(p.score, scheme)});
        t.shown.push_back({QString::number(p.pos), p.ringNo, p.loftNo, Ranking::velocityDisplay(p.flySpeed),
                           localeScore(p.score, scheme)});
    }
    return t;
}

Table aceTable(const Standings::Result &r)
{
    Table t;
    t.title = QStringLiteral("Ace pigeons");
    t.columns = {{QStringLiteral("Rank"), QStringLiteral("Rank"), true},
                 {QStringLiteral("PRingNo"), QStringLiteral("Ring"), false},
                 {QStringLiteral("LoftNo"), QStringLiteral("Loft"), false},
                 {QStringLiteral("Prizes"), QStringLiteral("Prizes"), true},
                 {QStringLiteral("Counted"), QStringLiteral("Counted"), true},
                 {QStringLiteral("Total"), totalTitle(r.scheme), true}};
    for (const auto &a : r.aces) {
        t.raw.push_back({a.rank, a.ringNo, a.loftNo, a.prizes, a.counted, Season::scoreText(a.total, r.scheme)});
        t.shown.push_back({QString::number(a.rank), a.ringNo, a.loftNo, QString::number(a.prizes),
                           QString::number(a.counted), localeScore(a.total, r.scheme)});
    }
    return t;
}

Table loftTable(const Standings::Result &r)
{
    Table t;
    t.title = QStringLiteral("Best lofts");
    t.columns = {{QStringLiteral("Rank"), QStringLiteral("Rank"), true},
                 {QStringLiteral("LoftNo"), QStringLiteral("Loft"), false},
                 {QStringLiteral("LoftName"), QStringLiteral("Name"), false},
                 {QStringLiteral("Total"), totalTitle(r.scheme), true}};
    for (const auto &l : r.lofts) {
        t.raw.push_back({l.rank, l.loftNo, l.loftName, Season::scoreText(l.total, r.scheme)});
        t.shown.push_back({QString::number(l.rank), l.loftNo, l.loftName, localeScore(l.total, r.scheme)});
    }
    return t;
}

QStringList csvLines(const Table &t)
{
    QStringList out;
    QStringList head;
    for (const Column &c : t.columns)
        head << c.field;
    out << head.join(QLatin1Char(','));
    for (const QVariantList &row : t.raw) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << csvField(v.toString());
        out << cells.join(QLatin1Char(','));
    }
    return out;
}

} // namespace SeasonLists
