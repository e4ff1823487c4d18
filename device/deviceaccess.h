#pragma once

#include <QByteArray>
#include <QString>

class TWinApiV8;

// What identifying and verifying the connected device gives.
struct DeviceIdentity
{
    QString deviceNo; // 8 hex digits
    QString owner;    // the owner code it holds (loft number, club id, "x_loft" ...)
    QString password; // derived from the device number
    QByteArray commKey;
};

// The one identify-and-verify step of every caller (clock page, loft and club download, CLI):
// GetDeviceNo, DiverseKey, ComVerify. Messages are the callers' own; lastError() of the driver
// says why a step failed.
namespace DeviceAccess {

// GetDeviceNo into id (device number, owner code, password); false when nothing answers.
bool identify(TWinApiV8 &api, DeviceIdentity &id);
// ComVerify with id's number and password into id.commKey.
bool verify(TWinApiV8 &api, DeviceIdentity &id);

} // namespace DeviceAccess
