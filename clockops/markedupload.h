#pragma once

#include "clockops/clocksession.h"

#include <QStringList>

class TdmORVS;
class TWinApiV8;
class OperationSink;

// One marked-data poll: for a clock not read yet, stores every bird of the loft marked for the
// chosen race with its marking time, and the clock's and master's times at marking.
class MarkedUpload
{
public:
    static inline const QString RaceFields = QStringLiteral("RaceCode%MarkDeviceTime%MarkReaderTime");
    static inline const QString RecordFields = QStringLiteral("RaceCode%markTime");

    MarkedUpload(TdmORVS &dm, TWinApiV8 &api, ClockSession &session, OperationSink &sink);
    PollOutcome poll();
    int count() const { return count_; }
    // Rings of birds the poll could not read (the link failed); the clock is then read again.
    QStringList missing() const { return missing_; }

private:
    TdmORVS &dm_;
    TWinApiV8 &api_;
    ClockSession &s_;
    OperationSink &sink_;
    int count_ = 0;
    QStringList missing_;
};
