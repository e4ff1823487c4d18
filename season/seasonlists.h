#pragma once

#include "season/prizes.h"
#include "season/standings.h"
#include "store/recordtable.h"

#include <QHash>
#include <QStringList>

// The season's lists, each defined once: rows, columns (field, title, alignment) and display
// texts (the user's locale) for grids and reports; stored values for exports and the command line.
// Number fields hold numbers; `exportText` writes them with their fixed decimals and "." .
class SeasonList : public RecordTable
{
    Q_OBJECT
public:
    using RecordTable::RecordTable;
    // Decimals a number field is written with (-1: not a number field).
    int decimalsOf(const QString &field) const { return decimals_.value(field, -1); }
    QString exportText(int row, int column) const;
    // The heading line of field names and one comma-separated line per row.
    QStringList csvLines() const;
    QString title() const { return title_; }

protected:
    // Starts the list anew under `title`; the columns follow, then the rows.
    void begin(const QString &title);
    void numberColumn(const QString &field, const QString &title, int decimals);
    void textColumn(const QString &field, const QString &title);
    // One row per entry, its values in the order of the columns.
    void setValues(const std::vector<QVariantList> &rows);
    QHash<QString, int> decimals_;
    QString title_;
};

// A race's prize winners: Pos, PRingNo, LoftNo, FlySpeed, Points.
class PrizeListTable : public SeasonList
{
    Q_OBJECT
public:
    explicit PrizeListTable(QObject *parent = nullptr);
    void load(const Season::PrizeList &pl, Season::Scheme scheme);
};

// Ace pigeons: Rank, PRingNo, LoftNo, Prizes, Counted, Total.
class AceStandingList : public SeasonList
{
    Q_OBJECT
public:
    explicit AceStandingList(QObject *parent = nullptr);
    void load(const Standings::Result &r);
};

// Best lofts: Rank, LoftNo, LoftName, Total.
class LoftStandingList : public SeasonList
{
    Q_OBJECT
public:
    explicit LoftStandingList(QObject *parent = nullptr);
    void load(const Standings::Result &r);
};

// A season list as an .xlsx workbook: field names in row 1, rings and loft numbers as text,
// numbers as numbers with their decimals. Written whole or not at all; false with `error` set.
bool saveSeasonWorkbook(const SeasonList &list, const QString &path, QString *error);
