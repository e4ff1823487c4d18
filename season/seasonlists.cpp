#include "season/seasonlists.h"

#include "office/workbook.h"

#include <QLocale>
#include <QSqlRecord>

namespace {
QString csvField(const QString &v)
{
    if (!v.contains(QLatin1Char(',')) && !v.contains(QLatin1Char('"')))
        return v;
    QString q = v;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString totalTitle(Season::Scheme s)
{
    return s == Season::Scheme::Coefficient ? QStringLiteral("Coefficient") : QStringLiteral("Points");
}

int scoreDecimals(Season::Scheme s)
{
    return s == Season::Scheme::Coefficient ? 3 : 2;
}

double scoreValue(qint64 v, Season::Scheme s)
{
    return static_cast<double>(v) / (s == Season::Scheme::Coefficient ? 1000.0 : 100.0);
}
} // namespace

void SeasonList::numberColumn(const QString &field, const QString &title, int decimals)
{
    decimals_.insert(field, decimals);
    addColumn(field, title, Qt::AlignRight | Qt::AlignVCenter, [field, decimals](const QSqlRecord &r) {
        QLocale loc = QLocale::system();
        loc.setNumberOptions(QLocale::OmitGroupSeparator);
        return loc.toString(r.value(field).toDouble(), 'f', decimals);
    });
}

void SeasonList::textColumn(const QString &field, const QString &title)
{
    addColumn(field, title);
}

QString SeasonList::exportText(int row, int column) const
{
    const QString &field = columns().at(static_cast<size_t>(column)).field;
    const QVariant v = value(row, field);
    const int d = decimalsOf(field);
    return d < 0 ? v.toString() : QString::number(v.toDouble(), 'f', d);
}

QStringList SeasonList::csvLines() const
{
    QStringList out;
    QStringList cells;
    for (const Column &c : columns())
        cells << c.field;
    out << cells.join(QLatin1Char(','));
    for (int r = 0; r < rowCount(); ++r) {
        cells.clear();
        for (int c = 0; c < columnCount(); ++c)
            cells << csvField(exportText(r, c));
        out << cells.join(QLatin1Char(','));
    }
    return out;
}

PrizeListTable::PrizeListTable(QObject *parent) : SeasonList(parent)
{
    load(Season::PrizeList(), Season::Scheme::Linear);
}

void PrizeListTable::load(const Season::PrizeList &pl, Season::Scheme scheme)
{
    title_ = QStringLiteral("Prize List %1").arg(pl.raceCode);
    setColumns({});
    decimals_.clear();
    numberColumn(QStringLiteral("Pos"), QStringLiteral("Pos."), 0);
    textColumn(QStringLiteral("PRingNo"), QStringLiteral("Ring"));
    textColumn(QStringLiteral("LoftNo"), QStringLiteral("Loft"));
    numberColumn(QStringLiteral("FlySpeed"), QStringLiteral("Velocity"), 3);
    numberColumn(QStringLiteral("Points"), totalTitle(scheme), scoreDecimals(scheme));
    const QSqlRecord tpl = recordTemplate({"Pos", "PRingNo", "LoftNo", "FlySpeed", "Points"});
    std::vector<QSqlRecord> rows;
    rows.reserve(pl.rows.size());
    for (const Season::Prize &p : pl.rows) {
        QSqlRecord r = tpl;
        r.setValue(0, p.pos);
        r.setValue(1, p.ringNo);
        r.setValue(2, p.loftNo);
        r.setValue(3, p.flySpeed);
        r.setValue(4, scoreValue(p.score, scheme));
        rows.push_back(r);
    }
    setRows(std::move(rows));
}

AceStandingList::AceStandingList(QObject *parent) : SeasonList(parent)
{
    load(Standings::Result());
}

void AceStandingList::load(const Standings::Result &res)
{
    title_ = QStringLiteral("Ace Pigeons");
    setColumns({});
    decimals_.clear();
    numberColumn(QStringLiteral("Rank"), QStringLiteral("Rank"), 0);
    textColumn(QStringLiteral("PRingNo"), QStringLiteral("Ring"));
    textColumn(QStringLiteral("LoftNo"), QStringLiteral("Loft"));
    numberColumn(QStringLiteral("Prizes"), QStringLiteral("Prizes"), 0);
    numberColumn(QStringLiteral("Counted"), QStringLiteral("Counted"), 0);
    numberColumn(QStringLiteral("Total"), totalTitle(res.scheme), scoreDecimals(res.scheme));
    const QSqlRecord tpl = recordTemplate({"Rank", "PRingNo", "LoftNo", "Prizes", "Counted", "Total"});
    std::vector<QSqlRecord> rows;
    rows.reserve(res.aces.size());
    for (const Standings::AceRow &a : res.aces) {
        QSqlRecord r = tpl;
        r.setValue(0, a.rank);
        r.setValue(1, a.ringNo);
        r.setValue(2, a.loftNo);
        r.setValue(3, a.prizes);
        r.setValue(4, a.counted);
        r.setValue(5, scoreValue(a.total, res.scheme));
        rows.push_back(r);
    }
    setRows(std::move(rows));
}

LoftStandingList::LoftStandingList(QObject *parent) : SeasonList(parent)
{
    load(Standings::Result());
}

void LoftStandingList::load(const Standings::Result &res)
{
    title_ = QStringLiteral("Best Lofts");
    setColumns({});
    decimals_.clear();
    numberColumn(QStringLiteral("Rank"), QStringLiteral("Rank"), 0);
    textColumn(QStringLiteral("LoftNo"), QStringLiteral("Loft"));
    textColumn(QStringLiteral("LoftName"), QStringLiteral("Name"));
    numberColumn(QStringLiteral("Total"), totalTitle(res.scheme), scoreDecimals(res.scheme));
    const QSqlRecord tpl = recordTemplate({"Rank", "LoftNo", "LoftName", "Total"});
    std::vector<QSqlRecord> rows;
    rows.reserve(res.lofts.size());
    for (const Standings::LoftRow &l : res.lofts) {
        QSqlRecord r = tpl;
        r.setValue(0, l.rank);
        r.setValue(1, l.loftNo);
        r.setValue(2, l.loftName);
        r.setValue(3, scoreValue(l.total, res.scheme));
        rows.push_back(r);
    }
    setRows(std::move(rows));
}

bool saveSeasonWorkbook(const SeasonList &list, const QString &path, QString *error)
{
    QStringList fields;
    for (const RecordTable::Column &c : list.columns())
        fields << c.field;
    WorkbookWriter w(fields);
    for (int c = 0; c < fields.size(); ++c) {
        const int d = list.decimalsOf(fields.at(c));
        if (d < 0) {
            w.setTextColumn(c); // ring and loft numbers keep their leading zeros
            w.setWidth(c, fields.at(c) == QLatin1String("LoftName") ? 30 : 20);
        } else {
            w.setNumberFormat(c, d == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(d, QLatin1Char('0')));
            w.setWidth(c, 12);
        }
    }
    for (int r = 0; r < list.rowCount(); ++r) {
        QVariantList values;
        for (const QString &f : fields)
            values << list.value(r, f);
        w.addRow(values);
    }
    return w.save(path, error);
}
