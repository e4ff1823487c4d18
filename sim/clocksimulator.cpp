#include "sim/clocksimulator.h"

#include "device/ansitext.h"
#include "device/frame.h"
#include "device/json.h"
#include "device/twinapiv8.h"
#include "store/appclock.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <cmath>

namespace {
const char InitSalt[] = "KDW4718";

qint64 nowMs()
{
    return AppClock::now().toMSecsSinceEpoch();
}

std::unique_ptr<TlkJSONbase> toJson(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return std::make_unique<TlkJSONboolean>(v.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return std::make_unique<TlkJSONnumber>(v.toDouble());
    case QMetaType::UnknownType:
        return std::make_unique<TlkJSONnull>();
    default:
        return std::make_unique<TlkJSONstring>(v.toString());
    }
}

QVariant fromJson(const TlkJSONbase *v)
{
    if (!v)
        return {};
    switch (v->SelfType()) {
    case TlkJSONtypes::jsNumber: {
        const double d = v->Value().toDouble();
        if (d == std::trunc(d) && std::fabs(d) < 9.0e15)
            return qint64(d);
        return d;
    }
    case TlkJSONtypes::jsString:
        return v->Value().toString();
    case TlkJSONtypes::jsBoolean:
        return v->Value().toBool();
    default:
        return {};
    }
}

// Applies every member of a JSON object to fields (first member of a repeated name wins).
void mergeMembers(SimFields &fields, const TlkJSONbase *obj, const QStringList &skip = {})
{
    if (!obj || obj->SelfType() != TlkJSONtypes::jsObject)
        return;
    const auto *o = static_cast<const TlkJSONobject *>(obj);
    for (int i = 0; i < o->Count(); ++i) {
        const QString name = o->Member(i).Name();
        if (skip.contains(name) || o->IndexOfName(name) != i)
            continue;
        fields.set(name, fromJson(o->Member(i).ObjValue()));
    }
}

QStringList fieldNames(const TlkJSONbase &req)
{
    QStringList names;
    const TlkJSONbase *list = req.Field(QStringLiteral("fields"));
    if (list && list->SelfType() == TlkJSONtypes::jsList)
        for (int i = 0; i < list->Count(); ++i)
            names << list->Child(i)->AsText();
    return names;
}

// A filter "Name op Value" (op: = <> != >= <= > <), the value optionally in (repeated) single
// quotes; the empty filter matches everything.
struct Filter
{
    QString name, op, value;
    bool valid = true;
    bool any = true;

    explicit Filter(const QString &text)
    {
        const QString t = text.trimmed();
        if (t.isEmpty())
            return;
        any = false;
        static const QRegularExpression re(
            QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*(>=|<=|<>|!=|=|>|<)\\s*(.*?)\\s*$"));
        const auto m = re.match(t);
        if (!m.hasMatch()) {
            valid = false;
            return;
        }
        name = m.captured(1);
        op = m.captured(2);
        value = m.captured(3);
        while (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))
            value = value.mid(1, value.size() - 2);
    }

    bool matches(const SimFields &f) const
    {
        if (any)
            return true;
        const QVariant v = f.value(name);
        bool n1 = false, n2 = false;
        const double a = v.toString().toDouble(&n1), b = value.toDouble(&n2);
        const int cmp = (n1 && n2) ? (a < b ? -1 : a > b ? 1 : 0) : QString::compare(v.toString(), value);
        if (op == QLatin1String("="))
            return cmp == 0;
        if (op == QLatin1String("<>") || op == QLatin1String("!="))
            return cmp != 0;
        if (op == QLatin1String(">="))
            return cmp >= 0;
        if (op == QLatin1String("<="))
            return cmp <= 0;
        if (op == QLatin1String(">"))
            return cmp > 0;
        return cmp < 0;
    }
};

QString commandName(quint8 adr, quint8 cmd)
{
    if (adr == Frame::AntennaAddress && cmd == Frame::AntennaId)
        return QStringLiteral("GetClubAntennaID");
    switch (cmd) {
    case Frame::DeviceNo:
        return QStringLiteral("GetDeviceNo");
    case Frame::Verify:
        return QStringLiteral("ComVerify");
    case Frame::Init:
        return QStringLiteral("DeviceInit");
    case Frame::Display:
        return QStringLiteral("DispMessage");
    default:
        return QStringLiteral("0x%1").arg(cmd, 2, 16, QLatin1Char('0'));
    }
}
} // namespace

