#include "races/flytime.h"

#include "store/appclock.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace FlyTime {

namespace {
constexpr qint64 DayMs = 86400000;

qint64 msOfDay(const QTime &t, qint64 fallback)
{
    return t.isValid() ? t.msecsSinceStartOfDay() : fallback;
}

// The instant of a time of day on its own day; DayMs is the start of the next day. So a day of a
// daylight-saving change has its 23 or 25 hours.
qint64 instantOnDay(const QDate &day, qint64 ms)
{
    if (ms >= DayMs)
        return AppClock::instantOf(QDateTime(day.addDays(1), QTime(0, 0)));
    return AppClock::instantOf(QDateTime(day, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms))));
}

// Reads exactly `n` digits at s[pos]; -1 when one is not a digit.
int digits(const QString &s, int pos, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const QChar c = s.at(pos + i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}
} // namespace

void sortSunRows(std::vector<SunRow> &rows)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SunRow &a, const SunRow &b) { return a.raceDate < b.raceDate; });
}

qint64 roundHalfAwayFromZero(double v)
{
    return static_cast<qint64>(v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5));
}

qint64 msBetween(const QDateTime &a, const QDateTime &b)
{
    return AppClock::instantOf(b) - AppClock::instantOf(a);
}

qint64 flyingMs(const QDateTime &liberation, const QDateTime &arrival, const std::vector<SunRow> &sunRows,
                int variationSeconds)
{
    const QDate dS = liberation.date();
    const QDate dE = arrival.date();
    const qint64 eTime = arrival.time().msecsSinceStartOfDay();
    const qint64 sInstant = AppClock::instantOf(liberation);
    const qint64 eInstant = AppClock::instantOf(arrival);
    qint64 t = 0;
    if (dS == dE) {
        const SunRow *first = sunRows.empty() ? nullptr : &sunRows.front();
        if (!first || !first->sunSet.isValid() || eTime < first->sunSet.msecsSinceStartOfDay())
            t = eInstant - sInstant;
        else
            t = instantOnDay(dS, first->sunSet.msecsSinceStartOfDay()) -
                sInstant; // the flight ends at sunset
    } else {
        for (const SunRow &r : sunRows) {
            const QDate dR = r.raceDate;
            if (!dR.isValid() || dR < dS || dR > dE)
                continue; // days before liberation or after arrival add nothing
            const qint64 set = msOfDay(r.sunSet, DayMs);
            const qint64 rise = msOfDay(r.sunRise, 0);
            if (dR == dE) {
                if (eTime <= rise)
                    t += 0;
                else if (eTime < set)
                    t += eInstant - instantOnDay(dR, rise);
                else
                    t += instantOnDay(dR, set) - instantOnDay(dR, rise);
            } else if (dR == dS) {
                t += instantOnDay(dR, set) - sInstant;
            } else {
                t += instantOnDay(dR, set) - instantOnDay(dR, rise);
            }
        }
    }
    if (t == 0)
        return 0;
    return t - static_cast<qint64>(variationSeconds) * 1000;
}

std::vector<QDate> daysWithoutSun(const QDate &liberationDay, const QDate &arrivalDay,
                                  const std::vector<SunRow> &sunRows)
{
    std::vector<QDate> out;
    if (!liberationDay.isValid() || !arrivalDay.isValid() || arrivalDay <= liberationDay ||
        liberationDay.daysTo(arrivalDay) > 366)
        return out;
    for (QDate d = liberationDay; d <= arrivalDay; d = d.addDays(1)) {
        const bool found =
            std::any_of(sunRows.begin(), sunRows.end(), [&](const SunRow &r) { return r.raceDate == d; });
        if (!found)
            out.push_back(d);
    }
    return out;
}

void SunGaps::add(const QDate &liberationDay, const QDate &arrivalDay, const std::vector<SunRow> &sunRows)
{
    const std::vector<QDate> missing = daysWithoutSun(liberationDay, arrivalDay, sunRows);
    if (missing.empty())
        return;
    ++birds_;
    for (const QDate &d : missing) {
        const auto at = std::lower_bound(days_.begin(), days_.end(), d);
        if (at == days_.end() || *at != d)
            days_.insert(at, d);
    }
}

