#pragma once

#include "races/ranking.h"
#include "store/recordtable.h"

class TdmORVS;

// The lists of the races page, each defined once: rows, columns (field, title, alignment),
// display texts. Grids show them, reports lay out their Report layout, exports read the rows'
// raw values (`record(row)`), the command line prints them. Title clicks sort the rows already
// read (RecordTable::titleClick).

// Races not soft-deleted, by liberation date (`adoqRacePoint`).
class RaceList : public RecordTable
{
    Q_OBJECT
public:
    explicit RaceList(TdmORVS &dm, ListLayout layout = ListLayout::Grid, QObject *parent = nullptr);
    void load();

private:
    TdmORVS &dm_;
};

// Ranked arrivals as the result lists hold them. Fields: Pos, LiberCode, PRingNo, RCountry, RYear,
// RRegLetter, RRegNumber, LoftNo, LoftName, Sex, ColorType, BackTime, FlyTime, FlySpeed, TimeVari,
// Dist (the stored distance), DistText ("Miles/Yards", "0" without a distance row), Margin (behind
// the first row, "hh:mm:ss").
std::vector<QSqlRecord> arrivalRows(TdmORVS &dm, const std::vector<Ranking::Arrival> &arrivals);

// A race's result list with positions from the one ranking (`adoqRaceReslt`); fields as
// arrivalRows.
class RaceResultList : public RecordTable
{
    Q_OBJECT
public:
    explicit RaceResultList(TdmORVS &dm, ListLayout layout = ListLayout::Grid, QObject *parent = nullptr);
    void load(const QString &raceCode);
    // Lofts and entries of the race and the rows listed, as of the last load.
    const Ranking::Summary &summary() const { return summary_; }
    // The birds of later race days not timed for want of sun rows, as of the last load; empty
    // when none.
    const QString &sunGaps() const { return sunGaps_; }
    // "MPM"/"Yds/Min" on the grid, "M/min"/"Yds/min" on the report, by the club's unit.
    static QString speedTitle(int mode, ListLayout layout);

private:
    TdmORVS &dm_;
    ListLayout layout_;
    Ranking::Summary summary_;
    QString sunGaps_;
};

// Per loft and clock of a race: birds entered and birds arrived (`adoqLoftRaceStat`).
class RaceStatusList : public RecordTable
{
    Q_OBJECT
public:
    explicit RaceStatusList(TdmORVS &dm, ListLayout layout = ListLayout::Grid, QObject *parent = nullptr);
    void load(const QString &raceCode);

private:
    TdmORVS &dm_;
};

// Loft distance rows (`adotLoftRaceDist`, and all codes on the distance download panel). On the
// grid `Miles` and `Yards` are typed in place: setData stores the value at once.
class DistanceList : public RecordTable
{
    Q_OBJECT
public:
    DistanceList(TdmORVS &dm, bool withLiberCode, ListLayout layout = ListLayout::Grid,
                 QObject *parent = nullptr);
    // All rows (empty code) or those of one liberation code, in table order; the unit titles
    // ("KM"/"M" or "Miles"/"Yards") follow the club's unit.
    void load(const QString &liberCode = {});

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // A typed distance outside its column's range was not stored; the text names the field.
    void refused(const QString &why);

private:
    bool isDistanceColumn(int column) const;

    TdmORVS &dm_;
    ListLayout layout_;
};

// The other-clock panel's pigeons of a loft (soft-deleted ones included) with their arrival in
// the race (`adoqOtherClock`): fields PRingNo, BackTime.
class OtherClockList : public RecordTable
{
    Q_OBJECT
public:
    explicit OtherClockList(TdmORVS &dm, QObject *parent = nullptr);
    void load(const QString &raceCode, const QString &loftNo);

private:
    TdmORVS &dm_;
};
