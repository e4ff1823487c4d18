#include "members/memberlists.h"

#include "members/colours.h"
#include "members/members.h"
#include "members/rings.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

namespace {
const Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment Centre = Qt::AlignCenter;

RecordTable::Column column(const char *field, const QString &title, Qt::Alignment a = Left,
                           RecordTable::DisplayFn display = {})
{
    return {QLatin1String(field), title, a, std::move(display), false};
}

RecordTable::DisplayFn dateTimeOf(const char *field)
{
    const QString f = QLatin1String(field);
    return [f](const QSqlRecord &r) { return ValueText::shortDateTime(r.value(f)); };
}
} // namespace

// ---- members

MemberList::MemberList(TdmORVS &dm, ListLayout layout, QObject *parent) : RecordTable(parent), dm_(dm)
{
    if (layout == ListLayout::Grid)
        setColumns({column("LoftNo", QStringLiteral("Loft No"), Left, Members::loftNoText),
                    column("LoftName", QStringLiteral("Loft Name")),
                    column("clockCnt", QStringLiteral("Clocks"), Centre)});
    else
        setColumns({column("LoftName", QStringLiteral("Name")),
                    column("LoftNo", QStringLiteral("LoftNo"), Left, Members::loftNoText),
                    column("clockCnt", QStringLiteral("No. of Clocks"), Centre)});
}

void MemberList::load()
{
    RecordTable::load(dm_, QStringLiteral("SELECT a.AssociationCode, a.LoftNo, a.LoftName, COUNT(b.ClockID) AS clockCnt "
                                          "FROM ORV_LoftData a LEFT JOIN ORV_LoftClocks b ON a.LoftNo=b.LoftNo "
                                          "GROUP BY a.AssociationCode, a.LoftNo, a.LoftName ORDER BY a.LoftNo"));
}

// ---- rings

RingList::RingList(TdmORVS &dm, ListLayout layout, QObject *parent) : RecordTable(parent), dm_(dm)
{
    const auto colour = [this](const QSqlRecord &r) { return Rings::shownColour(colourNames_, r); };
    const auto created = [](const QSqlRecord &r) { return ValueText::shortDate(r.value(QStringLiteral("CreateDate"))); };
    if (layout == ListLayout::Grid)
        setColumns({column("PRingNo", QStringLiteral("Life Ring Number"), Left, Rings::shownRingNo),
                    column("DeleteMark", QStringLiteral("Mult_Del"), Centre,
                           [](const QSqlRecord &r) {
                               return ValueText::toBool(r.value(QStringLiteral("DeleteMark"))) ? QStringLiteral("True")
                                                                                              : QStringLiteral("False");
                           }),
                    column("ColorType", QStringLiteral("Color"), Left, colour),
                    column("Sex", QStringLiteral("Sex of bird"), Left, Rings::shownSex),
                    column("E_Ring", QStringLiteral("E_Ring Assign")),
                    column("CreateDate", QStringLiteral("Create Date"), Left, created),
                    column("AssignDate", QStringLiteral("Assign Date"), Left, dateTimeOf("AssignDate")),
                    column("Updatetime", QStringLiteral("Last Update"), Left, dateTimeOf("Updatetime"))});
    else
        setColumns({column("PRingNo", QStringLiteral("Life Ring Number"), Left, Rings::shownRingNo),
                    column("Sex", QStringLiteral("Sex "), Left, Rings::shownSex),
                    column("E_Ring", QStringLiteral("E_Ring")), column("ColorType", QStringLiteral("Color"), Left, colour),
                    column("CreateDate", QStringLiteral("Created"), Left, created),
                    column("AssignDate", QStringLiteral("Assign Date"), Left, dateTimeOf("AssignDate")),
                    column("Updatetime", QStringLiteral("Updated"), Left, dateTimeOf("Updatetime"))});
}

void RingList::load(const QString &loftNo)
{
    colourNames_ = FeatherColours::names(dm_);
    RecordTable::load(
        dm_, QStringLiteral("SELECT * FROM ORV_PigData WHERE LoftNo=? AND COALESCE(DeleteMark,0)=0 ORDER BY PRingNo"),
        {loftNo});
}

void RingList::copyFrom(const RingList &other)
{
    colourNames_ = other.colourNames_;
    copyRowsFrom(other);
}

// ---- clocks

ClockList::ClockList(TdmORVS &dm, QObject *parent) : RecordTable(parent), dm_(dm)
{
    setColumns({column("ClockID", QStringLiteral("Serial Number")),
                column("LastSynchDate", QStringLiteral("Date last synchronized "), Left, dateTimeOf("LastSynchDate")),
                column("SynchStat", QStringLiteral("Sync. required"), Centre, [](const QSqlRecord &r) {
                    return ValueText::toBool(r.value(QStringLiteral("SynchStat"))) ? QStringLiteral("Yes")
                                                                                   : QStringLiteral("No");
                })});
}

void ClockList::load(const QString &loftNo)
{
    RecordTable::load(dm_, QStringLiteral("SELECT * FROM ORV_LoftClocks WHERE LoftNo=?"), {loftNo});
}
