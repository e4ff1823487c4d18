#include "device/twinapiv8.h"

#include "device/ansitext.h"
#include "device/desencrypt.h"
#include "device/deviceerrors.h"
#include "device/devicelink.h"
#include "device/fieldlist.h"
#include "device/frame.h"
#include "device/json.h"
#include "store/appclock.h"
#include "store/operationsink.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace {
const char DiversifyOperand[] = "57460318";
const char InitSalt[] = "KDW4718";

QByteArray hexUpper(const QByteArray &bytes)
{
    return bytes.toHex().toUpper();
}
} // namespace

struct TWinApiV8::JsonReply
{
    QString text;                     // the reply body as text
    std::unique_ptr<TlkJSONbase> doc; // its parsed object
};

TWinApiV8::TWinApiV8(OperationSink *sink) : sink_(sink)
{
    QString error;
    link_ = DeviceLink::open(&error);
    if (!link_->isOpen()) {
        lastError_ = error.isEmpty() ? link_->errorString() : error;
        if (sink_)
            sink_->failure(lastError_);
    }
}

TWinApiV8::TWinApiV8(std::unique_ptr<ByteLink> link, OperationSink *sink)
    : link_(std::move(link)), sink_(sink)
{
}

TWinApiV8::~TWinApiV8() = default;

bool TWinApiV8::isOpen() const
{
    return link_ && link_->isOpen();
}

void TWinApiV8::fail(const QString &why, Failure kind)
{
    lastError_ = why;
    failure_ = kind;
}

void TWinApiV8::reportLinkError()
{
    lastError_ = link_->errorString();
    failure_ = Failure::LinkError;
    if (sink_)
        sink_->failure(lastError_);
}

// ---- frame and exchange ----

quint8 TWinApiV8::GetFCS(const QByteArray &buffer, int count)
{
    return Frame::fcs(buffer.constData(), int(qBound(qsizetype(0), qsizetype(count), buffer.size())));
}

void TWinApiV8::ComClear()
{
    if (link_)
        link_->clear();
}

void TWinApiV8::drainLine()
{
    drainPending_ = false;
    // Bounded, so that a line that never stops talking cannot hold the driver.
    for (int waited = 0; waited < MaxDrainMs; waited += QuietMs) {
        if (!link_->waitForBytes(QuietMs))
            return;
        link_->clear();
    }
}

bool TWinApiV8::ComSendRecv(quint8 Adr, quint8 Cmd, const QByteArray &CallParm, QByteArray &RecvBody)
{
    lastError_.clear();
    failure_ = Failure::None;
    deviceError_ = 0;
    const auto frame = Frame::request(Adr, Cmd, CallParm);
    if (!frame) {
        RecvBody = "Parameter length > 255 Byte Error !";
        fail(QString::fromLatin1(RecvBody), Failure::Invalid);
        return false;
    }
    if (!link_ || !link_->isOpen()) {
        fail(link_ && !link_->errorString().isEmpty() ? link_->errorString()
                                                      : QStringLiteral("Serial port not open"),
             Failure::LinkError);
        if (sink_)
            sink_->failure(lastError_);
        return false;
    }
    const int errorsBefore = link_->errorCount();
    if (drainPending_)
        drainLine();
    ComClear();
    if (!link_->write(*frame)) {
        reportLinkError();
        return false;
    }
    // Whatever goes wrong from here may leave bytes on their way: the next request drains first.
    drainPending_ = true;
    const auto timedOut = [&](const QString &why) {
        if (link_->errorCount() != errorsBefore)
            reportLinkError();
        else
            fail(why, Failure::TimedOut);
        return false;
    };
    if (!link_->waitForBytes(FirstByteTimeoutMs))
        return timedOut(QStringLiteral("No reply within %1 ms").arg(FirstByteTimeoutMs));
    QByteArray received;
    int foreignFrames = 0;
    while (link_->bytesAvailable() > 0) {
        received += link_->read(Frame::MaxFrame);
        if (received.size() > Frame::MaxFrame) {
            fail(QStringLiteral("Reply longer than %1 bytes").arg(Frame::MaxFrame), Failure::BadFrame);
            return false;
        }
        if (Frame::replyState(received) == Frame::ReplyState::Incomplete) {
            link_->waitForBytes(GapTimeoutMs);
            continue;
        }
        if (quint8(received.at(1)) != Adr || quint8(received.at(2)) != Cmd) {
            // A reply to another command (a late one): never the answer to this request.
            if (++foreignFrames > 3) {
                fail(QStringLiteral("Replies to other commands only"), Failure::BadFrame);
                return false;
            }
            received.clear();
            if (link_->bytesAvailable() == 0 && !link_->waitForBytes(FirstByteTimeoutMs))
                return timedOut(QStringLiteral("No reply within %1 ms").arg(FirstByteTimeoutMs));
            continue;
        }
        const Frame::Reply reply = Frame::parseReply(received);
        if (!reply.fcsOk) {
            RecvBody = "FCS Not Match";
        } else if (reply.status != 0) {
            RecvBody = " API Reply Status Fail !";
        } else {
            RecvBody = reply.body;
            drainPending_ = false;
            return true;
        }
        fail(QString::fromLatin1(RecvBody), Failure::BadFrame);
        return false;
    }
    return timedOut(QStringLiteral("Incomplete reply (%1 bytes received)").arg(received.size()));
}

