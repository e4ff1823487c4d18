#pragma once

#include "device/bytelink.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

class OperationSink;
class TlkJSONbase;
class TlkJSONobject;

// The driver of the club antenna and the clocks connected to it.
//
// Each command is one request frame and one reply frame; a command blocks until the reply's last
// byte has arrived (at most 5000 ms for the first byte, 50 ms per gap). The driver owns its link
// and holds no device state: callers keep the device number, the password and Comm_Key.
//
// Results follow one convention: TRUE on success, FALSE on failure, with the device's or the
// link's error text in the in/out Reply (some commands leave Reply unchanged when the link itself
// fails; their comments say so). lastError() always tells why the last operation failed.
//
// The driver uses no widgets and no event loop: it may run on the GUI thread or on a worker
// thread, one thread at a time, the thread that created it (the serial port belongs to it).
class TWinApiV8
{
public:
    static constexpr int FirstByteTimeoutMs = 5000;
    static constexpr int GapTimeoutMs = 50;
    // After a time-out the line is drained until it has been quiet this long, so that a late
    // reply is never taken as the answer to the next request.
    static constexpr int QuietMs = 1000;
    static constexpr int MaxDrainMs = 10000;

    // Why the last command failed.
    enum class Failure
    {
        None,
        TimedOut,  // no reply, or an incomplete one
        LinkError, // the port itself failed (not open, removed)
        BadFrame,  // wrong check byte, status, over-long or foreign frame
        Refused,   // the device answered with an error number (lastDeviceError())
        BadReply,  // the reply's content is not what the command expects
        Invalid    // the request was refused before anything was sent
    };

    // Create: opens the link chosen by DeviceLink (the serial port by --port, ORVS.ini or the
    // one-port rule). A port that cannot be opened is reported to the sink; the driver then
    // exists but every exchange fails.
    explicit TWinApiV8(OperationSink *sink = nullptr);
    // A driver over a given link (the in-process simulator in tests and the demo).
    explicit TWinApiV8(std::unique_ptr<ByteLink> link, OperationSink *sink = nullptr);
    ~TWinApiV8(); // Destroy: closes and releases the link
    TWinApiV8(const TWinApiV8 &) = delete;
    TWinApiV8 &operator=(const TWinApiV8 &) = delete;

    bool isOpen() const;
    ByteLink *link() const { return link_.get(); }
    void setSink(OperationSink *sink) { sink_ = sink; }
    QString lastError() const { return lastError_; }
    Failure lastFailure() const { return failure_; }
    bool lastTimedOut() const { return failure_ == Failure::TimedOut || failure_ == Failure::LinkError; }
    // The device's error number of the last refusal (DeviceError::...), 0 otherwise.
    int lastDeviceError() const { return deviceError_; }

    // ---- frame and exchange ----

    // One request (address, command, body) and its reply. TRUE: RecvBody = the reply body.
    // FALSE: RecvBody = "Parameter length > 255 Byte Error !", "FCS Not Match" or
    // " API Reply Status Fail !", or unchanged when no complete reply came.
    bool ComSendRecv(quint8 Adr, quint8 Cmd, const QByteArray &CallParm, QByteArray &RecvBody);
    // Additive check byte of the first count bytes.
    static quint8 GetFCS(const QByteArray &buffer, int count);
    // Discards what is waiting in the link (leftovers of an earlier exchange).
    void ComClear();

    // ---- verification and identity ----

    // Device number (8 upper-case hex digits) and owner code. FALSE leaves both unchanged
    // (also when the reply is shorter than the 4 identity bytes).
    bool GetDeviceNo(QString &DeviceNo, QString &LoftNo);
    // The device password: DES of the device number's 8 characters under "57460318", 16 hex digits.
    static QString DiverseKey(const QString &DeviceNo);
    // Challenge exchange. Random_PC is stored at once, Random_Dev when the device answered; on
    // success Comm_Key = bytes 5 to 12 of MD5(Random_PC + Random_Dev + device bytes + Password).
    bool ComVerify(const QString &DeviceNo, const QString &Password, QByteArray &Random_Dev,
                   QByteArray &Random_PC, QByteArray &Comm_Key);
    // Writes owner code and password into the device. Reply is not written.
    bool DeviceInit(const QString &DeviceNo, const QString &LoftNo, const QString &Password, QString &Reply);
    // Shows msg (sent as UTF-8, at most 250 bytes) on the device's display.
    bool DispMessage(const QString &msg);
    static QByteArray DoMD5Array(const QByteArray &data);
    // First 8 characters of the upper-case hex MD5 of the text's single-byte form.
    static QString DoMD5(const QString &data);
    static QDateTime NowUTC();
    // Four challenge bytes, each drawn uniformly from 0 to 254.
    static QByteArray RandomChallenge();
    // "1A2B3C4D" -> 4 bytes; fewer than 4 bytes when the text is not hexadecimal.
    static QByteArray DeviceBytes(const QString &DeviceNo);

