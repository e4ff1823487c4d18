#include "../support/testdb.h"

#include "app/program/demo.h"
#include "app/program/pages.h"
#include "app/program/virtualclocks.h"
#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "app/ui/homepage.h"
#include "app/ui/mainwindow.h"
#include "members/ui/memberpage.h"
#include "races/ui/racepage.h"
#include "setup/ui/setuppage.h"
#include "clockops/ui/clocklogpanel.h"
#include "clockops/ui/clockpage.h"
#include "clockops/ui/messagearea.h"
#include "device/devicelink.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "store/recordtable.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

// The demo walked as a newcomer would: synchronise every clock, basket the birds, let them come
// home, read the results and see the ranking. Set PENNAVOX_SHOTS=DIR to keep screenshots.
class TestDemoRoad : public QObject
{
    Q_OBJECT
private slots:
    void roadOfARace();
    void demoDatabaseInTheFolderGiven();
    void everyPageFitsTheScreen();

private:
    void shot(QWidget *w, const QString &name)
    {
        const QString dir = qEnvironmentVariable("PENNAVOX_SHOTS");
        if (!dir.isEmpty())
            w->grab().save(dir + "/" + name + ".png");
    }
};

// --demo --data DIR: the demo's database lives in DIR; only a demo database there is replaced.
void TestDemoRoad::demoDatabaseInTheFolderGiven()
{
    QTemporaryDir dir;
    QFile notes(dir.filePath("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.close();
    const QString folder = Demo::prepareFolder(dir.path());
    QCOMPARE(folder, QDir(dir.path()).absolutePath());
    {
        TdmORVS dm(folder);
        Demo::seed(dm);
        dm.exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('999','Typed during the demo')");
    }
    QVERIFY(QFile::exists(dir.filePath("Pennavox_Europe.mdb")));
    QCOMPARE(Demo::prepareFolder(dir.path()), folder); // the next start: a fresh demo
    QVERIFY(!QFile::exists(dir.filePath("Pennavox_Europe.mdb")));
    QVERIFY(QFile::exists(dir.filePath("notes.txt")));

    TestDb club;
    club.insertClub("NC");
    QString error;
    QVERIFY(Demo::prepareFolder(club.dataFolder(), &error).isEmpty());
    QVERIFY2(error.contains("club NC"), qPrintable(error));
    QCOMPARE(club.dm().scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("NC"));
}

// On a 1366 x 768 screen the window stays within the screen whatever page it shows: a page that
// needs more room scrolls inside the window.
void TestDemoRoad::everyPageFitsTheScreen()
{
    Dialogs::setHeadless(true);
    TfrmMenu_V8_EU_10_TC::setBackupNoticeMs(1);
    TestDb db;
    Demo::seed(db.dm());
    registerPages();
    TfrmMenu_V8_EU_10_TC w(db.dm());
    w.resize(1366, 700);
    w.show();
    for (int page = 1; page <= 5; ++page) {
        w.openPage(page);
        QVERIFY(w.currentForm());
        QCoreApplication::processEvents();
        QVERIFY2(w.minimumSizeHint().height() <= 700 && w.height() <= 700,
                 qPrintable(QString("page %1: window %2, at least %3 high")
                                .arg(page)
                                .arg(w.height())
                                .arg(w.minimumSizeHint().height())));
    }
    w.ClosePage();
    for (int b = 1; b <= 5; ++b)
        Pages::setFactory(b, {});
}

void TestDemoRoad::roadOfARace()
{
    Dialogs::setHeadless(true);
    TfrmMenu_V8_EU_10_TC::setBackupNoticeMs(1);
    TestDb db;
    Demo::seed(db.dm());
    auto sim = Demo::makeSimulator(db.dm());
    ClockSimulator *s = sim.get();
    DeviceLink::setFactory([s] { return std::make_unique<SimLink>(*s); });
    Pages::setFactory(2, [](TdmORVS &dm, QWidget *p) { return new TfrmSynch_10_TC(dm, p); });

    TfrmMenu_V8_EU_10_TC w(db.dm());
    QVERIFY(w.clubReady());
    w.openPage(2);
    auto *page = qobject_cast<TfrmSynch_10_TC *>(w.currentForm());
    QVERIFY(page);
    TfrmVirtualClocks clocks(*sim, db.dm());
    auto *list = clocks.findChild<QListWidget *>("lstClocks");
    auto *raceBox = clocks.findChild<QComboBox *>("cbbSimRace");
    QSignalSpy done(page, &TfrmSynch_10_TC::jobFinished);
    auto waitJob = [&]() -> int {
        const int before = done.count();
        QElapsedTimer t;
        t.start();
        while (done.count() <= before && t.elapsed() < 10000)
            QTest::qWait(10);
        return done.count() > before ? done.last().at(1).toInt() : -2;
    };
    // Polls run until a poll has read the clock now connected.
    auto waitRead = [&]() -> bool {
        for (int tries = 0; tries < 50; ++tries)
            if (waitJob() == static_cast<int>(PollOutcome::Done))
                return true;
        return false;
    };

    // Synchronise each clock: races and pigeons go in.
    for (int i = 0; i < sim->clockCount(); ++i) {
        list->setCurrentRow(i);
        clocks.connectSelected();
        page->butSyncNow->click();
        QCOMPARE(waitJob(), static_cast<int>(PollOutcome::Done));
        QCOMPARE(page->mmoSynch->toPlainText(), QString("Clock Synchornize Success !"));
    }
    shot(&w, "clock-sync");
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftClocks").toInt(), sim->clockCount());

    const QString race = db.dm().scalar("SELECT RaceCode FROM ORV_RaceData WHERE LiberCode='1001'").toString();
    // Basket the birds of every clock and read them on the Marked Upload tab.
    page->PageControl1->setCurrentIndex(1);
    const int item = page->cbbRaceCode->findData(race);
    QVERIFY(item >= 0);
    page->timerMark->setInterval(20);
    page->cbbRaceCode->setCurrentIndex(item); // as chosen in the box: activated follows
    page->cbbRaceCodeClick(item);
    for (int i = 0; i < sim->clockCount(); ++i) {
        // As the README says: connect the clock (the page reads it: nothing basketed yet), then
        // basket its birds; the clock comes back on the antenna and is read on the first try.
        list->setCurrentRow(i);
        clocks.connectSelected();
        QVERIFY(waitRead());
        QVERIFY(page->logMark->lines().last().endsWith(": no birds marked"));
        raceBox->setCurrentIndex(raceBox->findText(race));
        clocks.markBirds();
        QVERIFY(waitRead());
        QVERIFY(page->mmoMark->toPlainText().endsWith("Marked data upload Success !"));
        QVERIFY2(page->logMark->lines().last().endsWith(": 8 birds marked"), qPrintable(page->logMark->lines().last()));
        QCOMPARE(page->logMark->unread().size(), sim->clockCount() - 1 - i);
    }
    QCOMPARE(page->logMark->lines().size(), 2 * sim->clockCount());
    QTRY_COMPARE_WITH_TIMEOUT(page->adoqMarking->rowCount(), 40, 10000);
    shot(&w, "clock-marked");

    // The birds come home; the Result Upload tab reads and ranks them.
    page->PageControl1->setCurrentIndex(2);
    const int resultItem = page->cbbTimer_UPL->findData(race);
    page->timerResult->setInterval(20);
    page->cbbTimer_UPL->setCurrentIndex(resultItem);
    page->cbbTimer_UPLClick(resultItem);
    QCOMPARE(page->logResult->unread().size(), sim->clockCount());
    for (int i = 0; i < sim->clockCount(); ++i) {
        list->setCurrentRow(i);
        clocks.connectSelected();
        raceBox->setCurrentIndex(raceBox->findText(race));
        clocks.letBirdsArrive();
        QVERIFY(waitRead());
        QVERIFY2(page->mmoResult->toPlainText().endsWith("Race Result upload Success !"), qPrintable(page->mmoResult->toPlainText()));
        // one bird of each clock does not come home
        QVERIFY2(page->logResult->lines().last().endsWith(": 7 arrivals read"), qPrintable(page->logResult->lines().last()));
        QCOMPARE(page->logResult->unread().size(), sim->clockCount() - 1 - i);
    }
    QCOMPARE(page->logResult->lines().size(), sim->clockCount());
    QTRY_COMPARE_WITH_TIMEOUT(page->adoqTimerResult->rowCount(), 40 - sim->clockCount(), 10000);
    // every arrival after the liberation of the morning, every basketing the evening before
    const QString liberation = db.dm().scalar("SELECT LiberDate||' '||LiberTime FROM ORV_RaceData WHERE RaceCode=?", {race}).toString();
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigRaceData WHERE RaceCode=? AND BackTime<>'' AND BackTime<=?", {race, liberation}).toInt(), 0);
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigRaceData WHERE RaceCode=? AND date(MarkedTime)<>date(?, '-1 day')", {race, liberation}).toInt(), 0);
    shot(&w, "clock-result");
    shot(&clocks, "virtual-clocks");
    RecordTable *grid = page->adoqTimerResult;
    double previous = 1e12;
    for (int r = 0; r < grid->rowCount(); ++r) {
        const double v = grid->record(r).value("FlySpeed").toDouble();
        QVERIFY(v > 0 && v <= previous);
        previous = v;
    }
    QCOMPARE(grid->displayText(0, 0), QString("1"));

    // The other pages over the demo's data after the road.
    if (!qEnvironmentVariable("PENNAVOX_SHOTS").isEmpty()) {
        Pages::setFactory(1, [](TdmORVS &dm, QWidget *p) { return new TfrmHome(dm, p); });
        Pages::setFactory(3, [](TdmORVS &dm, QWidget *p) { return new TfrmMember_10(dm, p); });
        Pages::setFactory(4, [](TdmORVS &dm, QWidget *p) { return new TfrmRace_TC(dm, p); });
        Pages::setFactory(5, [](TdmORVS &dm, QWidget *p) { return new TfrmSetup_10(dm, p); });
        const char *names[] = {"", "page-home", "", "page-member", "page-races", "page-setup"};
        for (int b : {1, 3, 4, 5}) {
            w.openPage(b);
            QTest::qWait(50);
            shot(&w, names[b]);
            if (auto *races = qobject_cast<TfrmRace_TC *>(w.currentForm())) {
                races->dbgrd1->selectRow(races->adoqRacePoint->rowOf("RaceCode", race));
                races->rgRacePointClick(5);
                QVERIFY(races->adoqRaceRec->rowCount() > 0);
                shot(&w, "races-result");
                races->rgRacePointClick(4);
                shot(&w, "races-status");
                races->rgRacePointClick(3);
                shot(&w, "races-distances");
            }
        }
    }
    w.close();
    DeviceLink::setFactory({});
}

QTEST_MAIN(TestDemoRoad)
#include "test_demo_road.moc"
