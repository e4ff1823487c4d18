#include "device/fieldlist.h"
#include "device/frame.h"
#include "device/json.h"
#include "rig.h"

class TstCommands : public QObject
{
    Q_OBJECT

private slots:
    void cutsFieldLists();
    void refusesNonWholeNumbersBeforeSending();
    void writerRefusesWhatWouldBreakAList();
    void signsSetLoftInfoByteExact();
    void buildsOddSetParamsShape();
    void buildsRequestShapes();
    void matchesQueryValuesByName();
    void evaluatesDeviceErrors();
    void keepsOrWritesReplyOnLinkFailure();
    void readsCounts();
    void readsAntennaIdentity();
    void roundTripsThroughTheClock();
};

namespace {
QString members(const QString &parm, bool dollar)
{
    QList<FieldList::Item> items;
    QString error;
    if (!FieldList::parse(parm, dollar, &items, &error))
        return QStringLiteral("error: ") + error;
    TlkJSONobject o;
    FieldList::addMembers(o, items);
    return TlkJSON::GenerateText(&o);
}
} // namespace

void TstCommands::cutsFieldLists()
{
    QCOMPARE(members(QStringLiteral("A:1%B:#2%"), false), QStringLiteral("{\"A\":\"1\",\"B\":2}"));
    QCOMPARE(members(QStringLiteral("HostIp:host$80%Apn:"), true),
             QStringLiteral("{\"HostIp\":\"host:80\",\"Apn\":\"\"}"));
    QCOMPARE(members(QStringLiteral("HostPath:/a:b"), true), QStringLiteral("{\"HostPath\":\"\\/a:b\"}"));
    QCOMPARE(members(QStringLiteral("P:a$b$c"), true), QStringLiteral("{\"P\":\"a:b$c\"}")); // first "$" only
    QCOMPARE(members(QStringLiteral("P:a$b"), false), QStringLiteral("{\"P\":\"a$b\"}"));
    QCOMPARE(members(QStringLiteral("A:1%%novalue%:x"), false),
             QStringLiteral("{\"A\":\"1\",\"\":\"\",\"\":\"novalue\",\"\":\"x\"}"));
    QCOMPARE(members(QString(), false), QStringLiteral("{}"));
    QCOMPARE(members(QStringLiteral("T:#-2147483648%U:#+7"), false),
             QStringLiteral("{\"T\":-2147483648,\"U\":7}"));
    QVERIFY(members(QStringLiteral("T:#2147483648"), false).startsWith(QLatin1String("error: '2147483648'")));
    QVERIFY(members(QStringLiteral("Year:#20x6"), false).contains(QLatin1String("Year")));
    QVERIFY(members(QStringLiteral("Year:#"), false).startsWith(QLatin1String("error")));
    QCOMPARE(FieldList::queryNames(QStringLiteral("RaceCode%MarkDeviceTime%")),
             QStringList({QStringLiteral("RaceCode"), QStringLiteral("MarkDeviceTime")}));
}

void TstCommands::writerRefusesWhatWouldBreakAList()
{
    FieldList::Writer w;
    w.text("regNum", "1234").text("Color", "BB").numberText("Year", "2025").number("Sex", 0);
    w.hostPort("HostIp", "up.example.org", 80).text("Apn", "");
    QVERIFY(w.ok());
    QCOMPARE(w.list(), QStringLiteral("regNum:1234%Color:BB%Year:#2025%Sex:#0%HostIp:up.example.org$80%Apn:"));
    QCOMPARE(members(w.list(), true), QStringLiteral("{\"regNum\":\"1234\",\"Color\":\"BB\",\"Year\":2025,"
                                                     "\"Sex\":0,\"HostIp\":\"up.example.org:80\",\"Apn\":\"\"}"));

    // A colour stored before the entry checks would have turned a hen into a cock.
    FieldList::Writer hen;
    hen.text("Color", "B%Sex:#1", "Colour").number("Sex", 0);
    QVERIFY(!hen.ok());
    QCOMPARE(hen.problem(), QStringLiteral("Colour: the character \"%\" cannot be sent to a clock."));
    const std::pair<const char *, const char *> refused[] = {
        {"#12", "Name: a clock cannot take a text starting with \"#\"."},
        {"a$b", "Name: the character \"$\" cannot be sent to a clock."},
    };
    for (const auto &[value, message] : refused) {
        FieldList::Writer v;
        v.text("OwnerName", value, "Name");
        QCOMPARE(v.problem(), QString::fromUtf8(message));
    }
    FieldList::Writer year;
    year.numberText("Year", "", "Year").numberText("X", "1e2");
    QCOMPARE(year.problem(), QStringLiteral("Year: '' is not a whole number.")); // the first refusal counts
    FieldList::Writer host;
    host.hostPort("HostIp", "a:b", 80);
    QVERIFY(!host.ok());

    // Letters the clock cannot show are sent as "?", and the field is named.
    FieldList::Writer shown;
    shown.text("OwnerName", QStringLiteral("Łukasz Wójcik"), "Name").text("City", QStringLiteral("Brno"));
    QVERIFY(shown.ok());
    QCOMPARE(shown.warnings(), QStringList{QStringLiteral("Name: 1 character(s) the clock cannot show are sent as \"?\".")});
}