    // ---- club, loft and parameters ----
    // Set commands take a field list (name:value%name:#number%, "$" standing for ":" in values);
    // get commands take a query field list (names cut at "%") and give the values, each
    // followed by "%", in the order asked. A "#" value that is not a whole number refuses the
    // command before anything is sent (Reply then says which value).

    bool SetLoftInfo(const QByteArray &Comm_Key, const QString &Parm, QString &Reply);
    bool GetLoftInfo(const QByteArray &Comm_Key, const QString &Parm, QString &Reply);
    bool SetClubInfo(const QByteArray &Comm_Key, const QString &Parm, QString &Reply);
    bool GetClubInfo(const QByteArray &Comm_Key, const QString &Parm, QString &Reply);
    // The device's odd request shape: items 1..n-1 in the request object, item n, "params" = v
    // and item n's name = v in "params", then item n's name = v again (v: value of the last "#"
    // item, 0 when there is none). An empty field list is refused.
    bool SetParams(const QByteArray &Comm_Key, const QString &Parm, QString &Reply);
    bool GetParams(const QByteArray &Comm_Key, const QString &Parm, QString &Reply);
    // Antenna identity (address 0x00, not signed): appends the reply bytes as hex to Reply.
    bool GetClubAntennaID(const QString &Parm, QString &Reply);

    // ---- pigeons ----
    // Field lists here keep "$" as it is.

    bool SavePigeon(const QByteArray &Comm_Key, const QString &AssocNum, const QString &Parm, QString &Reply);
    bool DeletePigeon(const QByteArray &Comm_Key, const QString &AssocNum, QString &Reply);
    // Number of pigeons matching Filter (empty: all). Reply and PigeonCount unchanged when the
    // link fails: FALSE means the count is unknown.
    bool QueryPigeons(const QByteArray &Comm_Key, const QString &Filter, int &PigeonCount, QString &Reply);
    // Fields of pigeon number index (0 .. count-1) of the last QueryPigeons.
    bool GetPigeonInfo(const QByteArray &Comm_Key, int index, const QString &Parm, QString &Reply);

    // ---- races, records, log ----

    bool SaveRace(const QByteArray &Comm_Key, const QString &RaceCode, const QString &Parm, QString &Reply);
    // Reply unchanged when the link fails.
    bool DeleteRace(const QByteArray &Comm_Key, const QString &RaceCode, QString &Reply);
    // Number of races matching Filter (sent as "filer"). Reply unchanged when the link fails.
    bool QueryRace(const QByteArray &Comm_Key, const QString &Filter, int &RaceCount, QString &Reply);
    bool GetRaceInfo(const QByteArray &Comm_Key, int index, const QString &Parm, QString &Reply);
    // Fields of the race record the clock holds for the pigeon; a clock without a record for it
    // refuses (error 1287 in the reply text).
    bool QueryRaceRecord(const QByteArray &Comm_Key, const QString &AssocNum, const QString &Parm,
                         QString &Reply);
    // Reply unchanged when the link fails.
    bool QueryLog(const QByteArray &Comm_Key, int LogIdfrom, int Limit, QString &Reply);
    // Every value of the entry's "result", each followed by "%".
    bool GetLogInfo(const QByteArray &Comm_Key, int index, QString &Reply);
    // Reply unchanged when the link fails.
    bool ClearLogInfo(const QByteArray &Comm_Key, int Count, QString &Reply);

private:
    enum class LinkFailure
    {
        ReplyGetsText,
        ReplyUnchanged
    };
    struct JsonReply;

    bool sendJson(const QByteArray &Comm_Key, const TlkJSONobject &request, QString &Reply, LinkFailure mode,
                  JsonReply *out);
    bool fieldItems(const QString &Parm, bool dollarAsColon, TlkJSONobject &target, QString &Reply);
    bool setCommand(const char *method, const QByteArray &Comm_Key, const QString &Parm, QString &Reply);
    bool getCommand(const char *method, const QByteArray &Comm_Key, const QString &Parm, QString &Reply);
    // Stores a pigeon or race under its key: the field list's items beside the key in "params".
    bool keyedSave(const char *method, const char *keyName, const QByteArray &Comm_Key, const QString &key,
                   const QString &Parm, QString &Reply);
    // Adds the asked field names to the request, sends it and gives their values, each + "%".
    bool fieldsQuery(TlkJSONobject &request, const QByteArray &Comm_Key, const QString &Parm, QString &Reply);
    // The fields of entry `index` of the last count query (pigeons or races).
    bool indexedQuery(const char *method, const QByteArray &Comm_Key, int index, const QString &Parm, QString &Reply);
    bool queryReply(const JsonReply &r, const QStringList &names, QString &Reply);
    bool countReply(const JsonReply &r, int &count, QString &Reply);
    void fail(const QString &why, Failure kind);
    void reportLinkError();
    void drainLine();

    std::unique_ptr<ByteLink> link_;
    OperationSink *sink_ = nullptr;
    QString lastError_;
    Failure failure_ = Failure::None;
    int deviceError_ = 0;
    bool drainPending_ = false;
};
