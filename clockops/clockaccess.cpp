#include "clockops/clockaccess.h"

#include "device/deviceaccess.h"
#include "device/deviceerrors.h"
#include "device/json.h"
#include "device/twinapiv8.h"
#include "store/operationsink.h"

#include <QStringList>

namespace ClockAccess {

PollOutcome identify(TWinApiV8 &api, ClockSession &s, bool loftAfterUnderscore, OperationSink &sink)
{
    s.CurDeviceNo.clear();
    s.CurLoftNo.clear();
    DeviceIdentity id;
    if (!DeviceAccess::identify(api, id)) {
        sink.failure(QStringLiteral("Please connect to club antenna and clock."));
        return PollOutcome::NoClock;
    }
    if (!s.AntennaOwner.isEmpty() && id.owner == s.AntennaOwner) {
        // Only the antenna answered: no loft to read, nothing went wrong. The clock last handled
        // has been taken off, so when it comes back it is read again.
        s.PreDeviceno.clear();
        sink.clearMessages();
        sink.working(QStringLiteral("Connect a clock to the antenna."));
        return PollOutcome::NoClock;
    }
    s.CurDeviceNo = id.deviceNo;
    if (id.deviceNo == s.PreDeviceno)
        return PollOutcome::SameClock;
    const int us = id.owner.indexOf(QLatin1Char('_'));
    s.CurLoftNo = (loftAfterUnderscore && us >= 0) ? id.owner.mid(us + 1) : id.owner;
    return PollOutcome::Done;
}

bool verify(TWinApiV8 &api, ClockSession &s)
{
    DeviceIdentity id;
    id.deviceNo = s.CurDeviceNo;
    id.password = TWinApiV8::DiverseKey(s.CurDeviceNo);
    if (!DeviceAccess::verify(api, id))
        return false;
    s.CommKey = id.commKey;
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
    return DeviceError::number(reply);
}

QString incompleteText(int read, const QStringList &missing, const QString &why)
{
    QStringList shown = missing.mid(0, 10);
    if (missing.size() > 10)
        shown << QStringLiteral("...");
    QString text = QStringLiteral("Upload incomplete: read %1 birds, %2 not read: %3")
                       .arg(read)
                       .arg(missing.size())
                       .arg(shown.join(QStringLiteral(", ")));
    if (!why.isEmpty())
        text += QStringLiteral(" (") + why + QLatin1Char(')');
    return text + QStringLiteral(". Connect the clock again to finish.");
}

QStringList values(const QString &reply)
{
    QStringList v = reply.split(QLatin1Char('%'));
    if (!v.isEmpty() && v.last().isEmpty())
        v.removeLast();
    return v;
}

} // namespace ClockAccess