void TstCommands::refusesNonWholeNumbersBeforeSending()
{
    Rig rig;
    QVERIFY(rig.verify());
    const int sent = rig.sim.requestCount();
    QString reply;
    QVERIFY(!rig.api->SetLoftInfo(rig.key, QStringLiteral("City:Brno%Year:#20.16"), reply));
    QVERIFY(reply.contains(QLatin1String("'20.16' is not a valid integer value")));
    QVERIFY(!rig.api->SavePigeon(rig.key, QStringLiteral("X"), QStringLiteral("Sex:#M"), reply));
    QVERIFY(!rig.api->SaveRace(rig.key, QStringLiteral("R1"), QStringLiteral("PrintCount:#one"), reply));
    QVERIFY(!rig.api->SetParams(rig.key, QStringLiteral("userMode:#x"), reply));
    QVERIFY(!rig.api->SetParams(rig.key, QString(), reply)); // no item: no request shape
    QCOMPARE(rig.sim.requestCount(), sent);
    QVERIFY(rig.clock().loftInfo.size() == 0);
}

void TstCommands::signsSetLoftInfoByteExact()
{
    Rig rig;
    QVERIFY(rig.verify());
    QString reply;
    QVERIFY(rig.api->SetLoftInfo(rig.key, QStringLiteral("OwnerName:001%Year:#2016"), reply));
    const QByteArray text("{\"method\":\"setLoftInfo\",\"params\":{\"OwnerName\":\"001\",\"Year\":2016}}");
    const QByteArray body = text + TWinApiV8::DoMD5Array(text + rig.key).left(4);
    QCOMPARE(rig.sim.lastRequestFrame(), *Frame::request(0x21, 0xC0, body));
    QCOMPARE(rig.clock().loftInfo.number(QStringLiteral("Year")), 2016);

    // Signed with another key, the device refuses it.
    QByteArray wrongKey = rig.key;
    wrongKey[0] = char(wrongKey[0] ^ 1);
    QVERIFY(!rig.api->SetLoftInfo(wrongKey, QStringLiteral("City:Brno"), reply));
    QCOMPARE(reply, QStringLiteral("{\"error\":1}"));

    // Request text and signature must fit in 250 bytes.
    QVERIFY(
        !rig.api->SetLoftInfo(rig.key, QStringLiteral("Street:") + QString(200, QLatin1Char('s')), reply));
    QCOMPARE(reply, QStringLiteral("Parameter length > 255 Byte Error !"));
    // Characters outside the single-byte set cannot be carried.
    QVERIFY(rig.api->SetLoftInfo(rig.key, QStringLiteral("City:Zürich€Ω"), reply));
    QCOMPARE(rig.clock().loftInfo.text(QStringLiteral("City")), QStringLiteral("Zürich€?"));
}

