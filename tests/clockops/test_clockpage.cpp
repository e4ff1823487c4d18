#include "../support/testdb.h"

#include "app/ui/dialogs.h"
#include "app/ui/statusnote.h"
#include "clockops/ui/clocklogpanel.h"
#include "clockops/clockstamp.h"
#include "clockops/ui/clockpage.h"
#include "clockops/ui/messagearea.h"
#include "device/devicelink.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "store/appclock.h"
#include "store/recordtable.h"

#include "office/workbook.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

// The page's wiring: buttons, tabs and polls reach the worker thread and come back to the grids.
class TestClockPage : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Dialogs::clearShown();
        Dialogs::setHeadless(true);
        sim = std::make_unique<ClockSimulator>();
        sim->addClock("1A2B3C4D", "001");
        sim->connectClock(0);
        ClockSimulator *s = sim.get();
        DeviceLink::setFactory([s] { return std::make_unique<SimLink>(*s); });
    }
    void cleanup()
    {
        DeviceLink::setFactory({});
        sim.reset();
    }
    void syncNowRunsOnePassAndShowsItsMessage();
    void markedTabPollsTheChosenRace();
    void autoModeShowsItIsOnAndStops();
    void antennaAloneAsksForAClock();
    void waitingOnTheAntennaIsShown();

private:
    std::unique_ptr<ClockSimulator> sim;
};

void TestClockPage::syncNowRunsOnePassAndShowsItsMessage()
{
    TestDb db;
    db.insertClub();
    db.dm().exec("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSiteAbbr, LiberDate, LiberTime, RaceCode, DeleteMark) "
                 "VALUES ('NC','1234','AB',date('now'),'07:00:00','12340101',0)");
    TfrmSynch_10_TC page(db.dm());
    page.FormShow();
    QSignalSpy done(&page, &TfrmSynch_10_TC::jobFinished);
    page.butSyncNow->click();
    QVERIFY(page.busy());
    QVERIFY(!page.btnSyncAll->isEnabled()); // no second pass while one runs
    page.btnSyncAll->click();
    QVERIFY(done.wait(5000));
    QCOMPARE(done.count(), 1);
    QVERIFY(!page.busy());
    QVERIFY(page.mmoSynch->isVisibleTo(&page));
    QCOMPARE(page.mmoSynch->toPlainText(), QString("Clock Synchornize Success !"));
    QCOMPARE(page.mmoSynch->colourName(), QString("#00FF00"));
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftClocks").toInt(), 1);
    QVERIFY(sim->clock(0).race("12340101"));
    // the lasting log keeps the clock after the message area has moved on
    QCOMPARE(page.logSynch->lines().size(), 1);
    QVERIFY(page.logSynch->lines().first().endsWith(" loft 001, clock 1A2B3C4D: synchronised"));
}

void TestClockPage::markedTabPollsTheChosenRace()
{
    TestDb db;
    db.insertClub();
    db.dm().exec("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSiteAbbr, LiberDate, LiberTime, RaceCode, DeleteMark) "
                 "VALUES ('NC','1234','AB','2026-06-01','07:00:00','12340601',0)");
    db.dm().exec("INSERT INTO ORV_PigData (LoftNo, PRingNo, DeleteMark) VALUES ('001','P1',0)");
    sim->clock(0).saveRace("12340601", {});
    sim->clock(0).savePigeon("P1", {}, 0);
    sim->clock(0).markPigeon("P1", "12340601", 1000);
    TfrmSynch_10_TC page(db.dm());
    page.FormShow();
    page.PageControl1->setCurrentIndex(1);
    QCOMPARE(page.cbbRaceCode->count(), 1);
    QVERIFY(page.cbbRaceCode->itemText(0).startsWith("1234 "));
    page.timerMark->setInterval(10);
    QSignalSpy done(&page, &TfrmSynch_10_TC::jobFinished);
    page.cbbRaceCodeClick(0);
    QVERIFY(done.wait(5000));
    QCOMPARE(done.first().at(1).toInt(), static_cast<int>(PollOutcome::Done));
    QCOMPARE(page.adoqMarking->rowCount(), 1);
    QCOMPARE(page.logMark->lines().size(), 1);
    QVERIFY(page.logMark->lines().first().endsWith(" loft 001, clock 1A2B3C4D: 1 bird marked"));
    QVERIFY(page.logMark->unread().isEmpty()); // the only loft of the race is read
    QCOMPARE(page.logResult->unread(), QStringList({"001"}));
    // The same clock stays connected: the next polls skip it and keep polling.
    QVERIFY(done.wait(5000));
    QCOMPARE(done.last().at(1).toInt(), static_cast<int>(PollOutcome::SameClock));
    QVERIFY(page.timerMark->isActive() || page.busy());
    // A tab change switches every poll off.
    page.FormClose(); // as the main window does before it frees the page
    page.PageControl1->setCurrentIndex(0);
    QVERIFY(!page.timerMark->isActive());
    QTRY_VERIFY(!page.busy());
    {
        // Shown again in the same run (after a look at the Races page): the tab, the race chosen
        // and the log of the clocks handled are as they were.
        TfrmSynch_10_TC again(db.dm());
        again.FormShow();
        QCOMPARE(again.PageControl1->currentIndex(), 1);
        QCOMPARE(again.cbbRaceCode->currentData().toString(), QStringLiteral("12340601"));
        QCOMPARE(again.logMark->lines(), page.logMark->lines());
        again.PageControl1->setCurrentIndex(0);
        QTRY_VERIFY(!again.busy());
    }

    // The marked list and the multi-race grid go to workbooks through the save dialog.
    QTemporaryDir dir;
    const QString marked = dir.filePath("marked.xlsx");
    Dialogs::pushFile(marked);
    page.btnExportMarkList->click();
    WorkbookSheet sheet;
    QString error;
    QVERIFY2(readFirstSheet(marked, &sheet, &error), qPrintable(error));
    QCOMPARE(sheet.rowCount(), 2);
    QCOMPARE(sheet.text(2, 2), QStringLiteral("P1"));
    QCOMPARE(sheet.text(2, 8), QStringLiteral("1"));
    Dialogs::pushFile(QString()); // cancelled: nothing written
    page.btnResult_Export->click();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"marked.xlsx"});
    Dialogs::pushFile(dir.filePath("multi.xlsx"));
    page.btnResult_Export->click();
    QVERIFY(readFirstSheet(dir.filePath("multi.xlsx"), &sheet, &error));
    QCOMPARE(sheet.text(1, 2), QStringLiteral("LibCode"));
}

