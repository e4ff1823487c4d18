#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the clock page remembers between passes and polls: the clock last handled, the clock now
// connected and its key, and the race chosen on the upload tabs.
struct ClockSession
{
    QString PreDeviceno; // the clock last handled; a poll skips it while it stays connected
    QString CurDeviceNo;
    QString CurLoftNo;
    QByteArray CommKey;
    bool SyncAllFlag = false;
    // The club's own id: with no clock on it the antenna answers with this owner code.
    QString AntennaOwner;

    // The race chosen on the Marked Upload / Result Upload tab.
    QString CurRaceCode;
    QString CurLiberCode;
    QString CurLiberDate; // stored form, YYYY-MM-DD
    QString CurClubID;

    // The connected clock's readings of the race, kept from one poll to the next.
    QDateTime ULClockTime;
    QDateTime ULMasterTime;
    int TimeVari = 0;
};

// How a poll or pass ended, for the page (reload the grid, keep polling, stop).
enum class PollOutcome
{
    NoClock,   // nothing answered
    SameClock, // the clock last handled is still connected
    NotVerified,
    Done // the clock was handled (with or without errors)
};
