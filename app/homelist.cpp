#include "app/homelist.h"

#include "store/tdmorvs.h"
#include "store/valuetext.h"

HomeClockList::HomeClockList(TdmORVS &dm, QObject *parent) : RecordTable(parent), dm_(dm)
{
    const auto centre = Qt::AlignCenter;
    addColumn(QStringLiteral("ClockID"), {}, centre);
    addColumn(QStringLiteral("LoftName"), {}, centre);
    addColumn(QStringLiteral("LastSynchDate"), {}, centre, [](const QSqlRecord &r) {
        return ValueText::shortDate(r.value(QStringLiteral("LastSynchDate")));
    });
}

void HomeClockList::load()
{
    RecordTable::load(dm_, QStringLiteral("SELECT ClockID, LoftName, LastSynchDate FROM ORV_LoftClocks a "
                                          "LEFT JOIN ORV_LoftData b ON a.LoftNo=b.LoftNo"));
}
