#include "members/memberlists.h"

#include "members/colours.h"
#include "members/members.h"
#include "members/rings.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

using namespace ListAlign;

// ---- members

MemberList::MemberList(TdmORVS &dm, ListLayout layout, QObject *parent) : RecordTable(parent), dm_(dm)
{
    if (layout == ListLayout::Grid)
        setColumns({column(QStringLiteral("LoftNo"), QStringLiteral("Loft No"), Left, Members::loftNoText),
                    column(QStringLiteral("LoftName"), QStringLiteral("Loft Name")),
                    column(QStringLiteral("clockCnt"), QStringLiteral("Clocks"), Centre)});
    else
        setColumns({column(QStringLiteral("LoftName"), QStringLiteral("Name")),
                    column(QStringLiteral("LoftNo"), QStringLiteral("LoftNo"), Left, Members::loftNoText),
                    column(QStringLiteral("clockCnt"), QStringLiteral("No. of Clocks"), Centre)});
}

void MemberList::load()
{
    RecordTable::load(
        dm_, QStringLiteral("SELECT a.AssociationCode, a.LoftNo, a.LoftName, COUNT(b.ClockID) AS clockCnt "
                            "FROM ORV_LoftData a LEFT JOIN ORV_LoftClocks b ON a.LoftNo=b.LoftNo "
                            "GROUP BY a.AssociationCode, a.LoftNo, a.LoftName ORDER BY a.LoftNo"));
}

// ---- rings

RingList::RingList(TdmORVS &dm, ListLayout layout, QObject *parent) : RecordTable(parent), dm_(dm)
{
    const auto colour = [this](const QSqlRecord &r) { return Rings::shownColour(colourNames_, r); };
    const auto created = [](const QSqlRecord &r) {
        return ValueText::shortDate(r.value(QStringLiteral("CreateDate")));
    };
    if (layout == ListLayout::Grid)
        setColumns(
            {column(QStringLiteral("PRingNo"), QStringLiteral("Life Ring Number"), Left, Rings::shownRingNo),
             column(QStringLiteral("DeleteMark"), QStringLiteral("Mult_Del"), Centre,
                    [](const QSqlRecord &r) {
                        return ValueText::toBool(r.value(QStringLiteral("DeleteMark")))
                                   ? QStringLiteral("True")
                                   : QStringLiteral("False");
                    }),
             column(QStringLiteral("ColorType"), QStringLiteral("Color"), Left, colour),
             column(QStringLiteral("Sex"), QStringLiteral("Sex of bird"), Left, Rings::shownSex),
             column(QStringLiteral("E_Ring"), QStringLiteral("E_Ring Assign")),
             column(QStringLiteral("CreateDate"), QStringLiteral("Create Date"), Left, created),
             column(QStringLiteral("AssignDate"), QStringLiteral("Assign Date"), Left,
                    shortDateTimeOf(QStringLiteral("AssignDate"))),
             column(QStringLiteral("Updatetime"), QStringLiteral("Last Update"), Left,
                    shortDateTimeOf(QStringLiteral("Updatetime")))});
    else
        setColumns(
            {column(QStringLiteral("PRingNo"), QStringLiteral("Life Ring Number"), Left, Rings::shownRingNo),
             column(QStringLiteral("Sex"), QStringLiteral("Sex "), Left, Rings::shownSex),
             column(QStringLiteral("E_Ring"), QStringLiteral("E_Ring")),
             column(QStringLiteral("ColorType"), QStringLiteral("Color"), Left, colour),
             column(QStringLiteral("CreateDate"), QStringLiteral("Created"), Left, created),
             column(QStringLiteral("AssignDate"), QStringLiteral("Assign Date"), Left,
                    shortDateTimeOf(QStringLiteral("AssignDate"))),
             column(QStringLiteral("Updatetime"), QStringLiteral("Updated"), Left,
                    shortDateTimeOf(QStringLiteral("Updatetime")))});
}

void RingList::load(const QString &loftNo)
{
    colourNames_ = FeatherColours::names(dm_);
    RecordTable::load(
        dm_,
        QStringLiteral(
            "SELECT * FROM ORV_PigData WHERE LoftNo=? AND COALESCE(DeleteMark,0)=0 ORDER BY PRingNo"),
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
    setColumns({column(QStringLiteral("ClockID"), QStringLiteral("Serial Number")),
                column(QStringLiteral("LastSynchDate"), QStringLiteral("Date last synchronized "), Left,
                       shortDateTimeOf(QStringLiteral("LastSynchDate"))),
                column(QStringLiteral("SynchStat"), QStringLiteral("Sync. required"), Centre,
                       [](const QSqlRecord &r) {
                           return ValueText::toBool(r.value(QStringLiteral("SynchStat")))
                                      ? QStringLiteral("Yes")
                                      : QStringLiteral("No");
                       })});
}

void ClockList::load(const QString &loftNo)
{
    RecordTable::load(dm_, QStringLiteral("SELECT * FROM ORV_LoftClocks WHERE LoftNo=?"), {loftNo});
}
