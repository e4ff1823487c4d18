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

void SeasonList::begin(const QString &title)
{
    title_ = title;
    setColumns({});
    decimals_.clear();
}

void SeasonList::setValues(const std::vector<QVariantList> &values)
{
    QStringList fields;
    for (const Column &c : columns())
        fields << c.field;
    const QSqlRecord tpl = recordTemplate(fields);
    std::vector<QSqlRecord> rows;
    rows.reserve(values.size());
    for (const QVariantList &v : values) {
        QSqlRecord r = tpl;
        for (int i = 0; i < v.size() && i < fields.size(); ++i)
            r.setValue(i, v.at(i));
        rows.push_back(r);
    }
    setRows(std::move(rows));
}

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
    begin(QStringLiteral("Prize List %1").arg(pl.raceCode));
    numberColumn(QStringLiteral("Pos"), QStringLiteral("Pos."), 0);
    textColumn(QStringLiteral("PRingNo"), QStringLiteral("Ring"));
    textColumn(QStringLiteral("LoftNo"), QStringLiteral("Loft"));
    numberColumn(QStringLiteral("FlySpeed"), QStringLiteral("Velocity"), 3);
    numberColumn(QStringLiteral("Points"), totalTitle(scheme), scoreDecimals(scheme));
    std::vector<QVariantList> rows;
    rows.reserve(pl.rows.size());
    for (const Season::Prize &p : pl.rows)
        rows.push_back({p.pos, p.ringNo, p.loftNo, p.flySpeed, scoreValue(p.score, scheme)});
    setValues(rows);
}

AceStandingList::AceStandingList(QObject *parent) : SeasonList(parent)
{
    load(Standings::Result());
}

void AceStandingList::load(const Standings::Result &res)
{
    begin(QStringLiteral("Ace Pigeons"));
    numberColumn(QStringLiteral("Rank"), QStringLiteral("Rank"), 0);
    textColumn(QStringLiteral("PRingNo"), QStringLiteral("Ring"));
    textColumn(QStringLiteral("LoftNo"), QStringLiteral("Loft"));
    numberColumn(QStringLiteral("Prizes"), QStringLiteral("Prizes"), 0);
    numberColumn(QStringLiteral("Counted"), QStringLiteral("Counted"), 0);
    numberColumn(QStringLiteral("Total"), totalTitle(res.scheme), scoreDecimals(res.scheme));
    std::vector<QVariantList> rows;
    rows.reserve(res.aces.size());
    for (const Standings::AceRow &a : res.aces)
        rows.push_back({a.rank, a.ringNo, a.loftNo, a.prizes, a.counted, scoreValue(a.total, res.scheme)});
    setValues(rows);
}

LoftStandingList::LoftStandingList(QObject *parent) : SeasonList(parent)
{
    load(Standings::Result());
}

void LoftStandingList::load(const Standings::Result &res)
{
    begin(QStringLiteral("Best Lofts"));
    numberColumn(QStringLiteral("Rank"), QStringLiteral("Rank"), 0);
    textColumn(QStringLiteral("LoftNo"), QStringLiteral("Loft"));
    textColumn(QStringLiteral("LoftName"), QStringLiteral("Name"));
    numberColumn(QStringLiteral("Total"), totalTitle(res.scheme), scoreDecimals(res.scheme));
    std::vector<QVariantList> rows;
    rows.reserve(res.lofts.size());
    for (const Standings::LoftRow &l : res.lofts)
        rows.push_back({l.rank, l.loftNo, l.loftName, scoreValue(l.total, res.scheme)});
    setValues(rows);
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