// ---- verification and identity ----

QByteArray TWinApiV8::DoMD5Array(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

QString TWinApiV8::DoMD5(const QString &data)
{
    return QString::fromLatin1(hexUpper(DoMD5Array(AnsiText::encode(data))).left(8));
}

QDateTime TWinApiV8::NowUTC()
{
    return AppClock::now().toUTC();
}

QByteArray TWinApiV8::RandomChallenge()
{
    QByteArray r(4, '\0');
    for (char &b : r)
        b = char(QRandomGenerator::global()->bounded(255)); // 0..254, never 255
    return r;
}

QByteArray TWinApiV8::DeviceBytes(const QString &DeviceNo)
{
    QByteArray out;
    const QString t = DeviceNo.trimmed();
    for (int i = 0; i + 1 < t.size() && out.size() < 4; i += 2) {
        bool ok = false;
        const uint b = t.mid(i, 2).toUInt(&ok, 16);
        if (!ok)
            break;
        out += char(b);
    }
    return out;
}

bool TWinApiV8::GetDeviceNo(QString &DeviceNo, QString &LoftNo)
{
    QByteArray body;
    if (!ComSendRecv(Frame::DeviceAddress, Frame::DeviceNo, {}, body))
        return false;
    if (body.size() < 4) {
        fail(QStringLiteral("Device number reply too short (%1 bytes)").arg(body.size()), Failure::BadReply);
        return false;
    }
    DeviceNo = QString::fromLatin1(hexUpper(body.left(4)));
    LoftNo = AnsiText::decode(body.mid(4));
    return true;
}

QString TWinApiV8::DiverseKey(const QString &DeviceNo)
{
    // The data block is exactly the 8 characters of the device number.
    QByteArray data = DeviceNo.toLatin1().left(8);
    data.append(8 - data.size(), '\0');
    unsigned char out[8] = {};
    DesEncrypt(out, 8, reinterpret_cast<const unsigned char *>(data.constData()), 8,
               reinterpret_cast<const unsigned char *>(DiversifyOperand), 8);
    return QString::fromLatin1(hexUpper(QByteArray(reinterpret_cast<const char *>(out), 8)));
}

bool TWinApiV8::ComVerify(const QString &DeviceNo, const QString &Password, QByteArray &Random_Dev,
                          QByteArray &Random_PC, QByteArray &Comm_Key)
{
    const QByteArray device = DeviceBytes(DeviceNo);
    const QByteArray challenge = RandomChallenge();
    Random_PC = challenge;
    if (device.size() != 4) {
        fail(QStringLiteral("Invalid device number \"%1\"").arg(DeviceNo), Failure::Invalid);
        return false;
    }
    QByteArray body;
    if (!ComSendRecv(Frame::DeviceAddress, Frame::Verify, challenge, body))
        return false;
    if (body.size() < 8) {
        fail(QStringLiteral("Verification reply too short (%1 bytes)").arg(body.size()), Failure::BadReply);
        return false;
    }
    Random_Dev = body.left(4);
    const QByteArray d = DoMD5Array(challenge + Random_Dev + device + Password.toLatin1());
    if (d.left(4) != body.mid(4, 4)) {
        fail(QStringLiteral("Device proof does not match the password"), Failure::BadReply);
        return false;
    }
    Comm_Key = d.mid(4, 8);
    return true;
}

bool TWinApiV8::DeviceInit(const QString &DeviceNo, const QString &LoftNo, const QString &Password,
                           QString &Reply)
{
    Q_UNUSED(Reply);
    QByteArray randomDev, randomPc, key;
    ComVerify(DeviceNo, Password, randomDev, randomPc, key); // only its random values are used
    const QByteArray device = DeviceBytes(DeviceNo);
    if (device.size() != 4) {
        fail(QStringLiteral("Invalid device number \"%1\"").arg(DeviceNo), Failure::Invalid);
        return false;
    }
    const QByteArray owner = AnsiText::encode(LoftNo) + ',' + Password.toLatin1();
    const QByteArray auth = DoMD5Array(owner + randomPc + randomDev + device + InitSalt).left(4);
    QByteArray body;
    return ComSendRecv(Frame::DeviceAddress, Frame::Init, owner + auth, body);
}

bool TWinApiV8::DispMessage(const QString &msg)
{
    QByteArray body;
    return ComSendRecv(Frame::DeviceAddress, Frame::Display, msg.toUtf8(), body);
}

// ---- JSON commands ----

bool TWinApiV8::sendJson(const QByteArray &Comm_Key, const TlkJSONobject &request, QString &Reply,
                         LinkFailure mode, JsonReply *out)
{
    const QByteArray text = AnsiText::encode(TlkJSON::GenerateText(&request));
    const QByteArray body = text + DoMD5Array(text + Comm_Key).left(4);
    QByteArray recv;
    if (!ComSendRecv(Frame::DeviceAddress, Frame::Json, body, recv)) {
        if (mode == LinkFailure::ReplyGetsText)
            Reply = AnsiText::decode(recv);
        return false;
    }
    out->text = AnsiText::decode(recv);
    out->doc = TlkJSON::ParseText(recv);
    if (!out->doc || out->doc->SelfType() != TlkJSONtypes::jsObject) {
        Reply = out->text;
        fail(QStringLiteral("Reply is not a JSON object"), Failure::BadReply);
        return false;
    }
    const TlkJSONbase *error = out->doc->Field(QStringLiteral("error"));
    if (error && error->SelfType() == TlkJSONtypes::jsNumber && error->Value().toDouble() != 0) {
        Reply = out->text;
        fail(QStringLiteral("Device refused: %1").arg(out->text), Failure::Refused);
        deviceError_ = DeviceError::number(out->text);
        return false;
    }
    return true;
}

bool TWinApiV8::fieldItems(const QString &Parm, bool dollarAsColon, TlkJSONobject &target, QString &Reply)
{
    QList<FieldList::Item> items;
    QString error;
    if (!FieldList::parse(Parm, dollarAsColon, &items, &error)) {
        Reply = error;
        fail(error, Failure::Invalid);
        return false;
    }
    FieldList::addMembers(target, items);
    return true;
}

bool TWinApiV8::queryReply(const JsonReply &r, const QStringList &names, QString &Reply)
{
    const TlkJSONbase *result = r.doc->Field(QStringLiteral("result"));
    if (!result || result->SelfType() != TlkJSONtypes::jsObject) {
        Reply = r.text;
        fail(QStringLiteral("Reply has no \"result\" object"), Failure::BadReply);
        return false;
    }
    QString values;
    for (const QString &name : names) {
        const TlkJSONbase *v = result->Field(name);
        if (!v) {
            Reply = r.text;
            fail(QStringLiteral("Reply lacks the field \"%1\"").arg(name), Failure::BadReply);
            return false;
        }
        values += v->AsText() + QLatin1Char('%');
    }
    Reply = values;
    return true;
}

bool TWinApiV8::countReply(const JsonReply &r, int &count, QString &Reply)
{
    const TlkJSONbase *result = r.doc->Field(QStringLiteral("result"));
    bool ok = false;
    const qint64 n = result && result->SelfType() == TlkJSONtypes::jsNumber ? result->AsInteger(&ok) : 0;
    if (!ok || n < 0) {
        Reply = r.text;
        fail(QStringLiteral("Reply has no count in \"result\""), Failure::BadReply);
        return false;
    }
    if (n > DeviceError::MaxItems) {
        // No clock holds that many: a loop over such a count would run for days.
        Reply = r.text;
        fail(QStringLiteral("The device reports %1 entries, more than a clock can hold (%2)")
                 .arg(n)
                 .arg(DeviceError::MaxItems),
             Failure::BadReply);
        return false;
    }
    count = int(n);
    return true;
}

bool TWinApiV8::setCommand(const char *method, const QByteArray &Comm_Key, const QString &Parm,
                           QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), method);
    auto params = std::make_unique<TlkJSONobject>();
    if (!fieldItems(Parm, true, *params, Reply))
        return false;
    request.Add(QStringLiteral("params"), std::move(params));
    JsonReply r;
    return sendJson(Comm_Key, request, Reply, LinkFailure::ReplyGetsText, &r);
}

