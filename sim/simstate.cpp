#include "sim/simstate.h"

#include "sim/clocksimulator.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <cmath>

namespace {
QVariant fromJson(const QJsonValue &v)
{
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (d == std::trunc(d) && std::fabs(d) < 9.0e15)
            return qint64(d);
        return d;
    }
    if (v.isBool())
        return v.toBool();
    if (v.isString())
        return v.toString();
    return {};
}

QJsonValue toJson(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
        return double(v.toLongLong());
    case QMetaType::Double:
        return v.toDouble();
    case QMetaType::UnknownType:
        return QJsonValue();
    default:
        return v.toString();
    }
}

SimFields fields(const QJsonObject &o, const QStringList &skip = {})
{
    SimFields f;
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!skip.contains(it.key()))
            f.set(it.key(), fromJson(it.value()));
    return f;
}

QJsonObject object(const SimFields &f)
{
    QJsonObject o;
    for (int i = 0; i < f.size(); ++i)
        o.insert(f.nameAt(i), toJson(f.valueAt(i)));
    return o;
}

bool readDevice(const QJsonObject &o, SimDevice *d, QString *error)
{
    const QString no = o.value(QStringLiteral("deviceNo")).toString().toUpper();
    static const QRegularExpression hex(QStringLiteral("^[0-9A-F]{8}$"));
    if (!hex.match(no).hasMatch()) {
        *error = QStringLiteral("device number \"%1\" is not 8 hexadecimal digits").arg(no);
        return false;
    }
    *d = SimDevice(no, o.value(QStringLiteral("owner")).toString());
    if (o.contains(QStringLiteral("password")))
        d->password = o.value(QStringLiteral("password")).toString();
    d->clubInfo = fields(o.value(QStringLiteral("clubInfo")).toObject());
    d->loftInfo = fields(o.value(QStringLiteral("loftInfo")).toObject());
    d->params = fields(o.value(QStringLiteral("params")).toObject());
    d->display = o.value(QStringLiteral("display")).toString();
    for (const auto &r : o.value(QStringLiteral("races")).toArray()) {
        const QJsonObject ro = r.toObject();
        d->saveRace(ro.value(QStringLiteral("RaceCode")).toString(),
                    fields(ro, {QStringLiteral("RaceCode")}));
    }
    for (const auto &p : o.value(QStringLiteral("pigeons")).toArray()) {
        SimPigeon pig;
        pig.fields = fields(p.toObject());
        if (pig.assocNum().isEmpty()) {
            *error = QStringLiteral("a pigeon of device %1 has no AssocNum").arg(no);
            return false;
        }
        pig.fields.setDefault(QStringLiteral("Uid"), QString());
        pig.fields.setDefault(QStringLiteral("EringNum"), QString());
        pig.fields.setDefault(QStringLiteral("UpdateTime"), qint64(0));
        d->pigeons.append(pig);
    }
    for (const auto &r : o.value(QStringLiteral("records")).toArray()) {
        const QJsonObject ro = r.toObject();
        SimRaceRecord rec;
        rec.fields = fields(ro, {QStringLiteral("AssocNum")});
        d->records.insert(ro.value(QStringLiteral("AssocNum")).toString(), rec);
    }
    for (const auto &e : o.value(QStringLiteral("log")).toArray())
        d->log.append(fields(e.toObject()));
    return true;
}

QJsonObject writeDevice(const SimDevice &d)
{
    QJsonObject o;
    o.insert(QStringLiteral("deviceNo"), d.deviceNo);
    o.insert(QStringLiteral("owner"), d.owner);
    o.insert(QStringLiteral("password"), d.password);
    o.insert(QStringLiteral("clubInfo"), object(d.clubInfo));
    o.insert(QStringLiteral("loftInfo"), object(d.loftInfo));
    o.insert(QStringLiteral("params"), object(d.params));
    o.insert(QStringLiteral("display"), d.display);
    QJsonArray races, pigeons, records, log;
    for (const auto &r : d.races)
        races.append(object(r.fields));
    for (const auto &p : d.pigeons)
        pigeons.append(object(p.fields));
    for (auto it = d.records.begin(); it != d.records.end(); ++it) {
        QJsonObject ro = object(it.value().fields);
        ro.insert(QStringLiteral("AssocNum"), it.key());
        records.append(ro);
    }
    for (const auto &e : d.log)
        log.append(object(e));
    o.insert(QStringLiteral("races"), races);
    o.insert(QStringLiteral("pigeons"), pigeons);
    o.insert(QStringLiteral("records"), records);
    o.insert(QStringLiteral("log"), log);
    return o;
}
} // namespace

bool SimState::load(ClockSimulator &sim, const QByteArray &json, QString *error)
{
    QString dummy;
    if (!error)
        error = &dummy;
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &pe);
    if (!doc.isObject()) {
        *error = QStringLiteral("not a JSON object: %1").arg(pe.errorString());
        return false;
    }
    const QJsonObject root = doc.object();
    SimDevice antenna = sim.antenna();
    if (root.contains(QStringLiteral("antenna")) &&
        !readDevice(root.value(QStringLiteral("antenna")).toObject(), &antenna, error))
        return false;
    QList<SimDevice> clocks;
    for (const auto &c : root.value(QStringLiteral("clocks")).toArray()) {
        SimDevice d;
        if (!readDevice(c.toObject(), &d, error))
            return false;
        clocks.append(d);
    }
    // Without a choice in the file the first clock is connected.
    const int connected = root.value(QStringLiteral("connected")).toInt(clocks.isEmpty() ? 0 : 1);
    if (connected < 0 || connected > clocks.size()) {
        *error = QStringLiteral("\"connected\": no clock %1").arg(connected);
        return false;
    }
    sim.removeAllClocks();
    sim.antenna() = antenna;
    for (const auto &c : clocks)
        sim.addClock(c);
    sim.connectClock(connected - 1);
    return true;
}

bool SimState::loadFile(ClockSimulator &sim, const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    return load(sim, f.readAll(), error);
}

QByteArray SimState::save(ClockSimulator &sim)
{
    QJsonObject root;
    root.insert(QStringLiteral("antenna"), writeDevice(sim.antenna()));
    QJsonArray clocks;
    for (int i = 0; i < sim.clockCount(); ++i)
        clocks.append(writeDevice(sim.clock(i)));
    root.insert(QStringLiteral("clocks"), clocks);
    root.insert(QStringLiteral("connected"), sim.connectedClock() + 1);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool SimState::saveFile(ClockSimulator &sim, const QString &path, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(save(sim)) < 0 || !f.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}
