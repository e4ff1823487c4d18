#pragma once

#include "store/recordtable.h"

#include <QDate>
#include <QString>

class TdmORVS;

// The three lists of the clock page, each defined once: rows, columns (field, title, alignment)
// and display texts, in a Grid and, where the page prints the list, a Report layout. A report
// takes the grid's rows as shown (`copyRowsFrom`); exports read the raw values (`record(row)`).

// Birds marked for a race (`adoqMarking`). Fields: LoftNo, PRingNo, Sex, ColorType, LiberCode,
// LiberDate, MarkedTime, LoftName (the member's name), Nom (the bird's place in its loft's
// marking order: 1 for the first marked; NULL without a loft).
class MarkedList : public RecordTable
{
    Q_OBJECT
public:
    explicit MarkedList(TdmORVS &dm, ListLayout layout = ListLayout::Grid, QObject *parent = nullptr);
    // By loft then ring, or by ring alone (after a poll).
    void load(const QString &raceCode, bool byRingOnly);

private:
    TdmORVS &dm_;
};

// Every arrival of a race ranked by velocity (`adoqTimerResult`), from the one ranking; fields as
// arrivalRows (races/racelists.h): Pos, the pigeon's loft and ring parts, LoftName, the stored
// arrival values, DistText and Margin (behind the leader).
class ClockResultList : public RecordTable
{
    Q_OBJECT
public:
    explicit ClockResultList(TdmORVS &dm, ListLayout layout = ListLayout::Grid, QObject *parent = nullptr);
    void load(const QString &raceCode);
    // The velocity title by the club's unit (the page asks again when it is shown).
    void refreshTitles();
    // The report's footer values: the leader's flying time and the winning margin ("h:m:s").
    QString netFlyingTime() const;
    QString winningMargin() const;

private:
    TdmORVS &dm_;
    ListLayout layout_;
};

// A loft's arrivals since the start date, ranked by arrival time (`qryMultiRaceUpLd`). Fields:
// Rank, LibCode (the race code), PRingNo, BackTime, FlyTime, FlySpeed, Dist (stored), LoftNo,
// DistText.
class MultiRaceList : public RecordTable
{
    Q_OBJECT
public:
    explicit MultiRaceList(TdmORVS &dm, QObject *parent = nullptr);
    void load(const QString &loftNo, const QDate &startDate);

private:
    TdmORVS &dm_;
};
