#pragma once

#include "sim/simdevice.h"

#include <QByteArray>
#include <QList>
#include <QRecursiveMutex>
#include <QString>
#include <memory>

class TlkJSONbase;
class TlkJSONobject;

// A wrong answer given on purpose, once, to the next request (or the next request of a given
// command when target is set: a JSON method such as "queryRaceRecord", or one of GetDeviceNo,
// ComVerify, DeviceInit, DispMessage, GetClubAntennaID).
struct SimFault
{
    enum Kind
    {
        WrongFcs, // the reply's check byte is off by one
        Silence,  // no reply at all
        Gap,      // the reply stops mid-frame for `number` ms (default 80) before the rest
        Pieces,   // the reply comes in `number` pieces (default 3), 20 ms apart
        Short,    // a 6-byte frame: status only, never complete
        Trailing, // `number` extra bytes (default 3) follow the reply at once
        Stale,    // `number` junk bytes (default 5) put on the line now, before any request
        Status,   // STATUS byte `number` (default 1)
        Refuse,   // JSON reply {"error":number}
        Reply,    // the reply body replaced by `text` (a JSON reply, or raw bytes for others)
        Long,     // a reply frame longer than 255 bytes
        Delay,    // the reply starts `number` ms late
    };
    Kind kind = Silence;
    int number = 0;
    QString text;
    QString target;

    // "fcs", "silence", "gap[:MS]", "pieces[:N]", "short", "trailing[:N]", "stale[:N]",
    // "status[:N]", "refuse:N", "reply:JSON", "long", "delay:MS", each optionally "@TARGET".
    static bool parse(const QString &spec, SimFault *out, QString *error);
    static QString help();
};

// Bytes the device puts on the line, atMs after it received the request's last byte.
struct SimChunk
{
    int atMs = 0;
    QByteArray bytes;
};

// The club antenna with its virtual clocks: the device side of the protocol.
//
// One antenna always exists; any number of clocks may be added, at most one is connected at a
// time. Requests at address 0x21 go to the connected clock, or to the antenna when none is.
// Every request's check byte is verified (a bad one is answered with STATUS 1), every JSON
// command's signature too (refused with error 1 when it does not match the key of the last
// successful verification of this connection).
//
// Device error numbers: 1 bad signature or not verified, 2 unknown method, 3 malformed request
// or filter, 4 reply too long for a frame, 1283 index out of range, 1287 no race record for the
// pigeon.
//
// Not thread-safe by itself: whoever shares it between threads locks mutex() around its use
// (SimLink does so for every exchange).
class ClockSimulator
{
public:
    static constexpr int ErrSignature = 1, ErrMethod = 2, ErrRequest = 3, ErrTooLong = 4, ErrIndex = 1283,
                         ErrNoRecord = 1287;

    ClockSimulator();
    ~ClockSimulator();

    // ---- devices ----
    SimDevice &antenna() { return antenna_; }
    int clockCount() const { return int(clocks_.size()); }
    SimDevice &clock(int i) { return clocks_[i]; }
    // Adds a clock (password derived from its number); returns its index.
    int addClock(const QString &deviceNo, const QString &owner);
    int addClock(const SimDevice &device);
    void removeAllClocks();
    // Connects clock i (-1: none); a switch ends the verified session.
    bool connectClock(int i);
    void disconnectClock() { connectClock(-1); }
    int connectedClock() const { return connected_; }
    // Takes clock i off the antenna and puts it back right after the next device-number request,
    // which the antenna answers alone: the PC sees the clock come anew.
    void replugClock(int i);
    bool replugging() const { return replugging_ >= 0; }
    // The device requests at address 0x21 reach: the connected clock or the antenna.
    SimDevice &current();
    int indexOfClock(const QString &deviceNo) const;

    // ---- faults ----
    void injectFault(const SimFault &fault);
    bool injectFault(const QString &spec, QString *error = nullptr);
    int pendingFaults() const { return int(faults_.size()); }
    void clearFaults() { faults_.clear(); }
    // Cuts the line from request number `index` on (0 = the first request this simulator ever
    // got; see requestCount()): with lostReplies the clocks still act on the requests and only
    // their replies are lost, otherwise the requests never reach them. -1 mends the line.
    void cutAt(int index, bool lostReplies = false)
    {
        cutFrom_ = index;
        cutRepliesOnly_ = lostReplies;
    }
    // Bytes to put on the line at once (stale-byte faults), taken by the transport.
    QByteArray takeUnsolicited();

    // ---- protocol ----
    // Feeds received bytes (nowMs: the transport's clock, to drop a request left half-sent for
    // more than 500 ms). Returns what to send back for each complete request.
    QList<SimChunk> feed(const QByteArray &bytes, qint64 nowMs = 0);

    // ---- inspection ----
    int requestCount() const { return requestCount_; }
    QByteArray lastRequestFrame() const { return lastFrame_; }
    // The JSON text of the last 0xC0 request (its signature stripped).
    QString lastRequestJson() const { return lastJson_; }
    QByteArray lastReplyFrame() const { return lastReply_; }
    QByteArray sessionKey() const { return sessionKey_; }

    QRecursiveMutex &mutex() { return mutex_; }

private:
    struct Answer
    {
        quint8 status = 0;
        QByteArray body;
        bool silent = false;
    };
    QList<SimChunk> handleFrame(const QByteArray &frame);
    Answer answer(quint8 adr, quint8 cmd, const QByteArray &body, QString *target);
    Answer answerJson(const QByteArray &body, QString *target, const SimFault *reply);
    QByteArray jsonReply(const TlkJSONobject &obj);
    void runMethod(const QString &method, const TlkJSONbase &req, TlkJSONobject &out);
    bool takeFault(const QString &target, SimFault *out);

    SimDevice antenna_;
    QList<SimDevice> clocks_;
    int connected_ = -1;
    int replugging_ = -1;
    QList<SimFault> faults_;
    QByteArray unsolicited_;

    QByteArray input_;
    qint64 lastInputMs_ = 0;
    QByteArray sessionKey_, lastRandomPc_, lastRandomDev_;
    QStringList pigeonSelection_, raceSelection_;

    int requestCount_ = 0;
    int cutFrom_ = -1;
    bool cutRepliesOnly_ = false;
    QByteArray lastFrame_, lastReply_;
    QString lastJson_;
    QRecursiveMutex mutex_;
};
