#include "../support/testdb.h"

#include "app/ui/dialogs.h"
#include "clockops/clockstamp.h"
#include "clockops/ui/clockpage.h"
#include "clockops/ui/messagearea.h"
#include "device/devicelink.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "store/appclock.h"
#include "store/recordtable.h"

#include <QComboBox>
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
        ClockStamp::setBiasOverride(0);
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
    // The same clock stays connected: the next polls skip it and keep polling.
    QVERIFY(done.wait(5000));
    QCOMPARE(done.last().at(1).toInt(), static_cast<int>(PollOutcome::SameClock));
    QVERIFY(page.timerMark->isActive() || page.busy());
    // A tab change switches every poll off.
    page.PageControl1->setCurrentIndex(0);
    QVERIFY(!page.timerMark->isActive());
}

QTEST_MAIN(TestClockPage)
#include "test_clockpage.moc"