// ---- faults ----

bool SimFault::parse(const QString &spec, SimFault *out, QString *error)
{
    QString s = spec.trimmed();
    SimFault f;
    static const QRegularExpression targetRe(QStringLiteral("@([A-Za-z][A-Za-z0-9_]*)$"));
    const auto tm = targetRe.match(s);
    if (tm.hasMatch()) {
        f.target = tm.captured(1);
        s.chop(tm.capturedLength(0));
    }
    const int colon = int(s.indexOf(QLatin1Char(':')));
    const QString kind = (colon < 0 ? s : s.left(colon)).toLower();
    const QString arg = colon < 0 ? QString() : s.mid(colon + 1);
    bool ok = true;
    const int n = arg.isEmpty() ? -1 : arg.toInt(&ok);
    auto number = [&](int fallback) { return n < 0 ? fallback : n; };
    struct K
    {
        const char *name;
        Kind kind;
        int fallback; // -1: argument required
    };
    static const K kinds[] = {{"fcs", WrongFcs, 0},  {"silence", Silence, 0}, {"gap", Gap, 80},
                              {"pieces", Pieces, 3}, {"short", Short, 0},     {"trailing", Trailing, 3},
                              {"stale", Stale, 5},   {"status", Status, 1},   {"refuse", Refuse, -1},
                              {"long", Long, 0},     {"delay", Delay, -1}};
    if (kind == QLatin1String("reply")) {
        if (arg.isEmpty()) {
            if (error)
                *error = QStringLiteral("reply needs the JSON text: reply:{\"error\":0}");
            return false;
        }
        f.kind = Reply;
        f.text = arg;
        *out = f;
        return true;
    }
    for (const K &k : kinds) {
        if (kind != QLatin1String(k.name))
            continue;
        if (!ok || (k.fallback < 0 && n < 0) || (k.kind == Pieces && n == 0)) {
            if (error)
                *error = QStringLiteral("fault %1 needs a number: %1:N").arg(kind);
            return false;
        }
        f.kind = k.kind;
        f.number = number(k.fallback);
        *out = f;
        return true;
    }
    if (error)
        *error = QStringLiteral("unknown fault \"%1\"").arg(spec);
    return false;
}

QString SimFault::help()
{
    return QStringLiteral(
        "  fcs            wrong check byte\n"
        "  silence        no reply\n"
        "  gap[:MS]       the reply pauses MS ms mid-frame (80)\n"
        "  pieces[:N]     the reply in N pieces, 20 ms apart (3)\n"
        "  short          a 6-byte reply (status only)\n"
        "  trailing[:N]   N extra bytes right after the reply (3)\n"
        "  stale[:N]      N junk bytes on the line at once, before the next request (5)\n"
        "  status[:N]     STATUS byte N (1)\n"
        "  refuse:N       the JSON reply {\"error\":N}\n"
        "  reply:TEXT     this reply body instead (JSON text for JSON commands)\n"
        "  long           a reply frame over 255 bytes\n"
        "  delay:MS       the reply starts MS ms late\n"
        "  Append @NAME to hit the next request of one command only: a JSON method\n"
        "  (queryRaceRecord, saveRace, ...) or GetDeviceNo, ComVerify, DeviceInit, DispMessage,\n"
        "  GetClubAntennaID.\n");
}

// ---- devices ----

ClockSimulator::ClockSimulator() : antenna_(QStringLiteral("A0000001"), QStringLiteral("CLUB")) {}
ClockSimulator::~ClockSimulator() = default;

int ClockSimulator::addClock(const QString &deviceNo, const QString &owner)
{
    return addClock(SimDevice(deviceNo, owner));
}

int ClockSimulator::addClock(const SimDevice &device)
{
    clocks_.append(device);
    return int(clocks_.size()) - 1;
}

