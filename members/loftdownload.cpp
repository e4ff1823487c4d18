#include "members/loftdownload.h"

#include "device/ansitext.h"
#include "device/deviceaccess.h"
#include "device/twinapiv8.h"
#include "store/entrycheck.h"
#include "store/operationsink.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"

#include <QSqlRecord>

LoftDataDownload::LoftDataDownload(TdmORVS &dm, TWinApiV8 &driver, OperationSink &sink,
                                   const MemberSettings &settings)
    : dm_(dm), driver_(driver), sink_(sink), settings_(settings)
{
}

QStringList LoftDataDownload::fieldLists(const QString &loftNo) const
{
    const auto members = dm_.rows(QStringLiteral("SELECT * FROM ORV_LoftData WHERE LoftNo=? LIMIT 1"), {loftNo});
    if (members.empty())
        return {};
    const QSqlRecord &m = members.front();
    // Values go in as stored: the lists have no escaping.
    const auto mv = [&m](const char *c) { return m.value(QLatin1String(c)).toString(); };
    return {
        QStringLiteral("OwnerName:") + mv("LoftName") + QStringLiteral("%City:") + mv("City") +
            QStringLiteral("%PostCode:") + mv("PostCode") + QStringLiteral("%PhoneNo:") + mv("PhoneNo") +
            QStringLiteral("%LoftLon:") + mv("LoftLon") + QStringLiteral("%LoftLat:") + mv("LoftLat"),
        QStringLiteral("OwnerName:") + mv("LoftName") + QStringLiteral("%Street:") + mv("Street") +
            QStringLiteral("%Email:") + mv("EMail"),
        ClubSettings::load(dm_).deviceFieldList(),
        QStringLiteral("HostIp:") + UploadHost + QStringLiteral("$80%HostPath:/SendGPRS%Apn:") + settings_.apn +
            QStringLiteral("%HostSmsCode:") + settings_.hostSms +
            QStringLiteral("%UploadInterval:#120000%NotifyMode:#0%UploadMode:#112%timeZone:#") +
            QString::number(settings_.timeZoneSeconds) + QStringLiteral("%pi0:#") + settings_.markedFlag,
        QStringLiteral("userMode:#") + settings_.setParams,
    };
}

QString LoftDataDownload::unsafeValue(const QString &loftNo) const
{
    const auto members = dm_.rows(QStringLiteral("SELECT LoftName, City, PostCode, PhoneNo, LoftLon, LoftLat, Street, "
                                                 "EMail FROM ORV_LoftData WHERE LoftNo=? LIMIT 1"),
                                  {loftNo});
    QList<QPair<QString, QString>> values;
    if (!members.empty())
        for (int i = 0; i < members.front().count(); ++i)
            values.append({members.front().fieldName(i), members.front().value(i).toString()});
    if (const QString club = ClubSettings::load(dm_).unsafeDeviceValue(); !club.isEmpty())
        return club;
    values.append({QStringLiteral("APN"), settings_.apn});
    values.append({QStringLiteral("host SMS code"), settings_.hostSms});
    for (const auto &[field, value] : values)
        if (const auto bad = EntryCheck::fieldListBreaker(value))
            return QStringLiteral("Member %1: %2 holds \"%3\", which a clock cannot take. Nothing was sent.")
                .arg(loftNo, field, *bad);
    return {};
}

bool LoftDataDownload::run(const QString &loftNo)
{
    const QStringList lists = fieldLists(loftNo);
    if (lists.isEmpty()) {
        sink_.failure(QStringLiteral("Member %1 not found !").arg(loftNo));
        return false;
    }
    // A value holding "%" would end its field and start one of its own in the clock (a name
    // "Adams%LoftNo:999" would overwrite the loft number): nothing is sent then.
    if (const QString bad = unsafeValue(loftNo); !bad.isEmpty()) {
        sink_.failure(bad);
        return false;
    }
    const Answer answer = sink_.ask(QStringLiteral("Do you want to Initialize this timer ?"), true);
    if (answer == Answer::Cancel)
        return false;

    DeviceIdentity id;
    if (!DeviceAccess::identify(driver_, id)) {
        sink_.failure(QStringLiteral("Please connect to club antenna and clock."));
        return false;
    }
    if (answer == Answer::Yes) {
        QString reply;
        if (driver_.DeviceInit(id.deviceNo, loftNo, id.password, reply))
            DeviceAccess::identify(driver_, id);
        else
            sink_.failure(QStringLiteral("DeviceInit Error :") + reply);
    }
    // A clock of another loft is written only after it was initialised for this one.
    if (id.owner != loftNo) {
        sink_.failure(QStringLiteral("LoftNo Wrong ! ReCheck !"));
        return false;
    }
    if (!DeviceAccess::verify(driver_, id)) {
        sink_.failure(QStringLiteral("ComVerify Error :"));
        return false;
    }
    const QByteArray key = id.commKey;
    const QString deviceLoft = id.owner;
    static const char *const names[] = {"SetLoftInfo", "SetLoftInfo_2", "SetLoftInfo_3", "SetLoftInfo_4",
                                        "SetParams"};
    for (int i = 0; i < lists.size(); ++i) {
        const QString parm = AnsiText::decode(AnsiText::encode(lists.at(i)));
        QString reply;
        const bool ok = i < 4 ? driver_.SetLoftInfo(key, parm, reply) : driver_.SetParams(key, parm, reply);
        if (!ok) {
            sink_.failure(QLatin1String(names[i]) + QStringLiteral(" Error :") + reply);
            return false;
        }
    }
    const QString text = deviceLoft + QStringLiteral(" Loft/Club Data Download Success !");
    sink_.beep();
    sink_.success(text);
    driver_.DispMessage(text);
    return true;
}
