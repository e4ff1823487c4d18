#include "app/program/pages.h"

#include "app/ui/homepage.h"
#include "app/ui/mainwindow.h"
#include "app/ui/placeholderpage.h"
#include "clockops/ui/clockpage.h"
#include "members/ui/memberpage.h"
#include "races/ui/racepage.h"
#include "setup/ui/setuppage.h"

void registerPages()
{
    Pages::setFactory(1, [](TdmORVS &dm, QWidget *p) { return new TfrmHome(dm, p); });
    Pages::setFactory(2, [](TdmORVS &dm, QWidget *p) { return new TfrmSynch_10_TC(dm, p); });
    Pages::setFactory(3, [](TdmORVS &dm, QWidget *p) { return new TfrmMember_10(dm, p); });
    Pages::setFactory(4, [](TdmORVS &dm, QWidget *p) { return new TfrmRace_TC(dm, p); });
    Pages::setFactory(5, [](TdmORVS &dm, QWidget *p) { return new TfrmSetup_10(dm, p); });
    Pages::setFirstRun([](TdmORVS &dm, QWidget *p) { return TfrmSetup_10::runFirstRun(dm, p); });
}
