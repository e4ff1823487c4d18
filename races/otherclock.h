#pragma once

#include "races/flytime.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <utility>
#include <vector>

class TdmORVS;
class OperationSink;
struct RaceInfo;

// Hand entry of arrivals from clocks the antenna cannot read: the clock's times at basketing and
// at the closing check, and each bird's arrival.
namespace OtherClock {

inline const QString NoRingError = QStringLiteral("PRingNo Select Error ! ");

struct ClockTimes
{
    QDateTime markedMaster; // master time when the member's clock was set at basketing
    QDateTime markedMember; // the member's clock at that moment
    QDateTime checkMaster;  // master time at the closing check
    QDateTime checkMember;  // the member's clock at the closing check
    int variation() const;  // seconds the member's clock gained in between
};

// The stored clock times of a loft for a race.
std::optional<ClockTimes> load(TdmORVS &dm, const QString &raceCode, const QString &loftNo);

struct SaveOutcome
{
    bool ok = false;
    int variation = 0;
    qint64 distance = 0;
    QString backTime;
    FlyTime::Result result;
};

// Most seconds a clock may have gained or lost between basketing and the closing check; more is a
// mistyped date or time.
constexpr int MaxVariationSeconds = 24 * 3600;
// The entry checked before anything is stored: the ring fits its column, every moment is a date
// a race can have, and the clock's variation is within MaxVariationSeconds. Empty when fine.
QString check(const QString &ringNo, const ClockTimes &times, const QDateTime &arrival);

// Stores the loft's clock times for the race (one row per race and loft) and the bird's arrival
// with its flying time, velocity, distance and variation (one row per race and ring).
SaveOutcome save(TdmORVS &dm, const RaceInfo &race, const QString &loftNo, const QString &ringNo,
                 const ClockTimes &times, const QDateTime &arrival, OperationSink &sink);

// The loft's live rings; with a suffix only those ending with it.
QStringList liveRings(TdmORVS &dm, const QString &loftNo, const QString &suffix = {});
// The members' names in table order, and the loft of a name (the first with it).
QStringList memberNames(TdmORVS &dm);
std::optional<QString> loftOfName(TdmORVS &dm, const QString &loftName);
// The stored arrival text of a ring in the race, when it has one.
std::optional<QString> arrivalOf(TdmORVS &dm, const QString &raceCode, const QString &ringNo);

} // namespace OtherClock