void TstCommands::buildsOddSetParamsShape()
{
    Rig rig;
    QVERIFY(rig.verify());
    QString reply;
    QVERIFY(rig.api->SetParams(rig.key, QStringLiteral("userMode:#0"), reply));
    QCOMPARE(rig.sim.lastRequestJson(), QStringLiteral("{\"method\":\"setParams\",\"params\":{\"userMode\":0,"
                                                       "\"params\":0,\"userMode\":0},\"userMode\":0}"));
    QCOMPARE(rig.clock().params.number(QStringLiteral("userMode")), 0);
    QVERIFY(rig.api->SetParams(rig.key, QStringLiteral("a:x$y%b:#5%userMode:#3"), reply));
    QCOMPARE(rig.sim.lastRequestJson(),
             QStringLiteral(
                 "{\"method\":\"setParams\",\"a\":\"x:y\",\"b\":5,\"params\":{\"userMode\":3,\"params\":3,"
                 "\"userMode\":3},\"userMode\":3}"));
    QVERIFY(rig.api->SetParams(rig.key, QStringLiteral("a:#4%b:t"), reply));
    QCOMPARE(rig.sim.lastRequestJson(),
             QStringLiteral(
                 "{\"method\":\"setParams\",\"a\":4,\"params\":{\"b\":\"t\",\"params\":4,\"b\":4},\"b\":4}"));
    QVERIFY(rig.api->SetParams(rig.key, QStringLiteral("b:t"), reply)); // no "#" item: v is 0
    QCOMPARE(
        rig.sim.lastRequestJson(),
        QStringLiteral("{\"method\":\"setParams\",\"params\":{\"b\":\"t\",\"params\":0,\"b\":0},\"b\":0}"));
}

void TstCommands::buildsRequestShapes()
{
    Rig rig;
    QVERIFY(rig.verify());
    QString reply;
    int count = 0;
    struct Case
    {
        std::function<bool()> call;
        QString json;
    };
    const QByteArray &k = rig.key;
    TWinApiV8 &api = *rig.api;
    const QList<Case> cases = {
        {[&] { return api.SetClubInfo(k, QStringLiteral("ClubCode:NC%HostIp:h$1"), reply); },
         R"({"method":"setClubInfo","params":{"ClubCode":"NC","HostIp":"h:1"}})"},
        {[&] { return api.GetClubInfo(k, QStringLiteral("ClubCode%ClubName"), reply); },
         R"({"method":"getClubInfo","fields":["ClubCode","ClubName"]})"},
        {[&] { return api.GetLoftInfo(k, QStringLiteral("OwnerName%City"), reply); },
         R"({"method":"getLoftInfo","fields":["OwnerName","City"]})"},
        {[&] { return api.GetParams(k, QStringLiteral("userMode"), reply); },
         R"({"method":"getParams","fields":["userMode"]})"},
        {[&] { return api.SavePigeon(k, QStringLiteral("X"), QStringLiteral("Sex:#1"), reply); },
         R"({"method":"savePigeon","params":{"AssocNum":"X","Sex":1}})"},
        {[&] { return api.SavePigeon(k, QStringLiteral("Y"), QStringLiteral("regNum:a$b"), reply); },
         R"({"method":"savePigeon","params":{"AssocNum":"Y","regNum":"a$b"}})"},
        {[&] { return api.QueryPigeons(k, QStringLiteral("updateTime>=0"), count, reply); },
         R"({"method":"queryPigeon","params":{"filter":"updateTime>=0"}})"},
        {[&] { return api.GetPigeonInfo(k, 0, QStringLiteral("AssocNum%Sex"), reply); },
         R"({"method":"getPigeonInfo","index":0,"fields":["AssocNum","Sex"]})"},
        {[&] { return api.DeletePigeon(k, QStringLiteral("Y"), reply); },
         R"({"method":"deletePigeon","AssocNum":"Y"})"},
        {[&] { return api.SaveRace(k, QStringLiteral("1234A526"), QString(), reply); },
         R"({"method":"saveRace","params":{"RaceCode":"1234A526"}})"},
        {[&] {
             return api.SaveRace(k, QStringLiteral("R2"),
                                 QStringLiteral("LiberTime:1700000000000%PrintCount:#2"), reply);
         },
         R"({"method":"saveRace","params":{"RaceCode":"R2","LiberTime":"1700000000000","PrintCount":2}})"},
        {[&] { return api.QueryRace(k, QString(), count, reply); }, R"({"method":"queryRace","filer":""})"},
        {[&] { return api.GetRaceInfo(k, 1, QStringLiteral("RaceCode%MarkDeviceTime%"), reply); },
         R"({"method":"getRaceInfo","index":1,"fields":["RaceCode","MarkDeviceTime"]})"},
        {[&] { return api.DeleteRace(k, QStringLiteral("R2"), reply); },
         R"({"method":"deleteRace","RaceCode":"R2"})"},
        {[&] { return api.QueryLog(k, 3, 10, reply); }, R"({"method":"queryLog","logid":3,"limit":10})"},
        {[&] { return api.GetLogInfo(k, 0, reply); }, R"({"method":"getLogInfo","index":0})"},
        {[&] { return api.ClearLogInfo(k, 2, reply); }, R"({"method":"clearLog","count":2})"},
    };
    rig.clock().addLog(QStringLiteral("power on"), 1000);
    for (const Case &c : cases) {
        reply.clear();
        QVERIFY2(c.call(), qPrintable(c.json + QStringLiteral(" -> ") + reply));
        QCOMPARE(rig.sim.lastRequestJson(), c.json);
    }
}

