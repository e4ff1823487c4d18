#include "sim/simdevice.h"

#include "device/twinapiv8.h"

QVariant SimFields::value(const QString &name, const QVariant &fallback) const
{
    const int i = indexOf(name);
    return i < 0 ? fallback : items_.at(i).second;
}

int SimFields::indexOf(const QString &name) const
{
    for (int i = 0; i < items_.size(); ++i)
        if (items_.at(i).first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void SimFields::set(const QString &name, const QVariant &v)
{
    const int i = indexOf(name);
    if (i < 0)
        items_.append({name, v});
    else
        items_[i].second = v;
}

void SimFields::setDefault(const QString &name, const QVariant &v)
{
    if (indexOf(name) < 0)
        items_.append({name, v});
}

void SimFields::remove(const QString &name)
{
    const int i = indexOf(name);
    if (i >= 0)
        items_.removeAt(i);
}

SimDevice::SimDevice(const QString &no, const QString &ownerCode)
    : deviceNo(no.toUpper()), owner(ownerCode), password(TWinApiV8::DiverseKey(no.toUpper()))
{
}

QByteArray SimDevice::deviceBytes() const
{
    return TWinApiV8::DeviceBytes(deviceNo);
}

SimRace *SimDevice::race(const QString &code)
{
    for (auto &r : races)
        if (r.code() == code)
            return &r;
    return nullptr;
}

SimPigeon *SimDevice::pigeon(const QString &assocNum)
{
    for (auto &p : pigeons)
        if (p.assocNum() == assocNum)
            return &p;
    return nullptr;
}

SimRaceRecord *SimDevice::record(const QString &assocNum)
{
    const auto it = records.find(assocNum);
    return it == records.end() ? nullptr : &it.value();
}

SimRace &SimDevice::saveRace(const QString &code, const SimFields &values)
{
    SimRace *r = race(code);
    if (!r) {
        races.append(SimRace());
        r = &races.last();
        r->fields.set(QStringLiteral("RaceCode"), code);
        for (const char *name :
             {"MarkDeviceTime", "MarkReaderTime", "RaceStopDeviceTIme", "RaceStopReaderTIme"})
            r->fields.set(QString::fromLatin1(name), qint64(0));
    }
    for (int i = 0; i < values.size(); ++i)
        r->fields.set(values.nameAt(i), values.valueAt(i));
    r->fields.set(QStringLiteral("RaceCode"), code);
    return *r;
}

SimPigeon &SimDevice::savePigeon(const QString &assocNum, const SimFields &values, qint64 nowMs)
{
    SimPigeon *p = pigeon(assocNum);
    if (!p) {
        pigeons.append(SimPigeon());
        p = &pigeons.last();
        p->fields.set(QStringLiteral("AssocNum"), assocNum);
        p->fields.set(QStringLiteral("Uid"), QString());
        p->fields.set(QStringLiteral("EringNum"), QString());
    }
    for (int i = 0; i < values.size(); ++i)
        p->fields.set(values.nameAt(i), values.valueAt(i));
    p->fields.set(QStringLiteral("AssocNum"), assocNum);
    p->fields.set(QStringLiteral("UpdateTime"), nowMs);
    return *p;
}

bool SimDevice::markRace(const QString &raceCode, qint64 deviceMs, qint64 readerMs)
{
    SimRace *r = race(raceCode);
    if (!r)
        return false;
    r->fields.set(QStringLiteral("MarkDeviceTime"), deviceMs);
    r->fields.set(QStringLiteral("MarkReaderTime"), readerMs);
    return true;
}

bool SimDevice::markPigeon(const QString &assocNum, const QString &raceCode, qint64 markMs, int randNum)
{
    if (!pigeon(assocNum) || !race(raceCode))
        return false;
    SimRaceRecord rec;
    rec.fields.set(QStringLiteral("RaceCode"), raceCode);
    rec.fields.set(QStringLiteral("markTime"), markMs);
    rec.fields.set(QStringLiteral("RandNumMarked"), qint64(randNum));
    rec.fields.set(QStringLiteral("RandNumberBack"), qint64(0));
    rec.fields.set(QStringLiteral("UidBack"), QString());
    rec.fields.set(QStringLiteral("GpsValid"), false);
    rec.fields.set(QStringLiteral("BackOrder"), qint64(0));
    rec.fields.set(QStringLiteral("BackTimeEring"), qint64(0));
    rec.fields.set(QStringLiteral("BackTimeUid"), qint64(0));
    rec.fields.set(QStringLiteral("BackHomeLat"), qint64(0));
    rec.fields.set(QStringLiteral("BackHomeLon"), qint64(0));
    records.insert(assocNum, rec);
    return true;
}

bool SimDevice::arrive(const QString &assocNum, qint64 arrivalMs, qint64 lat, qint64 lon, bool gpsValid,
                       int randNum)
{
    SimRaceRecord *rec = record(assocNum);
    if (!rec || rec->arrived())
        return false;
    qint64 order = 1;
    for (const auto &other : records)
        if (other.raceCode() == rec->raceCode() && other.arrived())
            ++order;
    const SimPigeon *p = pigeon(assocNum);
    rec->fields.set(QStringLiteral("BackTimeEring"), arrivalMs);
    rec->fields.set(QStringLiteral("BackTimeUid"), arrivalMs);
    rec->fields.set(QStringLiteral("BackHomeLat"), lat);
    rec->fields.set(QStringLiteral("BackHomeLon"), lon);
    rec->fields.set(QStringLiteral("GpsValid"), gpsValid);
    rec->fields.set(QStringLiteral("RandNumberBack"), qint64(randNum));
    rec->fields.set(QStringLiteral("UidBack"), p ? p->fields.text(QStringLiteral("Uid")) : QString());
    rec->fields.set(QStringLiteral("BackOrder"), order);
    return true;
}

int SimDevice::arriveMarked(const QString &raceCode, qint64 firstMs, qint64 spacingMs)
{
    int n = 0;
    for (const SimPigeon &p : pigeons) {
        const SimRaceRecord *rec = record(p.assocNum());
        if (rec && rec->raceCode() == raceCode && !rec->arrived() &&
            arrive(p.assocNum(), firstMs + n * spacingMs))
            ++n;
    }
    return n;
}

bool SimDevice::stopRace(const QString &raceCode, qint64 deviceMs, qint64 readerMs)
{
    SimRace *r = race(raceCode);
    if (!r)
        return false;
    r->fields.set(QStringLiteral("RaceStopDeviceTIme"), deviceMs);
    r->fields.set(QStringLiteral("RaceStopReaderTIme"), readerMs);
    return true;
}

bool SimDevice::assignRing(const QString &assocNum, const QString &uid, const QString &eringNum, qint64 nowMs)
{
    SimPigeon *p = pigeon(assocNum);
    if (!p)
        return false;
    p->fields.set(QStringLiteral("Uid"), uid);
    p->fields.set(QStringLiteral("EringNum"), eringNum);
    p->fields.set(QStringLiteral("UpdateTime"), nowMs);
    return true;
}

void SimDevice::addLog(const QString &text, qint64 timeMs)
{
    SimFields e;
    const qint64 id = log.isEmpty() ? 1 : log.last().number(QStringLiteral("LogId")) + 1;
    e.set(QStringLiteral("LogId"), id);
    e.set(QStringLiteral("Time"), timeMs);
    e.set(QStringLiteral("Text"), text);
    log.append(e);
}
