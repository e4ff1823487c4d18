#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// Named values as a device keeps them: insertion order kept, names matched without regard to
// case (the program writes "eringNum" and reads "EringNum"). Values are qint64/double numbers,
// texts or booleans.
class SimFields
{
public:
    bool contains(const QString &name) const { return indexOf(name) >= 0; }
    QVariant value(const QString &name, const QVariant &fallback = {}) const;
    QString text(const QString &name) const { return value(name).toString(); }
    qint64 number(const QString &name) const { return value(name).toLongLong(); }
    // Replaces the value of that name (keeping its first spelling) or appends it.
    void set(const QString &name, const QVariant &v);
    // Sets only when the name is absent.
    void setDefault(const QString &name, const QVariant &v);
    void remove(const QString &name);
    int size() const { return int(items_.size()); }
    QString nameAt(int i) const { return items_.at(i).first; }
    QVariant valueAt(int i) const { return items_.at(i).second; }
    int indexOf(const QString &name) const;

private:
    QList<QPair<QString, QVariant>> items_;
};

// The clock's race: RaceCode, what the program saved (ClubCode, LiberCode, LiberName, LiberTime,
// AssocCode, PrintCount) and what the clock records (MarkDeviceTime, MarkReaderTime,
// RaceStopDeviceTIme, RaceStopReaderTIme, as clock time stamps: ms since 1970 UTC).
struct SimRace
{
    SimFields fields;
    QString code() const { return fields.text(QStringLiteral("RaceCode")); }
};

// A pigeon: AssocNum (ring number), regNum, eringNum, Color, Year, Sex, assocCode, and what the
// clock keeps itself: Uid and UpdateTime (clock time stamp of its last change).
struct SimPigeon
{
    SimFields fields;
    QString assocNum() const { return fields.text(QStringLiteral("AssocNum")); }
};

// A pigeon's race record: RaceCode, markTime, RandNumMarked, RandNumberBack, UidBack, GpsValid,
// BackOrder, BackTimeEring (0 until arrival), BackTimeUid, BackHomeLat, BackHomeLon.
struct SimRaceRecord
{
    SimFields fields;
    QString raceCode() const { return fields.text(QStringLiteral("RaceCode")); }
    bool arrived() const { return fields.number(QStringLiteral("BackTimeEring")) != 0; }
};

// One device: the antenna or a clock.
class SimDevice
{
public:
    SimDevice() = default;
    // A device with the password derived from its number, as the program derives it.
    SimDevice(const QString &deviceNo, const QString &owner);

    QString deviceNo; // 8 upper-case hex digits
    QString owner;    // owner code: loft number (clock) or club code (antenna)
    QString password; // 16 hex digits held by the device
    SimFields clubInfo, loftInfo, params;
    QList<SimRace> races;
    QList<SimPigeon> pigeons;
    QMap<QString, SimRaceRecord> records; // by AssocNum: one record per pigeon (its latest marking)
    QList<SimFields> log;                 // entries with LogId, Time, Text
    QString display;                      // the last text shown by DispMessage

    QByteArray deviceBytes() const;
    SimRace *race(const QString &code);
    SimPigeon *pigeon(const QString &assocNum);
    SimRaceRecord *record(const QString &assocNum);

    // ---- what happens on the clock itself (for tests and the demo) ----
    // Stores or merges a race (kept fields such as the marking times survive a merge).
    SimRace &saveRace(const QString &code, const SimFields &values);
    SimPigeon &savePigeon(const QString &assocNum, const SimFields &values, qint64 nowMs);
    // The clock is marked for a race at basketing: its own and the reader's time.
    bool markRace(const QString &raceCode, qint64 deviceMs, qint64 readerMs);
    // A bird basketed for a race: a fresh record (replacing an older one of the bird).
    bool markPigeon(const QString &assocNum, const QString &raceCode, qint64 markMs, int randNum = 0);
    // The bird's arrival: arrival times, position (thousandths of an arc second), order in race.
    bool arrive(const QString &assocNum, qint64 arrivalMs, qint64 lat = 0, qint64 lon = 0,
                bool gpsValid = true, int randNum = 0);
    // Every marked bird of the race not yet home arrives, the first at firstMs, the others
    // spacingMs apart, in the order of the clock's pigeon list. Returns how many arrived.
    int arriveMarked(const QString &raceCode, qint64 firstMs, qint64 spacingMs = 1000);
    // The race stopped on the clock: its own and the master's time.
    bool stopRace(const QString &raceCode, qint64 deviceMs, qint64 readerMs);
    // The clock assigns an electronic ring to a pigeon (a change the program reads back).
    bool assignRing(const QString &assocNum, const QString &uid, const QString &eringNum, qint64 nowMs);
    void addLog(const QString &text, qint64 timeMs);
};
