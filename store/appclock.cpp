#include "store/appclock.h"

#include <ctime>
#include <optional>

namespace {
std::optional<qint64> fixedNow;

// The TZ of the process before a test changed it (unset when it had none).
bool startZoneSaved = false;
std::optional<QByteArray> startZone;
} // namespace

QDateTime AppClock::now()
{
    return fixedNow ? QDateTime::fromMSecsSinceEpoch(*fixedNow) : QDateTime::currentDateTime();
}

QDate AppClock::today()
{
    return now().date();
}

void AppClock::setFixed(const QDateTime &t)
{
    if (t.isValid())
        fixedNow = t.toMSecsSinceEpoch();
    else
        fixedNow.reset();
}

QTimeZone AppClock::zone()
{
    return QTimeZone::systemTimeZone();
}

void AppClock::setZone(const QByteArray &ianaId)
{
    if (!startZoneSaved) {
        startZoneSaved = true;
        if (qEnvironmentVariableIsSet("TZ"))
            startZone = qgetenv("TZ");
    }
    // Qt's local time and QTimeZone::systemTimeZone() both follow TZ once the C library reads it again.
    if (!ianaId.isEmpty())
        qputenv("TZ", ianaId);
    else if (startZone)
        qputenv("TZ", *startZone);
    else
        qunsetenv("TZ");
    tzset();
}

QDateTime AppClock::localAt(qint64 utcMs)
{
    // Local time like every other date-time of the program, the instant kept (also in the hour an
    // autumn change repeats).
    return QDateTime::fromMSecsSinceEpoch(utcMs, zone()).toLocalTime();
}

qint64 AppClock::instantOf(const QDateTime &local)
{
    // Qt's local time is the zone of TZ (see setZone), with that day's rules; a date-time made
    // from an instant keeps it, also in the hour an autumn change repeats.
    return local.toMSecsSinceEpoch();
}
