#pragma once

#include "clockops/clocksession.h"

#include <QString>
#include <QStringList>
#include <QTime>

class TdmORVS;

// The lasting log of the clock page: one line per clock handled since the page was opened, so
// that after twenty clocks the secretary sees which lofts are done and which are missing.
namespace ClockLog {

enum class Stage { Sync, Marked, Result, Multi };

struct Entry
{
    QTime at;
    Stage stage = Stage::Sync;
    PollOutcome outcome = PollOutcome::NoClock;
    QString loftNo;
    QString loftName;
    QString deviceNo;
    int count = 0;        // birds marked, arrivals stored
    bool synced = false;  // a synchronisation pass that ended in success
    QString firstFailure; // the first failure the pass reported, as shown in the message area
};

// "10:04 loft 003 Peeters, clock 5E000003: 8 birds marked";
// "10:05 loft 004 Van den Berg, clock 5E000004: refused, ComVerify Error".
// Empty when nothing was handled (no clock, the same clock again, only the antenna).
QString line(const Entry &e);

// A failure text without its trailing " :" or " !" ("ComVerify Error : " gives "ComVerify Error").
QString shortFailure(const QString &text);

// The lofts of a race still to be read, "003 Peeters" each, by loft number. For the marked
// stage: lofts whose clocks hold the race and whose marking has not been read, or was read with
// no bird marked ("002 Brown (read, no birds marked)"). For the result
// stage: lofts with birds marked for the race whose stop times have not been read.
QStringList unreadLofts(TdmORVS &dm, const QString &raceCode, Stage stage);

QString loftName(TdmORVS &dm, const QString &loftNo);

} // namespace ClockLog
