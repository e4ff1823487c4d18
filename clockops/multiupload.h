#pragma once

#include "clockops/clocksession.h"

#include <QDate>
#include <map>

class TdmORVS;
class TWinApiV8;
class OperationSink;
class LinkWatch;

// One multi-race poll: for a clock not read yet, records its readings of every race it holds,
// reads every electronic-ring bird of the loft and stores each record under its own race.
class MultiUpload
{
public:
    static inline const QString RaceFields = QStringLiteral(
        "RaceCode%RaceStopDeviceTIme%RaceStopReaderTIme%MarkDeviceTime%LiberTime%MarkReaderTime");

    MultiUpload(TdmORVS &dm, TWinApiV8 &api, ClockSession &session, OperationSink &sink);
    PollOutcome poll();
    int stored() const { return stored_; }
    // The marking date of the clock's first race: the loft's view starts there.
    QDate startDate() const { return startDate_; }

private:
    void readRaces(std::map<QString, int> &variationOf, LinkWatch &watch);

    TdmORVS &dm_;
    TWinApiV8 &api_;
    ClockSession &s_;
    OperationSink &sink_;
    int stored_ = 0;
    QDate startDate_;
};
