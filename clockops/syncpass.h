#pragma once

#include "device/fieldlist.h"
#include "clockops/clocksession.h"

#include <QString>
#include <QStringList>
#include <memory>

class TdmORVS;
class TWinApiV8;
class OperationSink;
class LinkWatch;

// One synchronisation pass for the clock now connected: removes deleted and old races from the
// clock, sends the club's races and the loft's pigeons, reads back the pigeons whose electronic
// rings the clock assigned, and registers the clock to its loft on success.
class SyncPass
{
public:
    SyncPass(TdmORVS &dm, TWinApiV8 &api, ClockSession &session, OperationSink &sink);
    ~SyncPass();

    PollOutcome run();
    bool succeeded() const { return success_; }

    // Field lists sent to the clock; a value that would break its list leaves the writer's problem.
    static FieldList::Writer raceFieldList(const QString &clubId, const QString &liberCode,
                                           const QString &siteAbbr, qint64 liberationStamp,
                                           const QString &assocCode, int printCount);
    static FieldList::Writer pigeonFieldList(const QString &regNumber, const QString &eRing, const QString &color,
                                             const QString &year, int sexCode, const QString &country);
    static int sexCode(const QString &sex);          // "H" 0, "C" 1, anything else 2
    static QString sexFromCode(const QString &code); // "0" H, "1" C, "2" U, else empty
    static inline const QString ReadBackFields =
        QStringLiteral("AssocNum%Uid%EringNum%UpdateTime%Year%Sex%Color");

private:
    void removeRaces();
    void sendRaces();
    bool sendPigeons(); // returns full mode
    void readBack(bool fullMode);
    void fail(const QString &text);
    // Feeds the link watch; false once the pass must stop.
    bool linkOk(bool ok);
    // Records what a stopped pass left undone.
    void notDone(const QString &what);

    TdmORVS &dm_;
    TWinApiV8 &api_;
    ClockSession &s_;
    OperationSink &sink_;
    bool success_ = true;
    bool clockRegistered_ = false;
    QDateTime lastSynch_; // the clock's LastSynchDate, invalid when it has none
    std::unique_ptr<LinkWatch> watch_;
    QStringList notDone_;
};
