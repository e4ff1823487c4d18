#include "device/deviceaccess.h"

#include "device/twinapiv8.h"

namespace DeviceAccess {

bool identify(TWinApiV8 &api, DeviceIdentity &id)
{
    QString deviceNo, owner;
    if (!api.GetDeviceNo(deviceNo, owner))
        return false;
    id.deviceNo = deviceNo;
    id.owner = owner;
    id.password = TWinApiV8::DiverseKey(deviceNo);
    id.commKey.clear();
    return true;
}

bool verify(TWinApiV8 &api, DeviceIdentity &id)
{
    QByteArray randomDev, randomPc, key;
    if (!api.ComVerify(id.deviceNo, id.password, randomDev, randomPc, key))
        return false;
    id.commKey = key;
    return true;
}

} // namespace DeviceAccess
