#pragma once

// A driver talking to an in-process simulator with one verified clock.

#include "device/twinapiv8.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "tests/support/recordingsink.h"

#include <QTest>

struct Rig
{
    ClockSimulator sim;
    SimLink *link = nullptr; // owned by api
    RecordingSink sink;
    std::unique_ptr<TWinApiV8> api;
    QString deviceNo = QStringLiteral("1A2B3C4D");
    QByteArray key;

    explicit Rig(bool connectClock = true)
    {
        auto l = std::make_unique<SimLink>(sim);
        link = l.get();
        api = std::make_unique<TWinApiV8>(std::move(l), &sink);
        if (connectClock)
            sim.connectClock(sim.addClock(deviceNo, QStringLiteral("001")));
    }

    SimDevice &clock() { return sim.current(); }

    // GetDeviceNo, DiverseKey, ComVerify as every page does; the key lands in `key`.
    bool verify()
    {
        QString no, owner;
        if (!api->GetDeviceNo(no, owner))
            return false;
        QByteArray rdev, rpc;
        return api->ComVerify(no, TWinApiV8::DiverseKey(no), rdev, rpc, key);
    }
};
