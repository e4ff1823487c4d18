#pragma once

#include <QStringList>

#include "clockops/clocksession.h"

#include <QDateTime>
#include <QString>
#include <map>
#include <vector>

class TdmORVS;
class TWinApiV8;
class OperationSink;

// One arrival read from a clock, as collected before it is stored.
struct PScoreR
{
    QString PRingNo;
    QString RandoCo; // marking random number, upper-case hex, at least 2 digits
    QString flag;    // GpsValid text
    qint16 RetRank = 0;
    QString SecurMs;    // arrival random number, upper-case hex, at least 2 digits
    QDateTime BackTime; // invalid: not arrived
    QString UID;
    QDateTime UIDScanTime; // invalid: none
    QString longitude;
    QString latitude;
    QDateTime PigMarkedTime;
    QString RaceCode;
    QString LiberCode;
    QString LiberDate; // stored form YYYY-MM-DD
};

namespace ResultStore {
// Coordinate texts of arrival positions (thousandths of an arc second): E001'15:27.05.
QString FormatLo(qint64 dwLo);
QString FormatLa(qint64 dwLa);
inline const QString NoPosition = QStringLiteral("0000'00:00");
int HexToInt(const QString &hex);
QString hex2(qint64 v); // upper-case hex, at least 2 digits

// Flying time in whole milliseconds of an arrival of the race (0 when not positive).
qint64 CalcFlyTime(TdmORVS &dm, const QString &raceCode, int timeVari, const QDateTime &backTime,
                   const QDateTime &liberation);

// Stores every collected arrival of a clock: flying time, distance of the loft, velocity and the
// record's data; one row per race and ring. variationOf gives each race's clock variation.
// Returns the number of records stored.
int DataPostExecute(TdmORVS &dm, const std::vector<PScoreR> &scores, const QString &loftNo,
                    const QString &deviceNo, const std::map<QString, int> &variationOf, OperationSink &sink);

// A record's two replies (first and second field lists) into a PScoreR; false when they are short.
bool fillScore(const QStringList &first, const QStringList &second, PScoreR &p);
} // namespace ResultStore

// One result poll of the chosen race for the clock now connected.
class ResultUpload
{
public:
    static inline const QString RaceFields =
        QStringLiteral("RaceCode%RaceStopDeviceTIme%RaceStopReaderTIme%MarkDeviceTime%MarkReaderTime");
    static inline const QString RecordFields1 =
        QStringLiteral("RaceCode%RandNumMarked%RandNumberBack%UidBack%GpsValid%BackOrder%");
    static inline const QString RecordFields2 =
        QStringLiteral("BackTimeEring%BackTimeUid%BackHomeLat%BackHomeLon%markTime");

    ResultUpload(TdmORVS &dm, TWinApiV8 &api, ClockSession &session, OperationSink &sink);
    PollOutcome poll();
    int stored() const { return stored_; }
    bool raceFound() const { return raceFound_; }
    // Rings of birds the poll could not read (the link failed); the clock is then read again.
    QStringList missing() const { return missing_; }
    // The birds a poll reads for the chosen race and the connected loft.
    QStringList chooseBirds() const;

    // The variation in whole seconds from the clock's and master's stop times (clock ahead: positive).
    static int variation(const QDateTime &clockStop, const QDateTime &masterStop);

private:
    TdmORVS &dm_;
    TWinApiV8 &api_;
    ClockSession &s_;
    OperationSink &sink_;
    int stored_ = 0;
    bool raceFound_ = false;
    QStringList missing_;
};
