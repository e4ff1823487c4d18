#include "report/memberreports.h"

#include "members/memberlists.h"
#include "report/listreport.h"
#include "store/tableobject.h"

namespace MemberReports {

std::unique_ptr<Report> memberList(TdmORVS &dm, const MemberList &shown)
{
    const ClubSettings club = ClubSettings::load(dm);
    auto *list = new MemberList(dm, ListLayout::Report);
    list->copyRowsFrom(shown);
    auto report = ListReport::make(QStringLiteral("frmPrtMemList_10"), list, club, true);
    report->addTitle(QStringLiteral("qrlTitle"), QStringLiteral("Member List"));
    ListReport::finish(*report, dm, club);
    return report;
}

std::unique_ptr<Report> ringList(TdmORVS &dm, const RingList &shown, const QString &memberName,
                                 const QString &loftNo)
{
    const ClubSettings club = ClubSettings::load(dm);
    auto *list = new RingList(dm, ListLayout::Report);
    list->copyFrom(shown);
    auto report = ListReport::make(QStringLiteral("frmPrtMemRingList_10"), list, club, true);
    report->addTitle(QStringLiteral("qrlTitle"), QStringLiteral(" Ring list of "),
                     memberName + QStringLiteral(" - ") + loftNo);
    ListReport::finish(*report, dm, club);
    return report;
}

} // namespace MemberReports
