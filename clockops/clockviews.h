#pragma once

#include <QDate>
#include <QString>

class RecordTable;
class TdmORVS;

// The three grids of the clock page: columns, titles, display texts and their rows.
namespace ClockViews {

// Marked birds of a race: member name, ring, marking time. byRingOnly orders by ring alone.
void setupMarking(RecordTable &t, TdmORVS &dm);
void loadMarking(RecordTable &t, TdmORVS &dm, const QString &raceCode, bool byRingOnly);

// The race's ranking by velocity: Pos., Member, Pigeon, Clocked, speed ("MPM"/"Yds/Min"), Flying Time, Dist.
void setupResult(RecordTable &t, TdmORVS &dm);
void loadResult(RecordTable &t, TdmORVS &dm, const QString &raceCode, const QString &liberCode);

// The loft's arrivals since the start date, ranked by arrival time.
void setupMulti(RecordTable &t, TdmORVS &dm);
void loadMulti(RecordTable &t, TdmORVS &dm, const QString &loftNo, const QDate &startDate);

// "%8.3f" when not 0, empty when 0.
QString speedText(const QVariant &v);
// Miles + "/" + Yards of the loft's distance row for the liberation code; "0" without a row.
QString distText(TdmORVS &dm, const QString &liberCode, const QString &loftNo);

} // namespace ClockViews
