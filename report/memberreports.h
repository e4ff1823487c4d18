#pragma once

#include "report/report.h"

#include <memory>

class MemberList;
class RingList;
class TdmORVS;

// The two reports of the member page, over the page's lists as shown: their order after title
// clicks and the rings ticked for deletion since the list was read.
namespace MemberReports {

// "Member List" (TfrmPrtMemList_10).
std::unique_ptr<Report> memberList(TdmORVS &dm, const MemberList &shown);

// " Ring list of " + name + " - " + loft number (TfrmPrtMemRingList_10).
std::unique_ptr<Report> ringList(TdmORVS &dm, const RingList &shown, const QString &memberName,
                                 const QString &loftNo);

} // namespace MemberReports
