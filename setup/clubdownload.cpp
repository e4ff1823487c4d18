#include "setup/clubdownload.h"

#include "device/twinapiv8.h"
#include "store/operationsink.h"
#include "store/tableobject.h"

ClubDataDownload::ClubDataDownload(TdmORVS &dm, TWinApiV8 &driver, OperationSink &sink)
    : dm_(dm), driver_(driver), sink_(sink)
{
}

bool ClubDataDownload::run()
{
    // The record as stored: what the page shows is stored only when the page closes.
    const ClubSettings club = ClubSettings::load(dm_);
    QString deviceNo, held;
    if (!driver_.GetDeviceNo(deviceNo, held)) {
        sink_.failure(QStringLiteral("Please connect to club antenna and clock."));
        return false;
    }
    const QString password = TWinApiV8::DiverseKey(deviceNo);
    QString reply;
    if (driver_.DeviceInit(deviceNo, club.clubId, password, reply))
        driver_.GetDeviceNo(deviceNo, held);
    else
        sink_.failure(QStringLiteral("DeviceInit Error :") + reply);
    if (held != club.clubId) {
        sink_.failure(QStringLiteral("ClubCode Wrong ! ReCheck !"));
        return false;
    }
    QByteArray randomDev, randomPc, key;
    if (!driver_.ComVerify(deviceNo, password, randomDev, randomPc, key)) {
        sink_.failure(QStringLiteral("ComVerify Error :") + reply);
        return false;
    }
    if (!driver_.SetClubInfo(key, club.deviceFieldList(), reply)) {
        sink_.failure(QStringLiteral("SetClubInfo_ClubData Error :") + reply);
        return false;
    }
    sink_.beep();
    driver_.DispMessage(held + QStringLiteral(" Club Data Download Success !"));
    sink_.success(QStringLiteral(" Club Data Download Success !"));
    return true;
}