QString SunGaps::text() const
{
    if (birds_ == 0)
        return {};
    // The message areas speak English, as every other message of the program.
    const QLocale english(QLocale::English);
    QStringList days;
    for (const QDate &d : days_)
        days << english.toString(d, QStringLiteral("d MMMM"));
    return QStringLiteral("no sunset and sunrise for %1: %2 %3 not timed")
        .arg(days.join(QStringLiteral(", ")))
        .arg(birds_)
        .arg(birds_ == 1 ? QStringLiteral("bird") : QStringLiteral("birds"));
}

QString flyTimeText(qint64 ms)
{
    const bool negative = ms < 0;
    const qint64 t = negative ? -ms : ms;
    const qint64 h = t / 3600000;
    const qint64 m = t / 60000 - h * 60;
    const qint64 s = t / 1000 - (t / 60000) * 60;
    const qint64 f = t % 1000;
    return QStringLiteral("%1%2:%3:%4.%5")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(h, 2, 10, QLatin1Char('0'))
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(s, 2, 10, QLatin1Char('0'))
        .arg(f, 3, 10, QLatin1Char('0'));
}

qint64 velocityThousandths(qint64 distance, qint64 flyMs)
{
    if (distance < 1 || flyMs < 1)
        return 0;
    // D / T * 60000 * 1000, rounded halves up (both positive): (2 * num + den) / (2 * den).
    const qint64 num = distance * 60000000LL;
    return (2 * num + flyMs) / (2 * flyMs);
}

double velocity(qint64 distance, qint64 flyMs)
{
    return static_cast<double>(velocityThousandths(distance, flyMs)) / 1000.0;
}

qint64 thousandthsOf(double storedVelocity)
{
    return roundHalfAwayFromZero(storedVelocity * 1000.0);
}

QString velocityText(double v)
{
    return QString::asprintf("%8.3f", static_cast<double>(thousandthsOf(v)) / 1000.0);
}

int clockVariation(const QDateTime &markedMaster, const QDateTime &markedMember, const QDateTime &checkMaster,
                   const QDateTime &checkMember)
{
    const qint64 ms = msBetween(checkMaster, checkMember) - msBetween(markedMaster, markedMember);
    return static_cast<int>(roundHalfAwayFromZero(static_cast<double>(ms) / 1000.0));
}

std::optional<QDateTime> parseArrival(const QString &backTime)
{
    const QString s = backTime.trimmed();
    if (s.size() < 19 || s.at(4) != QLatin1Char('-') || s.at(7) != QLatin1Char('-') ||
        s.at(10) != QLatin1Char(' ') || s.at(13) != QLatin1Char(':') || s.at(16) != QLatin1Char(':'))
        return std::nullopt;
    const int y = digits(s, 0, 4), mo = digits(s, 5, 2), d = digits(s, 8, 2);
    const int h = digits(s, 11, 2), mi = digits(s, 14, 2), se = digits(s, 17, 2);
    int ms = 0;
    if (s.size() > 19) {
        const int n = static_cast<int>(s.size()) - 20;
        if (s.at(19) != QLatin1Char('.') || n < 1 || n > 3)
            return std::nullopt;
        ms = digits(s, 20, n);
        if (ms < 0)
            return std::nullopt;
        for (int i = n; i < 3; ++i)
            ms *= 10;
    }
    if (y < 0 || mo < 0 || d < 0 || h < 0 || mi < 0 || se < 0)
        return std::nullopt;
    const QDate date(y, mo, d);
    const QTime time(h, mi, se, ms);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

QString arrivalText(const QDateTime &arrival)
{
    return arrival.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

Result compute(const QDateTime &liberation, const QDateTime &arrival, const std::vector<SunRow> &sunRows,
               int variationSeconds, qint64 distance)
{
    Result r;
    r.flyMs = flyingMs(liberation, arrival, sunRows, variationSeconds);
    r.flyTime = flyTimeText(r.flyMs);
    r.velocity = velocity(distance, r.flyMs);
    return r;
}

} // namespace FlyTime