bool TWinApiV8::getCommand(const char *method, const QByteArray &Comm_Key, const QString &Parm,
                           QString &Reply)
{
    const QStringList names = FieldList::queryNames(Parm);
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), method);
    auto fields = std::make_unique<TlkJSONlist>();
    for (const QString &n : names)
        fields->Add(n);
    request.Add(QStringLiteral("fields"), std::move(fields));
    JsonReply r;
    if (!sendJson(Comm_Key, request, Reply, LinkFailure::ReplyGetsText, &r))
        return false;
    return queryReply(r, names, Reply);
}

bool TWinApiV8::SetLoftInfo(const QByteArray &Comm_Key, const QString &Parm, QString &Reply)
{
    return setCommand("setLoftInfo", Comm_Key, Parm, Reply);
}

bool TWinApiV8::GetLoftInfo(const QByteArray &Comm_Key, const QString &Parm, QString &Reply)
{
    return getCommand("getLoftInfo", Comm_Key, Parm, Reply);
}

bool TWinApiV8::SetClubInfo(const QByteArray &Comm_Key, const QString &Parm, QString &Reply)
{
    return setCommand("setClubInfo", Comm_Key, Parm, Reply);
}

bool TWinApiV8::GetClubInfo(const QByteArray &Comm_Key, const QString &Parm, QString &Reply)
{
    return getCommand("getClubInfo", Comm_Key, Parm, Reply);
}