void TestClockPage::autoModeShowsItIsOnAndStops()
{
    TestDb db;
    db.insertClub();
    TfrmSynch_10_TC page(db.dm());
    page.resize(1200, 700);
    page.show();
    page.FormShow();
    QVERIFY(!page.butSyncStop->isVisible());
    QSignalSpy done(&page, &TfrmSynch_10_TC::jobFinished);
    page.timerSync->setInterval(10);
    QTest::mouseClick(page.butSyncAuto, Qt::LeftButton);
    QVERIFY(page.autoSync());
    QVERIFY(page.butSyncAuto->isChecked());
    QVERIFY(page.lbAutoOn->isVisible());
    QVERIFY(page.butSyncStop->isVisible());
    QVERIFY(done.wait(5000));
    // while a pass runs the stop stays at hand
    QTRY_VERIFY(page.busy() || page.timerSync->isActive());
    QVERIFY(page.butSyncStop->isEnabled());
    QTest::mouseClick(page.butSyncStop, Qt::LeftButton);
    QVERIFY(!page.autoSync());
    QVERIFY(!page.butSyncStop->isVisible());
    QVERIFY(!page.lbAutoOn->isVisible());
    QVERIFY(!page.butSyncAuto->isChecked());
    QTRY_VERIFY(!page.busy());
    QVERIFY(!page.timerSync->isActive());
    // one clock, one line, however many polls found it again
    QCOMPARE(page.logSynch->lines().size(), 1);
}

void TestClockPage::antennaAloneAsksForAClock()
{
    TestDb db;
    db.insertClub("NC");
    sim->antenna().owner = "NC";
    sim->disconnectClock();
    TfrmSynch_10_TC page(db.dm());
    page.FormShow();
    QSignalSpy done(&page, &TfrmSynch_10_TC::jobFinished);
    page.butSyncNow->click();
    QVERIFY(done.wait(5000));
    QCOMPARE(page.mmoSynch->toPlainText(), QString("Connect a clock to the antenna."));
    QCOMPARE(page.mmoSynch->colourName(), QString("#FFFF00"));
    QVERIFY(page.logSynch->lines().isEmpty());
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftClocks").toInt(), 0);
}

void TestClockPage::waitingOnTheAntennaIsShown()
{
    TestDb db;
    db.insertClub();
    ClockSimulator *s = sim.get();
    DeviceLink::setFactory([s] { return std::make_unique<SimLink>(*s, SimLink::Timing::Real); });
    TfrmSynch_10_TC page(db.dm());
    page.FormShow();
    sim->injectFault("delay:1500@GetDeviceNo");
    QSignalSpy done(&page, &TfrmSynch_10_TC::jobFinished);
    page.butSyncNow->click();
    QTRY_COMPARE_WITH_TIMEOUT(StatusNote::last(), QString("Waiting for the antenna on the virtual antenna …"), 1400);
    QVERIFY(done.wait(5000));
    QVERIFY(StatusNote::last().isEmpty()); // the note goes with the wait
}

QTEST_MAIN(TestClockPage)
#include "test_clockpage.moc"
