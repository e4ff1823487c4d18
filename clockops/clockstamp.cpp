#include "clockops/clockstamp.h"

#include "store/appclock.h"

#include <cmath>

qint64 ClockStamp::fromLocal(const QDateTime &local)
{
    const double seconds = static_cast<double>(AppClock::instantOf(local)) / 1000.0;
    const qint64 whole = static_cast<qint64>(std::nearbyint(seconds)); // banker's rounding by default
    return whole * 1000;
}

QDateTime ClockStamp::toLocal(qint64 stamp)
{
    return AppClock::localAt((stamp / 1000) * 1000);
}

QDateTime ClockStamp::toLocalMs(qint64 stamp)
{
    return AppClock::localAt(stamp);
}

bool ClockStamp::parse(const QString &text, qint64 *stamp)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (ok && stamp)
        *stamp = v;
    return ok;
}
