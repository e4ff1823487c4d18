#pragma once

#include <QString>

class TdmORVS;

// A club database with one race of `entries` arrived entries (500 lofts, 10 to 40 birds each,
// many equal arrival seconds so equal velocities occur), computed; one per size, filled once.
TdmORVS &benchClubWith(int entries);
inline const QString BenchRace = QStringLiteral("12340526");
