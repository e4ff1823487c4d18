#include "members/loftdownload.h"

#include "device/ansitext.h"
#include "device/deviceaccess.h"
#include "device/twinapiv8.h"
#include "store/operationsink.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"

#include <QSqlRecord>

LoftDataDownload::LoftDataDownload(TdmORVS &dm, TWinApiV8 &driver, OperationSink &sink,
                                   const MemberSettings &settings)
    : dm_(dm), driver_(driver), sink_(sink), settings_(settings)
{
}

std::vector<FieldList::Writer> LoftDataDownload::lists(const QString &loftNo) const
{
    const auto members = dm_.rows(QStringLiteral("SELECT * FROM ORV_LoftData WHERE LoftNo=? LIMIT 1"), {loftNo});
    if (members.empty())
        return {};
    const QSqlRecord &m = members.front();
    const auto mv = [&m](const char *c) { return m.value(QLatin1String(c)).toString(); };
    std::vector<FieldList::Writer> out(5);
    out[0]
        .text(QStringLiteral("OwnerName"), mv("LoftName"), QStringLiteral("Name"))
        .text(QStringLiteral("City"), mv("City"))
        .text(QStringLiteral("PostCode"), mv("PostCode"), QStringLiteral("Post code"))
        .text(QStringLiteral("PhoneNo"), mv("PhoneNo"), QStringLiteral("Phone"))
        .text(QStringLiteral("LoftLon"), mv("LoftLon"), QStringLiteral("Longitude"))
        .text(QStringLiteral("LoftLat"), mv("LoftLat"), QStringLiteral("Latitude"));
    out[1]
        .text(QStringLiteral("OwnerName"), mv("LoftName"), QStringLiteral("Name"))
        .text(QStringLiteral("Street"), mv("Street"))
        .text(QStringLiteral("Email"), mv("EMail"), QStringLiteral("E-mail"));
    const ClubSettings club = ClubSettings::load(dm_);
    out[2] = FieldList::clubList(club.clubId, club.clubName, club.street, club.city, club.postCode,
                                 club.associationCode);
    out[3]
        .hostPort(QStringLiteral("HostIp"), UploadHost, 80)
        .text(QStringLiteral("HostPath"), QStringLiteral("/SendGPRS"))
        .text(QStringLiteral("Apn"), settings_.apn, QStringLiteral("APN (ORVS.ini)"))
        .text(QStringLiteral("HostSmsCode"), settings_.hostSms, QStringLiteral("HostSms (ORVS.ini)"))
        .number(QStringLiteral("UploadInterval"), 120000)
        .number(QStringLiteral("NotifyMode"), 0)
        .number(QStringLiteral("UploadMode"), 112)
        .number(QStringLiteral("timeZone"), settings_.timeZoneSeconds)
        .numberText(QStringLiteral("pi0"), settings_.markedFlag, QStringLiteral("MarkedFlag (ORVS.ini)"));
    out[4].numberText(QStringLiteral("userMode"), settings_.setParams, QStringLiteral("SetParams (ORVS.ini)"));
    return out;
}

QStringList LoftDataDownload::fieldLists(const QString &loftNo) const
{
    QStringList texts;
    for (const FieldList::Writer &w : lists(loftNo))
        texts << w.list();
    return texts;
}

bool LoftDataDownload::run(const QString &loftNo)
{
    const std::vector<FieldList::Writer> lists = this->lists(loftNo);
    if (lists.empty()) {
        sink_.failure(QStringLiteral("Member %1 not found !").arg(loftNo));
        return false;
    }
    // A value holding "%" would end its field and start one of its own in the clock (a name
    // "Adams%LoftNo:999" would overwrite the loft number): nothing is sent then.
    for (const FieldList::Writer &w : lists)
        if (!w.ok()) {
            sink_.failure(QStringLiteral("Member %1: %2 Nothing was sent.").arg(loftNo, w.problem()));
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
    QStringList shownAsQuestionMarks;
    for (const FieldList::Writer &w : lists)
        for (const QString &warning : w.warnings())
            if (!shownAsQuestionMarks.contains(warning))
                shownAsQuestionMarks << warning;
    for (const QString &warning : shownAsQuestionMarks)
        sink_.info(warning);
    for (int i = 0; i < int(lists.size()); ++i) {
        const QString parm = AnsiText::decode(AnsiText::encode(lists.at(size_t(i)).list()));
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
