#pragma once

#include <QString>
#include <memory>

class ClockSimulator;
class TdmORVS;

// The demo club: a data folder with members, pigeons, races, sun rows and distances, and a virtual
// antenna with one clock per member, so the road of a race can be walked without hardware.
namespace Demo {
// A fresh demo data folder: without a folder given, the program's demo folder, replaced whole;
// with one, that folder, where only a previous demo database is replaced. A folder holding
// another club's database is refused (empty result, `error` says why).
QString prepareFolder(const QString &explicitDir, QString *error = nullptr);
void seed(TdmORVS &dm);
// One virtual clock per member, owned by its loft, none holding races or pigeons yet.
std::unique_ptr<ClockSimulator> makeSimulator(TdmORVS &dm);
} // namespace Demo
