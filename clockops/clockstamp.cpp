#include "clockops/clockstamp.h"

#include "store/appclock.h"

#include <cmath>

namespace {
std::optional<int> biasOverride;

// A local date-time read as if it were UTC: the day count the clock arithmetic works on.
qint64 naiveMs(const QDateTime &t)
{
    return QDateTime(t.date(), t.time(), Qt::UTC).toMSecsSinceEpoch();
}

QDateTime fromNaiveMs(qint64 ms)
{
    const QDateTime u = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    return QDateTime(u.date(), u.time());
}
} // namespace

int ClockStamp::biasMinutes()
{
    if (biasOverride)
        return *biasOverride;
    return -AppClock::now().offsetFromUtc() / 60;
}

void ClockStamp::setBiasOverride(std::optional<int> minutes)
{
    biasOverride = minutes;
}

qint64 ClockStamp::fromLocal(const QDateTime &local)
{
    const double seconds = static_cast<double>(naiveMs(local)) / 1000.0;
    const qint64 whole = static_cast<qint64>(std::nearbyint(seconds)); // banker's rounding by default
    return (whole + static_cast<qint64>(biasMinutes()) * 60) * 1000;
}

QDateTime ClockStamp::toLocal(qint64 stamp)
{
    const qint64 seconds = stamp / 1000;
    return fromNaiveMs((seconds - static_cast<qint64>(biasMinutes()) * 60) * 1000);
}

QDateTime ClockStamp::toLocalMs(qint64 stamp)
{
    return toLocal(stamp).addMSecs(stamp % 1000);
}

bool ClockStamp::parse(const QString &text, qint64 *stamp)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (ok && stamp)
        *stamp = v;
    return ok;
}
