#include "setup/clubdownload.h"

#include "device/deviceaccess.h"
#include "device/fieldlist.h"
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
    const FieldList::Writer list = FieldList::clubList(club.clubId, club.clubName, club.street, club.city,
                                                       club.postCode, club.associationCode);
    if (!list.ok()) {
        sink_.failure(list.problem() + QStringLiteral(" Nothing was sent."));
        return false;
    }
    for (const QString &warning : list.warnings())
        sink_.info(warning);
    DeviceIdentity id;
    if (!DeviceAccess::identify(driver_, id)) {
        sink_.failure(QStringLiteral("Please connect to club antenna and clock."));
        return false;
    }
    QString reply;
    if (driver_.DeviceInit(id.deviceNo, club.clubId, id.password, reply))
        DeviceAccess::identify(driver_, id);
    else
        sink_.failure(QStringLiteral("DeviceInit Error :") + reply);
    const QString held = id.owner;
    if (held != club.clubId) {
        sink_.failure(QStringLiteral("ClubCode Wrong ! ReCheck !"));
        return false;
    }
    if (!DeviceAccess::verify(driver_, id)) {
        sink_.failure(QStringLiteral("ComVerify Error :") + reply);
        return false;
    }
    if (!driver_.SetClubInfo(id.commKey, list.list(), reply)) {
        sink_.failure(QStringLiteral("SetClubInfo_ClubData Error :") + reply);
        return false;
    }
    sink_.beep();
    driver_.DispMessage(held + QStringLiteral(" Club Data Download Success !"));
    sink_.success(QStringLiteral(" Club Data Download Success !"));
    return true;
}