void TstCommands::matchesQueryValuesByName()
{
    Rig rig;
    QVERIFY(rig.verify());
    QString reply;
    rig.sim.injectFault(
        QStringLiteral(R"(reply:{"error":0,"result":{"Y":"why","X":1.5,"Z":true}}@getLoftInfo)"));
    QVERIFY(rig.api->GetLoftInfo(rig.key, QStringLiteral("X%Y"), reply));
    QCOMPARE(reply, QStringLiteral("1.5%why%"));

    rig.sim.injectFault(
        QStringLiteral(R"(reply:{"result":{"markTime":1700000000123,"RaceCode":"R1","n":null}})"));
    QVERIFY(rig.api->QueryRaceRecord(rig.key, QStringLiteral("NL-24-1"),
                                     QStringLiteral("RaceCode%markTime%n%"), reply));
    QCOMPARE(reply, QStringLiteral("R1%1700000000123%%"));

    // A requested field missing from the result, or no result at all: the failure path.
    rig.sim.injectFault(QStringLiteral(R"(reply:{"error":0,"result":{"X":1}})"));
    QVERIFY(!rig.api->GetRaceInfo(rig.key, 0, QStringLiteral("X%Y"), reply));
    QCOMPARE(reply, QStringLiteral(R"({"error":0,"result":{"X":1}})"));
    rig.sim.injectFault(QStringLiteral(R"(reply:{"error":0})"));
    QVERIFY(!rig.api->GetPigeonInfo(rig.key, 0, QStringLiteral("X"), reply));
    QCOMPARE(reply, QStringLiteral(R"({"error":0})"));
}

void TstCommands::evaluatesDeviceErrors()
{
    Rig rig;
    QVERIFY(rig.verify());
    QString reply;
    rig.sim.injectFault(QStringLiteral(R"(reply:{"error":3})"));
    QVERIFY(!rig.api->SetClubInfo(rig.key, QStringLiteral("ClubCode:NC"), reply));
    QCOMPARE(reply, QStringLiteral(R"({"error":3})"));
    rig.sim.injectFault(QStringLiteral(R"(reply:{"ok":1})"));
    reply = QStringLiteral("before");
    QVERIFY(rig.api->SetClubInfo(rig.key, QStringLiteral("ClubCode:NC"), reply));
    QCOMPARE(reply, QStringLiteral("before"));
    rig.sim.injectFault(QStringLiteral(R"(reply:{"error":"7"})")); // not a number: no refusal
    QVERIFY(rig.api->DeletePigeon(rig.key, QStringLiteral("nobody"), reply));
    rig.sim.injectFault(QStringLiteral("reply:garbage"));
    QVERIFY(!rig.api->DeletePigeon(rig.key, QStringLiteral("nobody"), reply));
    QCOMPARE(reply, QStringLiteral("garbage"));
    // The clock's own refusal of a pigeon without a record.
    QVERIFY(!rig.api->QueryRaceRecord(rig.key, QStringLiteral("nobody"), QStringLiteral("RaceCode"), reply));
    QCOMPARE(reply, QStringLiteral(R"({"error":1287})"));
    const auto doc = TlkJSON::ParseText(reply);
    QCOMPARE(doc->Field(QStringLiteral("error"))->AsInteger(), 1287);
}