bool TWinApiV8::GetParams(const QByteArray &Comm_Key, const QString &Parm, QString &Reply)
{
    return getCommand("getParams", Comm_Key, Parm, Reply);
}

bool TWinApiV8::SetParams(const QByteArray &Comm_Key, const QString &Parm, QString &Reply)
{
    QList<FieldList::Item> items;
    QString error;
    if (!FieldList::parse(Parm, true, &items, &error)) {
        Reply = error;
        fail(error, Failure::Invalid);
        return false;
    }
    if (items.isEmpty()) {
        // The request shape needs a last item; an empty list would send a malformed request.
        Reply = QStringLiteral("SetParams needs at least one field");
        fail(Reply, Failure::Invalid);
        return false;
    }
    qint32 v = 0;
    for (const auto &it : items)
        if (it.isNumber)
            v = it.number;
    const FieldList::Item last = items.takeLast();

    TlkJSONobject request;
    request.Add(QStringLiteral("method"), "setParams");
    FieldList::addMembers(request, items);
    auto params = std::make_unique<TlkJSONobject>();
    FieldList::addMembers(*params, {last});
    params->Add(QStringLiteral("params"), int(v));
    params->Add(last.name, int(v));
    request.Add(QStringLiteral("params"), std::move(params));
    request.Add(last.name, int(v));
    JsonReply r;
    return sendJson(Comm_Key, request, Reply, LinkFailure::ReplyGetsText, &r);
}

bool TWinApiV8::GetClubAntennaID(const QString &Parm, QString &Reply)
{
    Q_UNUSED(Parm);
    QByteArray body;
    if (!ComSendRecv(Frame::AntennaAddress, Frame::AntennaId, QByteArray("\x00\x07", 2), body))
        return false;
    Reply += QString::fromLatin1(hexUpper(body));
    return true;
}

// ---- pigeons ----

bool TWinApiV8::keyedSave(const char *method, const char *keyName, const QByteArray &Comm_Key, const QString &key,
                          const QString &Parm, QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), method);
    auto params = std::make_unique<TlkJSONobject>();
    params->Add(QLatin1String(keyName), key);
    if (!fieldItems(Parm, false, *params, Reply))
        return false;
    request.Add(QStringLiteral("params"), std::move(params));
    JsonReply r;
    return sendJson(Comm_Key, request, Reply, LinkFailure::ReplyGetsText, &r);
}

bool TWinApiV8::SavePigeon(const QByteArray &Comm_Key, const QString &AssocNum, const QString &Parm,
                           QString &Reply)
{
    return keyedSave("savePigeon", "AssocNum", Comm_Key, AssocNum, Parm, Reply);
}

bool TWinApiV8::DeletePigeon(const QByteArray &Comm_Key, const QString &AssocNum, QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), "deletePigeon");
    request.Add(QStringLiteral("AssocNum"), AssocNum);
    JsonReply r;
    return sendJson(Comm_Key, request, Reply, LinkFailure::ReplyGetsText, &r);
}

bool TWinApiV8::QueryPigeons(const QByteArray &Comm_Key, const QString &Filter, int &PigeonCount,
                             QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), "queryPigeon");
    auto params = std::make_unique<TlkJSONobject>();
    params->Add(QStringLiteral("filter"), Filter);
    request.Add(QStringLiteral("params"), std::move(params));
    JsonReply r;
    if (!sendJson(Comm_Key, request, Reply, LinkFailure::ReplyUnchanged, &r))
        return false;
    return countReply(r, PigeonCount, Reply);
}

