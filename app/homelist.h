#pragma once

#include "store/recordtable.h"

class TdmORVS;

// The home page's clocks with their loft's name and the date of their last synchronisation
// (`adoqDBGrid`). Fields: ClockID, LoftName, LastSynchDate.
class HomeClockList : public RecordTable
{
    Q_OBJECT
public:
    explicit HomeClockList(TdmORVS &dm, QObject *parent = nullptr);
    void load();

private:
    TdmORVS &dm_;
};
