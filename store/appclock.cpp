#include "store/appclock.h"

namespace {
QDateTime fixedNow;
}

QDateTime AppClock::now()
{
    return fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime();
}

QDate AppClock::today()
{
    return now().date();
}

void AppClock::setFixed(const QDateTime &t)
{
    fixedNow = t;
}