void TstCommands::keepsOrWritesReplyOnLinkFailure()
{
    Rig rig;
    QVERIFY(rig.verify());
    const QByteArray &k = rig.key;
    TWinApiV8 &api = *rig.api;
    int count = 42;
    // Commands that leave Reply alone when the link fails.
    const QList<std::function<bool(QString &)>> unchanged = {
        [&](QString &r) { return api.DeleteRace(k, QStringLiteral("R"), r); },
        [&](QString &r) { return api.QueryRace(k, QString(), count, r); },
        [&](QString &r) { return api.QueryPigeons(k, QString(), count, r); },
        [&](QString &r) { return api.QueryLog(k, 0, 1, r); },
        [&](QString &r) { return api.ClearLogInfo(k, 1, r); },
    };
    for (const auto &call : unchanged) {
        rig.sim.injectFault(QStringLiteral("fcs"));
        QString reply = QStringLiteral("before");
        QVERIFY(!call(reply));
        QCOMPARE(reply, QStringLiteral("before"));
    }
    QCOMPARE(count, 42);
    // The others take the link's text.
    const QList<std::function<bool(QString &)>> written = {
        [&](QString &r) { return api.SaveRace(k, QStringLiteral("R"), QString(), r); },
        [&](QString &r) { return api.GetRaceInfo(k, 0, QStringLiteral("RaceCode"), r); },
        [&](QString &r) {
            return api.QueryRaceRecord(k, QStringLiteral("P"), QStringLiteral("RaceCode"), r);
        },
        [&](QString &r) { return api.GetLogInfo(k, 0, r); },
        [&](QString &r) { return api.SavePigeon(k, QStringLiteral("P"), QString(), r); },
        [&](QString &r) { return api.DeletePigeon(k, QStringLiteral("P"), r); },
        [&](QString &r) { return api.GetPigeonInfo(k, 0, QStringLiteral("AssocNum"), r); },
        [&](QString &r) { return api.SetLoftInfo(k, QStringLiteral("A:b"), r); },
        [&](QString &r) { return api.GetParams(k, QStringLiteral("A"), r); },
    };
    for (const auto &call : written) {
        rig.sim.injectFault(QStringLiteral("fcs"));
        QString reply = QStringLiteral("before");
        QVERIFY(!call(reply));
        QCOMPARE(reply, QStringLiteral("FCS Not Match"));
    }
    // No reply at all leaves the exchange's text empty.
    rig.sim.injectFault(QStringLiteral("short"));
    QString reply = QStringLiteral("before");
    QVERIFY(!api.SetClubInfo(k, QStringLiteral("A:b"), reply));
    QCOMPARE(reply, QString());
}

void TstCommands::readsCounts()
{
    Rig rig;
    QVERIFY(rig.verify());
    QString reply;
    int count = -1;
    rig.sim.injectFault(QStringLiteral(R"(reply:{"error":0,"result":12})"));
    QVERIFY(rig.api->QueryPigeons(rig.key, QString(), count, reply));
    QCOMPARE(count, 12);
    rig.sim.injectFault(QStringLiteral(R"(reply:{"error":5})"));
    QVERIFY(!rig.api->QueryPigeons(rig.key, QString(), count, reply));
    QCOMPARE(reply, QStringLiteral(R"({"error":5})"));
    QCOMPARE(count, 12);
    rig.sim.injectFault(QStringLiteral(R"(reply:{"error":0,"result":"many"})"));
    QVERIFY(!rig.api->QueryRace(rig.key, QString(), count, reply));
    QCOMPARE(count, 12);
    QCOMPARE(reply, QStringLiteral(R"({"error":0,"result":"many"})"));
}

