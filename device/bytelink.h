#pragma once

#include <QByteArray>
#include <QFile>
#include <QMutex>
#include <QString>
#include <memory>

// A hex trace of link traffic with time stamps, one line per transfer:
//   2024-05-01 10:12:03.120 > 6C 21 C3 00 50
// ">" written to the device, "<" read from it, "x" discarded by a buffer clear, "!" an error.
class LinkTrace
{
public:
    // Appends to the file; an unwritable file gives a trace that records nothing (see isOpen()).
    explicit LinkTrace(const QString &path);
    bool isOpen() const { return file_.isOpen(); }
    QString errorString() const { return file_.errorString(); }
    void record(char direction, const QByteArray &bytes);
    void note(char direction, const QString &text);

    // "6C 21 C3"
    static QString hex(const QByteArray &bytes);

private:
    QMutex mutex_;
    QFile file_;
};

// The byte stream to the antenna. Every byte in and out passes through the public calls of this
// class, which feed the optional trace; implementations provide the do* primitives.
//
// A link is used from one thread at a time. Nothing here sleeps longer than asked: waitForBytes()
// returns the moment bytes are waiting.
class ByteLink
{
public:
    virtual ~ByteLink();

    virtual bool isOpen() const = 0;
    // The link's own text for its last error (port not open, device removed, ...).
    QString errorString() const { return error_; }
    // Grows with every error the link reports (lets a caller tell a failure from a time-out).
    int errorCount() const { return errorCount_; }

    // Writes all bytes; false (with errorString()) when the link fails.
    bool write(const QByteArray &bytes);
    // Reads at most maxBytes of what is waiting (never waits).
    QByteArray read(int maxBytes);
    // Number of received bytes waiting to be read.
    int bytesAvailable();
    // True as soon as received bytes are waiting, at once or within msecs; false after msecs
    // without any (or when the link fails).
    bool waitForBytes(int msecs);
    // Discards the input and output buffers when input is waiting (the discarded bytes are traced).
    void clear();

    void setTrace(std::shared_ptr<LinkTrace> trace) { trace_ = std::move(trace); }
    std::shared_ptr<LinkTrace> trace() const { return trace_; }

protected:
    virtual bool doWrite(const QByteArray &bytes) = 0;
    virtual QByteArray doRead(int maxBytes) = 0;
    virtual int doBytesAvailable() = 0;
    virtual bool doWaitForBytes(int msecs) = 0;
    virtual void doClear() = 0;
    void setError(const QString &text);

private:
    QString error_;
    int errorCount_ = 0;
    std::shared_ptr<LinkTrace> trace_;
};
