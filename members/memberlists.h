#pragma once

#include "store/recordtable.h"

#include <QHash>

class TdmORVS;

// The lists of the member page, each defined once: rows, columns (field, title, alignment) and
// display texts, in a Grid and a Report layout. A report takes the grid's rows as shown
// (`copyRowsFrom`): its title-click order and the Mult_Del ticks made since the last load.

// Every member with the number of its clocks, by loft number (`adoqDBGridLoft`). Fields:
// AssociationCode, LoftNo, LoftName, clockCnt.
class MemberList : public RecordTable
{
    Q_OBJECT
public:
    explicit MemberList(TdmORVS &dm, ListLayout layout = ListLayout::Grid, QObject *parent = nullptr);
    void load();

private:
    TdmORVS &dm_;
};

// A member's live rings by ring number (`adoqDBGridMRing`): every column of ORV_PigData.
class RingList : public RecordTable
{
    Q_OBJECT
public:
    explicit RingList(TdmORVS &dm, ListLayout layout = ListLayout::Grid, QObject *parent = nullptr);
    void load(const QString &loftNo);
    // Takes the colour names of a grid's list along with its rows.
    void copyFrom(const RingList &other);

private:
    TdmORVS &dm_;
    QHash<QString, QString> colourNames_; // read at load: the colour column's names
};

// A member's clocks (`adoqClockList`): the rows of ORV_LoftClocks.
class ClockList : public RecordTable
{
    Q_OBJECT
public:
    explicit ClockList(TdmORVS &dm, QObject *parent = nullptr);
    void load(const QString &loftNo);

private:
    TdmORVS &dm_;
};