void TstCommands::readsAntennaIdentity()
{
    Rig rig;
    QString reply = QStringLiteral("ID:");
    QVERIFY(rig.api->GetClubAntennaID(QString(), reply));
    QCOMPARE(reply, QStringLiteral("ID:A0000001")); // appended, whichever clock is connected
    QCOMPARE(rig.sim.lastRequestFrame(), QByteArray::fromHex("6C00BD020007") + char(0x6C + 0xBD + 2 + 7));
    rig.sim.injectFault(QStringLiteral("silence"));
    QVERIFY(!rig.api->GetClubAntennaID(QString(), reply));
    QCOMPARE(reply, QStringLiteral("ID:A0000001"));
}

void TstCommands::roundTripsThroughTheClock()
{
    Rig rig;
    QVERIFY(rig.verify());
    const QByteArray &k = rig.key;
    TWinApiV8 &api = *rig.api;
    QString reply;
    QVERIFY(api.SetLoftInfo(k, QStringLiteral("OwnerName:Novák%Year:#2016%HostIp:gprs.example$80"), reply));
    QVERIFY(api.GetLoftInfo(k, QStringLiteral("HostIp%Year%OwnerName%Unknown"), reply));
    QCOMPARE(reply, QStringLiteral("gprs.example:80%2016%Novák%%"));

    QVERIFY(api.SavePigeon(k, QStringLiteral("NL-2024-1"),
                           QStringLiteral("eringNum:E1%Year:#2024%Sex:#1%Color:BB"), reply));
    QVERIFY(api.SavePigeon(k, QStringLiteral("NL-2024-2"), QStringLiteral("eringNum:E2%Year:#2024%Sex:#0"),
                           reply));
    int count = 0;
    QVERIFY(api.QueryPigeons(k, QString(), count, reply));
    QCOMPARE(count, 2);
    QVERIFY(api.GetPigeonInfo(k, 1, QStringLiteral("AssocNum%Uid%EringNum%Year%Sex%Color"), reply));
    QCOMPARE(reply, QStringLiteral("NL-2024-2%%E2%2024%0%%"));
    QVERIFY(!api.GetPigeonInfo(k, 2, QStringLiteral("AssocNum"), reply));
    QCOMPARE(reply, QStringLiteral(R"({"error":1283})"));

    QVERIFY(
        api.SaveRace(k, QStringLiteral("1234A526"), QStringLiteral("LiberCode:1234%PrintCount:#1"), reply));
    rig.clock().markRace(QStringLiteral("1234A526"), 1000, 2000);
    rig.clock().markPigeon(QStringLiteral("NL-2024-1"), QStringLiteral("1234A526"), 1500, 77);
    rig.clock().arrive(QStringLiteral("NL-2024-1"), 9000, 180000000, 15000000);
    QVERIFY(api.QueryRace(k, QStringLiteral("RaceCode='''1234A526'''"), count, reply));
    QCOMPARE(count, 1);
    QVERIFY(api.GetRaceInfo(k, 0, QStringLiteral("RaceCode%MarkDeviceTime%MarkReaderTime"), reply));
    QCOMPARE(reply, QStringLiteral("1234A526%1000%2000%"));
    QVERIFY(api.QueryRaceRecord(k, QStringLiteral("NL-2024-1"),
                                QStringLiteral("RaceCode%RandNumMarked%GpsValid%BackOrder%"), reply));
    QCOMPARE(reply, QStringLiteral("1234A526%77%True%1%"));
    QVERIFY(api.QueryRaceRecord(k, QStringLiteral("NL-2024-1"),
                                QStringLiteral("BackTimeEring%BackHomeLat%markTime"), reply));
    QCOMPARE(reply, QStringLiteral("9000%180000000%1500%"));
    QVERIFY(!api.QueryRaceRecord(k, QStringLiteral("NL-2024-2"), QStringLiteral("RaceCode"), reply));

    QVERIFY(api.DeleteRace(k, QStringLiteral("1234A526"), reply));
    QVERIFY(api.QueryRace(k, QString(), count, reply));
    QCOMPARE(count, 0);
    QVERIFY(api.DispMessage(QStringLiteral("Clock Synchornize Success ! Ω")));
    QCOMPARE(rig.clock().display, QStringLiteral("Clock Synchornize Success ! Ω"));
}

QTEST_GUILESS_MAIN(TstCommands)
#include "tst_commands.moc"
