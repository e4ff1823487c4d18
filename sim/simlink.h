#pragma once

#include "device/bytelink.h"

#include <QElapsedTimer>
#include <deque>

class ClockSimulator;

// An in-process link to a ClockSimulator: what the driver writes reaches the simulator at once,
// its replies become readable at the times the simulator (and the wire pacing) give them.
//
// Timing::Virtual (tests): waiting costs no real time; the link's clock jumps to the next byte
// or to the end of the wait, so a 5000 ms silence takes microseconds and nowMs() tells how
// long the driver would have waited. Timing::Real (the demo): waits really pass.
//
// The simulator must outlive the link; its mutex is held while the link talks to it.
class SimLink : public ByteLink
{
public:
    enum class Timing
    {
        Virtual,
        Real
    };
    // Time of one byte on a 9600 baud 8N1 line (10 bits).
    static constexpr double ByteTime9600 = 10000.0 / 9600.0;

    explicit SimLink(ClockSimulator &sim, Timing timing = Timing::Virtual);

    // Time per byte in both directions (0: instant; ByteTime9600: wire speed).
    void setByteTimeMs(double ms) { byteTime_ = ms; }
    // Milliseconds on the link's clock since it was created.
    double nowMs() const;
    // Makes the link fail like a removed device (empty text: works again).
    void setBroken(const QString &error) { broken_ = error; }

    bool isOpen() const override { return true; }

protected:
    bool doWrite(const QByteArray &bytes) override;
    QByteArray doRead(int maxBytes) override;
    int doBytesAvailable() override;
    bool doWaitForBytes(int msecs) override;
    void doClear() override;

private:
    struct Timed
    {
        double at;
        char byte;
    };
    void promote();
    void advanceTo(double t);

    ClockSimulator &sim_;
    Timing timing_;
    double byteTime_ = 0;
    double virtual_ = 0;
    double lineFreeAt_ = 0; // when the last scheduled byte has been sent
    QElapsedTimer timer_;
    std::deque<Timed> pending_;
    QByteArray ready_;
    QString broken_;
};
