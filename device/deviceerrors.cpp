#include "device/deviceerrors.h"

#include "device/json.h"
#include "device/twinapiv8.h"

#include <climits>

namespace DeviceError {

int number(const QString &reply)
{
    const auto json = TlkJSON::ParseText(reply);
    if (!json || json->SelfType() != TlkJSONtypes::jsObject)
        return None;
    const TlkJSONbase *e = json->Field(QStringLiteral("error"));
    if (!e || e->SelfType() != TlkJSONtypes::jsNumber)
        return None;
    bool ok = false;
    const qint64 n = e->AsInteger(&ok);
    return ok && n >= INT_MIN && n <= INT_MAX ? int(n) : None;
}

} // namespace DeviceError

bool LinkWatch::next(bool ok)
{
    if (stopped())
        return false;
    if (ok) {
        timeouts_ = indexErrors_ = 0;
        return true;
    }
    switch (api_.lastFailure()) {
    case TWinApiV8::Failure::TimedOut:
    case TWinApiV8::Failure::LinkError:
        indexErrors_ = 0;
        if (++timeouts_ >= TimeoutsInARow)
            reason_ = QStringLiteral("The clock stopped answering (%1 requests in a row without a reply)")
                          .arg(timeouts_);
        break;
    case TWinApiV8::Failure::Refused:
        timeouts_ = 0;
        if (api_.lastDeviceError() == DeviceError::IndexOutOfRange) {
            if (++indexErrors_ >= IndexErrorsInARow)
                reason_ = QStringLiteral("The clock refused %1 entries in a row (error %2)")
                              .arg(indexErrors_)
                              .arg(DeviceError::IndexOutOfRange);
        } else {
            indexErrors_ = 0;
        }
        break;
    default:
        timeouts_ = indexErrors_ = 0;
        break;
    }
    return !stopped();
}
