#include "clockops/clockaccess.h"

#include "device/json.h"
#include "device/twinapiv8.h"
#include "store/operationsink.h"

#include <QStringList>

namespace ClockAccess {

PollOutcome identify(TWinApiV8 &api, ClockSession &s, bool loftAfterUnderscore, OperationSink &sink)
{
    s.CurDeviceNo.clear();
    s.CurLoftNo.clear();
    QString deviceNo, owner;
    if (!api.GetDeviceNo(deviceNo, owner)) {
        sink.failure(QStringLiteral("Please connect to club antenna and clock."));
        return PollOutcome::NoClock;
    }
    if (!s.AntennaOwner.isEmpty() && owner == s.AntennaOwner) {
        // Only the antenna answered: no loft to read, nothing went wrong. The clock last handled
        // has been taken off, so when it comes back it is read again.
        s.PreDeviceno.clear();
        sink.clearMessages();
        sink.working(QStringLiteral("Connect a clock to the antenna."));
        return PollOutcome::NoClock;
    }
    s.CurDeviceNo = deviceNo;
    if (deviceNo == s.PreDeviceno)
        return PollOutcome::SameClock;
    const int us = owner.indexOf(QLatin1Char('_'));
    s.CurLoftNo = (loftAfterUnderscore && us >= 0) ? owner.mid(us + 1) : owner;
    return PollOutcome::Done;
}

bool verify(TWinApiV8 &api, ClockSession &s)
{
    const QString password = TWinApiV8::DiverseKey(s.CurDeviceNo);
    QByteArray randomDev, randomPc, key;
    if (!api.ComVerify(s.CurDeviceNo, password, randomDev, randomPc, key))
        return false;
    s.CommKey = key;
    return true;
}

PollOutcome openForUpload(TWinApiV8 &api, ClockSession &s, OperationSink &sink, const QString &working,
                          const QString &verifyFailure)
{
    if (const PollOutcome o = identify(api, s, false, sink); o != PollOutcome::Done)
        return o;
    sink.clearMessages();
    sink.working(working.arg(s.CurLoftNo));
    if (!verify(api, s)) {
        sink.failure(verifyFailure);
        return PollOutcome::NotVerified;
    }
    return PollOutcome::Done;
}

int errorNumber(const QString &reply)
{
    const auto json = TlkJSON::ParseText(reply);
    if (!json)
        return 0;
    const TlkJSONbase *e = json->Field(QStringLiteral("error"));
    return e ? e->Value().toInt() : 0;
}

QStringList values(const QString &reply)
{
    QStringList v = reply.split(QLatin1Char('%'));
    if (!v.isEmpty() && v.last().isEmpty())
        v.removeLast();
    return v;
}

} // namespace ClockAccess