void ClockSimulator::removeAllClocks()
{
    connectClock(-1);
    clocks_.clear();
}

bool ClockSimulator::connectClock(int i)
{
    if (i < -1 || i >= clocks_.size())
        return false;
    replugging_ = -1;
    if (i != connected_) {
        sessionKey_.clear();
        lastRandomPc_.clear();
        lastRandomDev_.clear();
        pigeonSelection_.clear();
        raceSelection_.clear();
    }
    connected_ = i;
    return true;
}

void ClockSimulator::replugClock(int i)
{
    if (i < 0 || i >= clocks_.size())
        return;
    connectClock(-1);
    replugging_ = i;
}

SimDevice &ClockSimulator::current()
{
    return connected_ >= 0 ? clocks_[connected_] : antenna_;
}

int ClockSimulator::indexOfClock(const QString &deviceNo) const
{
    for (int i = 0; i < clocks_.size(); ++i)
        if (clocks_.at(i).deviceNo.compare(deviceNo, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void ClockSimulator::injectFault(const SimFault &fault)
{
    if (fault.kind == SimFault::Stale) {
        for (int i = 0; i < qMax(1, fault.number); ++i)
            unsolicited_ += char(0xA5 ^ i);
        return;
    }
    faults_.append(fault);
}

bool ClockSimulator::injectFault(const QString &spec, QString *error)
{
    SimFault f;
    if (!SimFault::parse(spec, &f, error))
        return false;
    injectFault(f);
    return true;
}

QByteArray ClockSimulator::takeUnsolicited()
{
    QByteArray b;
    b.swap(unsolicited_);
    return b;
}

bool ClockSimulator::takeFault(const QString &target, SimFault *out)
{
    for (int i = 0; i < faults_.size(); ++i) {
        if (faults_.at(i).target.isEmpty() ||
            faults_.at(i).target.compare(target, Qt::CaseInsensitive) == 0) {
            *out = faults_.takeAt(i);
            return true;
        }
    }
    return false;
}

// ---- protocol ----

QList<SimChunk> ClockSimulator::feed(const QByteArray &bytes, qint64 now)
{
    QList<SimChunk> out;
    if (!input_.isEmpty() && now - lastInputMs_ > 500)
        input_.clear(); // a request left half-sent is abandoned
    lastInputMs_ = now;
    input_ += bytes;
    while (true) {
        const int start = int(input_.indexOf(char(Frame::StartByte)));
        if (start < 0) {
            input_.clear();
            break;
        }
        input_.remove(0, start);
        const int size = Frame::requestSize(input_);
        if (size == 0 || input_.size() < size)
            break;
        const QByteArray frame = input_.left(size);
        input_.remove(0, size);
        out += handleFrame(frame);
    }
    return out;
}

QList<SimChunk> ClockSimulator::handleFrame(const QByteArray &frame)
{
    const bool cut = cutFrom_ >= 0 && requestCount_ >= cutFrom_;
    ++requestCount_;
    if (cut && !cutRepliesOnly_)
        return {};
    lastFrame_ = frame;
    const Frame::Request req = Frame::parseRequest(frame);

    QString target = commandName(req.adr, req.cmd);
    QByteArray jsonText;
    if (req.cmd == Frame::Json && req.body.size() >= 4) {
        jsonText = req.body.left(req.body.size() - 4);
        lastJson_ = AnsiText::decode(jsonText);
        if (auto doc = TlkJSON::ParseText(jsonText))
            if (const TlkJSONbase *m = doc->Field(QStringLiteral("method")))
                target = m->AsText();
    }
    SimFault fault;
    const bool faulty = takeFault(target, &fault);

    Answer a;
    if (!req.fcsOk) {
        a.status = 1;
    } else if (faulty && fault.kind == SimFault::Reply) {
        a.body = AnsiText::encode(fault.text);
    } else if (faulty && req.cmd == Frame::Json && fault.kind == SimFault::Refuse) {
        a.body = QByteArray("{\"error\":") + QByteArray::number(fault.number) + '}';
    } else {
        a = answer(req.adr, req.cmd, req.body, &target);
    }
    if (faulty &&
        (fault.kind == SimFault::Status || (fault.kind == SimFault::Refuse && req.cmd != Frame::Json)))
        a.status = quint8(fault.number == 0 ? 1 : fault.number);
    if (a.silent || cut)
        return {};
    // Devices never send a frame under 8 bytes on success; short bodies are padded.
    if (a.body.size() < 2)
        a.body.append(2 - a.body.size(), '\0');

    QByteArray reply = Frame::reply(req.adr, req.cmd, a.status, a.body);
    QList<SimChunk> chunks;
    if (!faulty) {
        chunks.append({0, reply});
    } else {
        switch (fault.kind) {
        case SimFault::WrongFcs:
            reply[reply.size() - 1] = char(quint8(reply.back()) + 1);
            chunks.append({0, reply});
            break;
        case SimFault::Silence:
            break;
        case SimFault::Gap: {
            const int half = int(reply.size()) / 2;
            chunks.append({0, reply.left(half)});
            chunks.append({fault.number, reply.mid(half)});
            break;
        }
        case SimFault::Pieces: {
            const int n = qMax(1, fault.number);
            const int step = qMax(1, int((reply.size() + n - 1) / n));
            for (int i = 0, at = 0; i < reply.size(); i += step, at += 20)
                chunks.append({at, reply.mid(i, step)});
            break;
        }
        case SimFault::Short:
            chunks.append({0, Frame::reply(req.adr, req.cmd, a.status, {})});
            break;
        case SimFault::Trailing:
            chunks.append({0, reply + QByteArray(qMax(1, fault.number), '\x5A')});
            break;
        case SimFault::Long:
            chunks.append({0, Frame::reply(req.adr, req.cmd, 0, QByteArray(254, 'L'))});
            break;
        case SimFault::Delay:
            chunks.append({fault.number, reply});
            break;
        default:
            chunks.append({0, reply});
            break;
        }
    }
    lastReply_.clear();
    for (const auto &c : chunks)
        lastReply_ += c.bytes;
    return chunks;
}

ClockSimulator::Answer ClockSimulator::answer(quint8 adr, quint8 cmd, const QByteArray &body, QString *target)
{
    Answer a;
    SimDevice &dev = current();
    if (adr == Frame::AntennaAddress) {
        if (cmd != Frame::AntennaId || body != QByteArray("\x00\x07", 2))
            a.status = 1;
        else
            a.body = antenna_.deviceBytes();
        return a;
    }
    switch (cmd) {
    case Frame::DeviceNo:
        a.body = dev.deviceBytes() + AnsiText::encode(dev.owner);
        // A clock taken off goes back on once the PC has seen the antenna alone.
        if (replugging_ >= 0 && connected_ < 0) {
            const int i = replugging_;
            replugging_ = -1;
            connectClock(i);
        }
        break;
    case Frame::Verify: {
        if (body.size() != 4) {
            a.status = 1;
            break;
        }
        QByteArray rnd(4, '\0');
        for (char &b : rnd)
            b = char(QRandomGenerator::global()->bounded(256));
        lastRandomPc_ = body;
        lastRandomDev_ = rnd;
        const QByteArray d = TWinApiV8::DoMD5Array(body + rnd + dev.deviceBytes() + dev.password.toLatin1());
        sessionKey_ = d.mid(4, 8);
        a.body = rnd + d.left(4);
        break;
    }
    case Frame::Init: {
        // owner "," password(16) authenticator(4); the owner may itself hold commas.
        const int comma = int(body.size()) - 21;
        if (comma < 0 || body.at(comma) != ',' || lastRandomPc_.isEmpty()) {
            a.status = 1;
            break;
        }
        const QByteArray owner = body.left(comma);
        const QByteArray password = body.mid(comma + 1, 16);
        const QByteArray auth = TWinApiV8::DoMD5Array(owner + ',' + password + lastRandomPc_ +
                                                      lastRandomDev_ + dev.deviceBytes() + InitSalt)
                                    .left(4);
        if (auth != body.right(4)) {
            a.status = 1;
            break;
        }
        dev.owner = AnsiText::decode(owner);
        dev.password = QString::fromLatin1(password);
        sessionKey_.clear();
        break;
    }
    case Frame::Display:
        dev.display = QString::fromUtf8(body);
        break;
    case Frame::Json:
        return answerJson(body, target, nullptr);
    default:
        a.status = 1;
        break;
    }
    return a;
}

QByteArray ClockSimulator::jsonReply(const TlkJSONobject &obj)
{
    QByteArray text = AnsiText::encode(TlkJSON::GenerateText(&obj));
    if (text.size() > Frame::MaxFrame - 6)
        text = QByteArray("{\"error\":") + QByteArray::number(ErrTooLong) + '}';
    return text;
}

ClockSimulator::Answer ClockSimulator::answerJson(const QByteArray &body, QString *target, const SimFault *)
{
    Answer a;
    TlkJSONobject out;
    auto refuse = [&](int code) {
        TlkJSONobject e;
        e.Add(QStringLiteral("error"), code);
        a.body = jsonReply(e);
        return a;
    };
    if (body.size() < 4)
        return refuse(ErrRequest);
    const QByteArray text = body.left(body.size() - 4);
    if (sessionKey_.isEmpty() || TWinApiV8::DoMD5Array(text + sessionKey_).left(4) != body.right(4))
        return refuse(ErrSignature);
    const auto req = TlkJSON::ParseText(text);
    if (!req || req->SelfType() != TlkJSONtypes::jsObject || !req->Field(QStringLiteral("method")))
        return refuse(ErrRequest);
    const QString method = req->Field(QStringLiteral("method"))->AsText();
    *target = method;
    out.Add(QStringLiteral("error"), 0);
    runMethod(method, *req, out);
    a.body = jsonReply(out);
    return a;
}

void ClockSimulator::runMethod(const QString &method, const TlkJSONbase &req, TlkJSONobject &out)
{
    SimDevice &dev = current();
    auto setError = [&](int code) { out.SetChild(0, std::make_unique<TlkJSONnumber>(code)); };
    auto result = [&](const SimFields &f, const QStringList &names) {
        auto r = std::make_unique<TlkJSONobject>();
        for (const QString &n : names)
            r->Add(n, toJson(f.value(n, QString())));
        out.Add(QStringLiteral("result"), std::move(r));
    };
    const TlkJSONbase *params = req.Field(QStringLiteral("params"));
    auto member = [&](const char *name) { return req.Field(QString::fromLatin1(name)); };
    auto intMember = [&](const char *name, int fallback) {
        const TlkJSONbase *v = member(name);
        return v && v->SelfType() == TlkJSONtypes::jsNumber ? int(v->AsInteger()) : fallback;
    };

    if (method == QLatin1String("setLoftInfo") || method == QLatin1String("setClubInfo")) {
        if (!params || params->SelfType() != TlkJSONtypes::jsObject)
            return setError(ErrRequest);
        mergeMembers(method == QLatin1String("setLoftInfo") ? dev.loftInfo : dev.clubInfo, params);
    } else if (method == QLatin1String("getLoftInfo")) {
        result(dev.loftInfo, fieldNames(req));
    } else if (method == QLatin1String("getClubInfo")) {
        result(dev.clubInfo, fieldNames(req));
    } else if (method == QLatin1String("getParams")) {
        result(dev.params, fieldNames(req));
    } else if (method == QLatin1String("setParams")) {
        mergeMembers(dev.params, &req, {QStringLiteral("method"), QStringLiteral("params")});
        mergeMembers(dev.params, params, {QStringLiteral("params")});
    } else if (method == QLatin1String("savePigeon")) {
        const TlkJSONbase *key = params ? params->Field(QStringLiteral("AssocNum")) : nullptr;
        if (!key || key->AsText().isEmpty())
            return setError(ErrRequest);
        SimFields values;
        mergeMembers(values, params,
                     {QStringLiteral("AssocNum"), QStringLiteral("Uid"), QStringLiteral("UpdateTime")});
        dev.savePigeon(key->AsText(), values, nowMs());
    } else if (method == QLatin1String("deletePigeon")) {
        const QString key = member("AssocNum") ? member("AssocNum")->AsText() : QString();
        dev.pigeons.removeIf([&](const SimPigeon &p) { return p.assocNum() == key; });
        dev.records.remove(key);
    } else if (method == QLatin1String("queryPigeon")) {
        const TlkJSONbase *f = params ? params->Field(QStringLiteral("filter")) : nullptr;
        const Filter filter(f ? f->AsText() : QString());
        if (!filter.valid)
            return setError(ErrRequest);
        pigeonSelection_.clear();
        for (const auto &p : dev.pigeons)
            if (filter.matches(p.fields))
                pigeonSelection_ << p.assocNum();
        out.Add(QStringLiteral("result"), int(pigeonSelection_.size()));
    } else if (method == QLatin1String("getPigeonInfo")) {
        const int i = intMember("index", -1);
        const QStringList &sel = pigeonSelection_;
        SimPigeon *p = nullptr;
        if (i >= 0 && i < sel.size())
            p = dev.pigeon(sel.at(i));
        else if (sel.isEmpty() && i >= 0 && i < dev.pigeons.size())
            p = &dev.pigeons[i];
        if (!p)
            return setError(ErrIndex);
        result(p->fields, fieldNames(req));
    } else if (method == QLatin1String("saveRace")) {
        const TlkJSONbase *key = params ? params->Field(QStringLiteral("RaceCode")) : nullptr;
        if (!key || key->AsText().isEmpty())
            return setError(ErrRequest);
        SimFields values;
        mergeMembers(values, params, {QStringLiteral("RaceCode")});
        dev.saveRace(key->AsText(), values);
    } else if (method == QLatin1String("deleteRace")) {
        const QString key = member("RaceCode") ? member("RaceCode")->AsText() : QString();
        dev.races.removeIf([&](const SimRace &r) { return r.code() == key; });
    } else if (method == QLatin1String("queryRace")) {
        const Filter filter(member("filer") ? member("filer")->AsText() : QString());
        if (!filter.valid)
            return setError(ErrRequest);
        raceSelection_.clear();
        for (const auto &r : dev.races)
            if (filter.matches(r.fields))
                raceSelection_ << r.code();
        out.Add(QStringLiteral("result"), int(raceSelection_.size()));
    } else if (method == QLatin1String("getRaceInfo")) {
        const int i = intMember("index", -1);
        SimRace *r = nullptr;
        if (i >= 0 && i < raceSelection_.size())
            r = dev.race(raceSelection_.at(i));
        else if (raceSelection_.isEmpty() && i >= 0 && i < dev.races.size())
            r = &dev.races[i];
        if (!r)
            return setError(ErrIndex);
        result(r->fields, fieldNames(req));
    } else if (method == QLatin1String("queryRaceRecord")) {
        const QString key = member("AssocNum") ? member("AssocNum")->AsText() : QString();
        SimRaceRecord *rec = dev.record(key);
        if (!rec)
            return setError(ErrNoRecord);
        result(rec->fields, fieldNames(req));
    } else if (method == QLatin1String("queryLog")) {
        const int from = intMember("logid", 0), limit = intMember("limit", int(dev.log.size()));
        int n = 0;
        for (const auto &e : dev.log)
            if (e.number(QStringLiteral("LogId")) >= from && n < limit)
                ++n;
        out.Add(QStringLiteral("result"), n);
    } else if (method == QLatin1String("getLogInfo")) {
        const int i = intMember("index", -1);
        if (i < 0 || i >= dev.log.size())
            return setError(ErrIndex);
        const SimFields &e = dev.log.at(i);
        auto r = std::make_unique<TlkJSONobject>();
        for (int j = 0; j < e.size(); ++j)
            r->Add(e.nameAt(j), toJson(e.valueAt(j)));
        out.Add(QStringLiteral("result"), std::move(r));
    } else if (method == QLatin1String("clearLog")) {
        const int n = qBound(0, intMember("count", 0), int(dev.log.size()));
        dev.log.remove(0, n);
    } else {
        setError(ErrMethod);
    }
}
