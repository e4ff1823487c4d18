#include "reportseed.h"

#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "clockops/clockstamp.h"
#include "clockops/ui/clockpage.h"
#include "device/devicelink.h"
#include "members/ui/memberpage.h"
#include "races/ui/racepage.h"
#include "report/report.h"
#include "report/reportrecorder.h"
#include "report/ui/reportpreview.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
// What the last Print button handed to the preview.
struct Printed
{
    QString form;
    int copies = 0;
    std::vector<QStringList> lines; // of the first page
    int pages = 0;

    bool hasLine(const QStringList &l) const { return std::find(lines.begin(), lines.end(), l) != lines.end(); }
    bool has(const QString &text) const
    {
        for (const auto &l : lines)
            if (l.contains(text))
                return true;
        return false;
    }
};

Printed clickPrint(QWidget *page, const char *button)
{
    Printed out;
    ReportPreview::setHook([&out](const Report &r, int copies) {
        out.form = r.formName();
        out.copies = copies;
        ReportRecorder rec;
        out.pages = rec.record(r);
        out.lines = rec.lines(0);
    });
    auto *b = page->findChild<QPushButton *>(QLatin1String(button));
    if (b && !b->isHidden())
        b->click();
    ReportPreview::setHook({});
    return out;
}
} // namespace

// Every Print button of the clock, races and member pages is shown and previews its report over
// the page's list as shown.
class TestPrintButtons : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Dialogs::clearShown();
        Dialogs::setHeadless(true);
    }
    void racesPage();
    void memberPage();
    void clockPage();
};

void TestPrintButtons::racesPage()
{
    TestDb db;
    ReportSeed::seed(db);
    db.dm().exec("UPDATE ORV_ClubData SET PrintCount=2");
    TfrmRace_TC page(db.dm());
    page.FormShow();
    page.dbgrd1->selectRow(0);

    Printed p = clickPrint(&page, "butPrtRacePoint");
    QCOMPARE(p.form, QString("frmPrtRaceList_TC"));
    QCOMPARE(p.copies, 2); // the club's PrintCount
    QVERIFY(p.hasLine({"Club", "Code", "Lib.Site Abbr.", "Liberation Site", "Lib Date", "Lib Time"}));
    QVERIFY(p.has("Peronne"));

    page.rgRacePointClick(3); // distances
    p = clickPrint(&page, "butPrtLoftRaceDist");
    QCOMPARE(p.form, QString("frmPrtMemDist_TC"));
    QVERIFY(p.hasLine({"Member loft distance to Peronne"}));
    QVERIFY(p.hasLine({"Alice Archer", "L1", "402", QLocale::system().toString(1234)}));

    // The download panel prints all distance rows under the distance panel's last title.
    db.dm().exec("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES ('9','L1',100,5)");
    page.rgRacePointClick(8);
    p = clickPrint(&page, "butDistDLPrt");
    QCOMPARE(p.form, QString("frmPrtMemDist_TC"));
    QVERIFY(p.hasLine({"Member loft distance to Peronne"}));
    QVERIFY(p.hasLine({"Alice Archer", "L1", "100", "5"}));
    QVERIFY(p.hasLine({"Alice Archer", "L1", "402", QLocale::system().toString(1234)}));

    page.dbgrd1->selectRow(0);
    page.rgRacePointClick(4); // status
    p = clickPrint(&page, "butPrtRaceStat");
    QCOMPARE(p.form, QString("frmPrtRaceStat_TC"));
    QVERIFY(p.hasLine({"Status for Peronne (05/26 07:00:00)"}));
    QVERIFY(p.hasLine({"Bob Brown", "CL2", "2", "1"}));

    page.rgRacePointClick(5); // result
    p = clickPrint(&page, "butPrtRaceResult");
    QCOMPARE(p.form, QString("frmPrtRaceResult_TC"));
    QVERIFY(p.has("Alice Archer"));
    QVERIFY(p.has(page.lblRaceResultSum->text()));
}

void TestPrintButtons::memberPage()
{
    TestDb db;
    ReportSeed::seed(db);
    db.dm().exec("INSERT INTO ORV_LoftData (LoftNo, LoftName, AssociationCode) VALUES ('L0','Zoe Zimmer','BE')");
    TfrmMember_10 page(db.dm());
    page.FormShow();

    // Sorted by a title click on the name: printed in that order.
    emit page.dbgrdMem->titleClicked("LoftName");
    Printed p = clickPrint(&page, "butPrtMemList");
    QCOMPARE(p.form, QString("frmPrtMemList_10"));
    QStringList names;
    for (const auto &l : p.lines)
        if (l.size() == 3 && l[1].startsWith("BE "))
            names << l[0];
    QCOMPARE(names, QStringList({"Alice Archer", "Bob Brown", "Zoe Zimmer"}));

    // The ring list of the member shown, a ticked ring still on it.
    page.dbgrdMem->selectRow(0);
    page.rgMemClick(3); // Member Rings List
    QCOMPARE(page.adoqDBGridMRing->rowCount(), 2);
    page.dbgrdMemRing->selectRow(0);
    page.dbgrdMemRingCellClick(0, 1); // Mult_Del
    QCOMPARE(page.adoqDBGridMRing->displayText(0, 1), QString("True"));
    p = clickPrint(&page, "butPrtRingList");
    QCOMPARE(p.form, QString("frmPrtMemRingList_10"));
    QVERIFY(p.hasLine({"Ring list of Alice Archer - L1"}));
    QVERIFY(p.has(page.adoqDBGridMRing->displayText(0, 0)));
    QVERIFY(p.has(page.adoqDBGridMRing->displayText(1, 0)));
}

void TestPrintButtons::clockPage()
{
    ClockSimulator sim;
    DeviceLink::setFactory([&sim] { return std::make_unique<SimLink>(sim); });
    TestDb db;
    ReportSeed::seed(db, 1);
    {
        TfrmSynch_10_TC page(db.dm());
        page.FormShow();
        page.PageControl1->setCurrentIndex(2);
        page.cbbTimer_UPL->setCurrentIndex(0);
        page.cbbTimer_UPLClick(0);
        QTRY_COMPARE(page.adoqTimerResult->rowCount(), 3);
        QVERIFY(page.timerResult->isActive());
        const QString label = page.cbbTimer_UPL->currentText();
        Printed p = clickPrint(&page, "btnPrint");
        QCOMPARE(p.form, QString("frmRaceRankRpt_10_TC"));
        QVERIFY(!page.timerResult->isActive()); // printing stops the result poll
        QVERIFY(p.hasLine({"RaceCode : " + label}));
        QVERIFY(p.hasLine({"LiberSite : Peronne"}));
        QVERIFY(p.hasLine({"Pos", "Name", "Yds/min", "Ring Particulars ", "C", "S", "Clock / day", "Var", "Distance",
                           "Margin"}));

        page.PageControl1->setCurrentIndex(1);
        page.cbbRaceCode->setCurrentIndex(0);
        page.cbbRaceCodeClick(0);
        QTRY_COMPARE(page.adoqMarking->rowCount(), 4);
        p = clickPrint(&page, "btnMarkUpLdPrt");
        QCOMPARE(p.form, QString("frmMarkUpLdPrt_10_TC"));
        QVERIFY(p.hasLine({"Total : 004"}));
        QVERIFY(p.hasLine({"LiberSite : Peronne"}));
    }
    DeviceLink::setFactory({});
}

QTEST_MAIN(TestPrintButtons)
#include "test_print_buttons.moc"
