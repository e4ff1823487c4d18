#include "sim/simlink.h"

#include "sim/clocksimulator.h"

#include <QMutexLocker>
#include <chrono>
#include <thread>

SimLink::SimLink(ClockSimulator &sim, Timing timing) : sim_(sim), timing_(timing)
{
    timer_.start();
}

double SimLink::nowMs() const
{
    return timing_ == Timing::Virtual ? virtual_ : double(timer_.nsecsElapsed()) / 1e6;
}

void SimLink::advanceTo(double t)
{
    if (timing_ == Timing::Virtual) {
        virtual_ = qMax(virtual_, t);
        return;
    }
    // sleep_for may wake a little early: the byte must really be due when we look again.
    for (double wait = t - nowMs(); wait > 0; wait = t - nowMs())
        std::this_thread::sleep_for(std::chrono::microseconds(qint64(wait * 1000.0) + 1));
}

void SimLink::promote()
{
    QMutexLocker lock(&sim_.mutex());
    ready_ += sim_.takeUnsolicited();
    const double now = nowMs();
    while (!pending_.empty() && pending_.front().at <= now) {
        ready_ += pending_.front().byte;
        pending_.pop_front();
    }
}

bool SimLink::doWrite(const QByteArray &bytes)
{
    if (!broken_.isEmpty()) {
        setError(broken_);
        return false;
    }
    promote();
    const double now = nowMs();
    const double received = now + byteTime_ * double(bytes.size()); // the request's last byte
    QList<SimChunk> chunks;
    {
        QMutexLocker lock(&sim_.mutex());
        chunks = sim_.feed(bytes, qint64(now));
    }
    for (const SimChunk &c : chunks) {
        double t = qMax(received + c.atMs, lineFreeAt_);
        for (const char b : c.bytes) {
            t += byteTime_;
            pending_.push_back({t, b});
        }
        lineFreeAt_ = t;
    }
    return true;
}

QByteArray SimLink::doRead(int maxBytes)
{
    promote();
    const QByteArray out = ready_.left(maxBytes);
    ready_.remove(0, out.size());
    return out;
}

int SimLink::doBytesAvailable()
{
    promote();
    return int(ready_.size());
}

bool SimLink::doWaitForBytes(int msecs)
{
    if (!broken_.isEmpty()) {
        setError(broken_);
        return false;
    }
    promote();
    if (!ready_.isEmpty())
        return true;
    const double deadline = nowMs() + msecs;
    if (!pending_.empty() && pending_.front().at <= deadline) {
        advanceTo(pending_.front().at);
        promote();
        return !ready_.isEmpty();
    }
    advanceTo(deadline);
    promote();
    return !ready_.isEmpty();
}

void SimLink::doClear()
{
    ready_.clear();
}