bool TWinApiV8::fieldsQuery(TlkJSONobject &request, const QByteArray &Comm_Key, const QString &Parm,
                            QString &Reply)
{
    const QStringList names = FieldList::queryNames(Parm);
    auto fields = std::make_unique<TlkJSONlist>();
    for (const QString &n : names)
        fields->Add(n);
    request.Add(QStringLiteral("fields"), std::move(fields));
    JsonReply r;
    if (!sendJson(Comm_Key, request, Reply, LinkFailure::ReplyGetsText, &r))
        return false;
    return queryReply(r, names, Reply);
}

bool TWinApiV8::indexedQuery(const char *method, const QByteArray &Comm_Key, int index, const QString &Parm,
                             QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), method);
    request.Add(QStringLiteral("index"), index);
    return fieldsQuery(request, Comm_Key, Parm, Reply);
}

bool TWinApiV8::GetPigeonInfo(const QByteArray &Comm_Key, int index, const QString &Parm, QString &Reply)
{
    return indexedQuery("getPigeonInfo", Comm_Key, index, Parm, Reply);
}

// ---- races, records, log ----

bool TWinApiV8::SaveRace(const QByteArray &Comm_Key, const QString &RaceCode, const QString &Parm,
                         QString &Reply)
{
    return keyedSave("saveRace", "RaceCode", Comm_Key, RaceCode, Parm, Reply);
}

bool TWinApiV8::DeleteRace(const QByteArray &Comm_Key, const QString &RaceCode, QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), "deleteRace");
    request.Add(QStringLiteral("RaceCode"), RaceCode);
    JsonReply r;
    return sendJson(Comm_Key, request, Reply, LinkFailure::ReplyUnchanged, &r);
}

bool TWinApiV8::QueryRace(const QByteArray &Comm_Key, const QString &Filter, int &RaceCount, QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), "queryRace");
    request.Add(QStringLiteral("filer"), Filter); // the device's spelling
    JsonReply r;
    if (!sendJson(Comm_Key, request, Reply, LinkFailure::ReplyUnchanged, &r))
        return false;
    return countReply(r, RaceCount, Reply);
}

bool TWinApiV8::GetRaceInfo(const QByteArray &Comm_Key, int index, const QString &Parm, QString &Reply)
{
    return indexedQuery("getRaceInfo", Comm_Key, index, Parm, Reply);
}

bool TWinApiV8::QueryRaceRecord(const QByteArray &Comm_Key, const QString &AssocNum, const QString &Parm,
                                QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), "queryRaceRecord");
    request.Add(QStringLiteral("AssocNum"), AssocNum);
    return fieldsQuery(request, Comm_Key, Parm, Reply);
}

bool TWinApiV8::QueryLog(const QByteArray &Comm_Key, int LogIdfrom, int Limit, QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), "queryLog");
    request.Add(QStringLiteral("logid"), LogIdfrom);
    request.Add(QStringLiteral("limit"), Limit);
    JsonReply r;
    return sendJson(Comm_Key, request, Reply, LinkFailure::ReplyUnchanged, &r);
}

bool TWinApiV8::GetLogInfo(const QByteArray &Comm_Key, int index, QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), "getLogInfo");
    request.Add(QStringLiteral("index"), index);
    JsonReply r;
    if (!sendJson(Comm_Key, request, Reply, LinkFailure::ReplyGetsText, &r))
        return false;
    const TlkJSONbase *result = r.doc->Field(QStringLiteral("result"));
    if (!result) {
        Reply = r.text;
        fail(QStringLiteral("Reply has no \"result\""), Failure::BadReply);
        return false;
    }
    QString values;
    if (result->SelfType() == TlkJSONtypes::jsObject || result->SelfType() == TlkJSONtypes::jsList) {
        for (int i = 0; i < result->Count(); ++i)
            values += result->Child(i)->AsText() + QLatin1Char('%');
    } else {
        values = result->AsText() + QLatin1Char('%');
    }
    Reply = values;
    return true;
}

bool TWinApiV8::ClearLogInfo(const QByteArray &Comm_Key, int Count, QString &Reply)
{
    TlkJSONobject request;
    request.Add(QStringLiteral("method"), "clearLog");
    request.Add(QStringLiteral("count"), Count);
    JsonReply r;
    return sendJson(Comm_Key, request, Reply, LinkFailure::ReplyUnchanged, &r);
}
