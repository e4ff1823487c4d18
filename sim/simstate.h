#pragma once

#include <QByteArray>
#include <QString>

class ClockSimulator;

// The simulator's devices as a JSON file:
//   {"antenna": DEVICE, "clocks": [DEVICE, ...], "connected": N}   (N: clock 1.., 0 none;
//                                                                   default: the first clock)
//   DEVICE: {"deviceNo": "1A2B3C4D", "owner": "001", "password": "...(default: derived)",
//            "clubInfo": {..}, "loftInfo": {..}, "params": {..},
//            "races": [{"RaceCode": "..", ...}], "pigeons": [{"AssocNum": "..", ...}],
//            "records": [{"AssocNum": "..", "RaceCode": "..", ...}], "log": [{..}], "display": ".."}
namespace SimState {
// Replaces the simulator's devices; false with *error on a malformed file.
bool load(ClockSimulator &sim, const QByteArray &json, QString *error);
bool loadFile(ClockSimulator &sim, const QString &path, QString *error);
QByteArray save(ClockSimulator &sim);
bool saveFile(ClockSimulator &sim, const QString &path, QString *error);
} // namespace SimState
