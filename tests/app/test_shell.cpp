#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include "app/startup.h"
#include "app/ui/dialogs.h"
#include "app/ui/datetimebox.h"
#include "app/ui/grid.h"
#include "app/ui/homepage.h"
#include "app/ui/mainwindow.h"
#include "app/ui/page.h"
#include "setup/clubsetup.h"
#include "setup/ui/setuppage.h"
#include "store/recordtable.h"
#include "store/sorttext.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QtTest>

namespace {
ClubForm newClub()
{
    ClubForm f;
    f.name = "North Club";
    f.abbreviation = "NC";
    f.association = "BE";
    f.street = "Main 1";
    return f;
}

// A page that counts its life, to see that the main window frees what it hosted.
int livePages = 0;
class CountingPage : public TPage
{
public:
    CountingPage(TdmORVS &dm, QWidget *p) : TPage("frmCount", dm, p) { ++livePages; }
    ~CountingPage() override { --livePages; }
    void FormClose() override { ++closes; }
    static inline int closes = 0;
};
} // namespace

class TestShell : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Dialogs::clearShown();
        Dialogs::setHeadless(true);
        TfrmMenu_V8_EU_10_TC::setBackupNoticeMs(10);
        SortText::programWide().clear();
    }

    void firstRunLeftUnsavedEndsTheProgram();
    void firstRunThroughTheSetupWindow();
    void firstRunCancelledOrClosedEndsWithoutAClub();
    void existingClubSkipsTheSetup();
    void mainWindowHostsOnePageAtATime();
    void showingTakesTheBackupAndCloseRunsThePurge();
    void homePageListsClocksAndSortsByTitle();
    void gridColumnsFitTheirTextAndShowTheSort();

    void clubSaveFirstRun();
    void clubSaveEditInPlace();
    void clubSaveAbbreviationChangeReplacesRecord();
    void clubSaveCustomDuplicateIsRefused();
    void clubSaveEmptyAbbreviationKeepsTheRecord();
    void clubSaveRejectsNonNumbers();
    void setupPageLoadsAndLocksListedClub();
    void setupPageStoresDistanceMethod();
};

void TestShell::firstRunLeftUnsavedEndsTheProgram()
{
    TestDb db;
    int asked = 0;
    Pages::setFirstRun([&](TdmORVS &, QWidget *) { return ++asked, 0; });
    TfrmMenu_V8_EU_10_TC w(db.dm());
    QCOMPARE(asked, 1);
    QVERIFY(!w.clubReady());
}

void TestShell::firstRunThroughTheSetupWindow()
{
    TestDb db;
    Pages::setFirstRun([](TdmORVS &dm, QWidget *p) { return TfrmSetup_10::runFirstRun(dm, p); });
    bool keptOpen = false, marked = false, nameKept = false;
    QTimer::singleShot(0, [&] {
        auto *dlg = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        auto *name = dlg->findChild<QLineEdit *>("edtClubName");
        auto *abbt = dlg->findChild<QLineEdit *>("edtClubAbbt");
        auto *assoc = dlg->findChild<QLineEdit *>("edtAssociation");
        auto *ok = dlg->findChild<QPushButton *>("btnOK");
        QTest::keyClicks(name, "O'Neill Flyers");
        QTest::mouseClick(ok, Qt::LeftButton);
        // refused: the window stays with what was typed and the two fields marked
        keptOpen = dlg->isVisible() &&
                   Dialogs::shown().contains("Association and Club Abbreviation must be filled !");
        marked = abbt->property("missing").toBool() && assoc->property("missing").toBool();
        nameKept = name->text() == "O'Neill Flyers";
        QTest::keyClicks(abbt, "of");
        QVERIFY(!abbt->property("missing").toBool());
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(dlg->isVisible()); // the association is still missing
        QVERIFY(assoc->property("missing").toBool());
        QTest::keyClicks(assoc, "ie");
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    TfrmMenu_V8_EU_10_TC w(db.dm());
    QVERIFY(keptOpen);
    QVERIFY(marked);
    QVERIFY(nameKept);
    QVERIFY(w.clubReady());
    QCOMPARE(db.dm().scalar("SELECT ClubName||'/'||ClubID||'/'||AssociationCode FROM ORV_ClubData").toString(),
             QString("O'Neill Flyers/OF/IE"));
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubMap WHERE ClubID='OF'").toInt(), 1);
}

void TestShell::firstRunCancelledOrClosedEndsWithoutAClub()
{
    for (const bool viaClose : {false, true}) {
        TestDb db;
        Pages::setFirstRun([](TdmORVS &dm, QWidget *p) { return TfrmSetup_10::runFirstRun(dm, p); });
        QTimer::singleShot(0, [viaClose] {
            auto *dlg = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            // everything typed, yet the user leaves without OK: nothing is stored
            QTest::keyClicks(dlg->findChild<QLineEdit *>("edtClubName"), "North");
            QTest::keyClicks(dlg->findChild<QLineEdit *>("edtClubAbbt"), "NC");
            QTest::keyClicks(dlg->findChild<QLineEdit *>("edtAssociation"), "BE");
            if (viaClose)
                dlg->close();
            else
                QTest::mouseClick(dlg->findChild<QPushButton *>("btnCancel"), Qt::LeftButton);
        });
        TfrmMenu_V8_EU_10_TC w(db.dm());
        QVERIFY(!w.clubReady());
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubData").toInt(), 0);
    }
}

void TestShell::existingClubSkipsTheSetup()
{
    TestDb db;
    db.insertClub();
    int asked = 0;
    Pages::setFirstRun([&](TdmORVS &, QWidget *) { return ++asked, 1; });
    TfrmMenu_V8_EU_10_TC w(db.dm());
    QCOMPARE(asked, 0);
    QVERIFY(w.clubReady());
    // 1360 x 738, within the screen's free area (its title bar included)
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(w.size(), QSize(qMin(1360, free.width()), qMin(738, free.height() - 32)));
}

void TestShell::mainWindowHostsOnePageAtATime()
{
    TestDb db;
    db.insertClub();
    livePages = 0;
    CountingPage::closes = 0;
    for (int b = 1; b <= 5; ++b)
        Pages::setFactory(b, [](TdmORVS &dm, QWidget *p) { return new CountingPage(dm, p); });
    {
        TfrmMenu_V8_EU_10_TC w(db.dm());
        w.openPage(2);
        QCOMPARE(livePages, 1);
        w.openPage(3);
        QCOMPARE(livePages, 1);
        QCOMPARE(CountingPage::closes, 1);
        QVERIFY(w.pnlMain()->isAncestorOf(w.currentForm()));
        w.close();
        QCOMPARE(livePages, 0);
        QCOMPARE(CountingPage::closes, 2);
    }
    QCOMPARE(livePages, 0);
    // Accelerators: the letter underlined in the button's word, not printed before it; Alt+letter.
    QCOMPARE(TfrmMenu_V8_EU_10_TC::buttonText("&H Home"), QString("&Home"));
    QCOMPARE(TfrmMenu_V8_EU_10_TC::buttonText("&C Clock Operation"), QString("&Clock Operation"));
    QCOMPARE(TfrmMenu_V8_EU_10_TC::buttonText("&C Uhren"), QString("Uhren (&C)"));
    QCOMPARE(TfrmMenu_V8_EU_10_TC::buttonText("&S Einstellungen"), QString("Ein&stellungen"));
    TfrmMenu_V8_EU_10_TC w(db.dm());
    w.show();
    QTest::qWait(100); // the backup notice comes and goes
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto *races = qobject_cast<QToolButton *>(w.toolBar()->widgetForAction(w.toolBar()->actions()[3]));
    QVERIFY(races);
    QCOMPARE(races->text(), QString("&Races"));
    QTest::keyClick(&w, Qt::Key_R, Qt::AltModifier);
    QTRY_VERIFY(w.toolBar()->actions()[3]->isChecked());
    QTest::keyClick(w.currentForm(), Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(w.toolBar()->actions()[4]->isChecked());
}

void TestShell::showingTakesTheBackupAndCloseRunsThePurge()
{
    TestDb db;
    db.insertClub();
    db.dm().exec("INSERT INTO ORV_RaceData (RaceCode, LiberDate, DeleteMark) VALUES ('OLD', '2000-01-01', 1)");
    TfrmMenu_V8_EU_10_TC w(db.dm());
    w.show();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Startup::currentBackupPath(db.dataFolder())), 5000);
    w.close();
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_RaceData").toInt(), 0);
}

void TestShell::homePageListsClocksAndSortsByTitle()
{
    TestDb db;
    db.dm().exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('1','Adams'),('2','Brown')");
    db.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID, LastSynchDate) VALUES "
                 "('1','0000000B','2026-03-01 10:00:00'),('2','0000000A',NULL),('9','0000000C','2026-01-05 08:00:00')");
    auto *home = new TfrmHome(db.dm());
    home->FormShow();
    RecordTable *t = home->adoqDBGrid();
    QCOMPARE(t->rowCount(), 3);
    const int orphan = t->rowOf("ClockID", "0000000C");
    QCOMPARE(t->displayText(orphan, 1), QString()); // loft no longer exists
    QCOMPARE(t->displayText(t->rowOf("ClockID", "0000000A"), 2), QString()); // never synchronised
    // in the form the date boxes show
    QCOMPARE(t->displayText(orphan, 2), QDate(2026, 1, 5).toString(Controls::typedDateFormat(QLocale::system())));
    QCOMPARE(t->data(t->index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::Alignment(Qt::AlignCenter));

    auto order = [&] {
        QStringList ids;
        for (int r = 0; r < t->rowCount(); ++r)
            ids << t->displayText(r, 0);
        return ids;
    };
    home->DBGrid1TitleClick("LastSynchDate");
    QCOMPARE(order(), QStringList({"0000000A", "0000000C", "0000000B"}));
    home->DBGrid1TitleClick("LastSynchDate");
    QCOMPARE(order(), QStringList({"0000000B", "0000000C", "0000000A"}));
    home->DBGrid1TitleClick("LastSynchDate");
    QCOMPARE(order(), QStringList({"0000000A", "0000000C", "0000000B"}));
    delete home;

    // The sort text outlives the page: a new page starts unsorted, its first click descends.
    home = new TfrmHome(db.dm());
    home->FormShow();
    home->DBGrid1TitleClick("LastSynchDate");
    QCOMPARE(SortText::programWide(), QString("LastSynchDate DESC"));
    delete home;
}

void TestShell::gridColumnsFitTheirTextAndShowTheSort()
{
    TestDb db;
    db.dm().exec("INSERT INTO ORV_LoftData (LoftNo, LoftName) VALUES ('1','Vandenbroucke-Verschueren & Sons Racing Loft')");
    db.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID, LastSynchDate) VALUES "
                 "('1','0000000B','2026-03-01 10:00:00'),('1','0000000A','2026-12-31 23:59:59')");
    TfrmHome home(db.dm());
    home.resize(1360, 690);
    home.show();
    home.FormShow();
    QVERIFY(QTest::qWaitForWindowExposed(&home));
    auto *grid = home.findChild<TDBGrid *>("DBGrid1");
    QVERIFY(grid);
    QHeaderView *h = grid->horizontalHeader();
    RecordTable *t = grid->table();
    // no text of any row nor any title cut off
    for (int c = 0; c < t->columnCount(); ++c) {
        int need = h->fontMetrics().horizontalAdvance(t->headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < t->rowCount(); ++r)
            need = qMax(need, grid->fontMetrics().horizontalAdvance(t->displayText(r, c)));
        QVERIFY2(h->sectionSize(c) >= need, qPrintable(t->headerData(c, Qt::Horizontal).toString()));
        QCOMPARE(h->sectionResizeMode(c), QHeaderView::Interactive);
    }
    // the last column takes the room left, to the pixel: no sideways scrolling for a few pixels
    QCOMPARE(h->length(), grid->viewport()->width());
    QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
    QVERIFY(!h->isSortIndicatorShown());
    home.DBGrid1TitleClick("LastSynchDate");
    QVERIFY(h->isSortIndicatorShown());
    QCOMPARE(h->sortIndicatorSection(), 2);
    const Qt::SortOrder first = h->sortIndicatorOrder();
    home.DBGrid1TitleClick("LastSynchDate");
    QCOMPARE(h->sortIndicatorSection(), 2);
    QVERIFY(h->sortIndicatorOrder() != first);
    // a column dragged wider keeps its width until the rows change; the last one gives way to it
    const int last = h->sectionSize(2);
    h->resizeSection(0, h->sectionSize(0) + 40);
    QCOMPARE(h->sectionSize(2), last - 40);
    h->resizeSection(0, 300);
    QCOMPARE(h->sectionSize(0), 300);
}

void TestShell::clubSaveFirstRun()
{
    TestDb db;
    RecordingSink sink;
    QCOMPARE(ClubSetup::save(db.dm(), newClub(), sink), 1);
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubMap").toInt(), 1);
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubData").toInt(), 1);
    QVERIFY(sink.messages.isEmpty());
}

void TestShell::clubSaveEditInPlace()
{
    TestDb db;
    RecordingSink sink;
    ClubSetup::save(db.dm(), newClub(), sink);
    bool present = false;
    ClubForm f = ClubSetup::load(db.dm(), "HU", &present);
    QVERIFY(present);
    QCOMPARE(f.language, 0); // the stored language wins over the settings file
    f.street = "Harbour 2";
    f.name = "Renamed"; // not changed on this path
    f.days = "7";
    QCOMPARE(ClubSetup::save(db.dm(), f, sink), 1);
    const auto rows = db.dm().rows("SELECT Street, ClubName, DBBackupDays FROM ORV_ClubData");
    QCOMPARE(static_cast<int>(rows.size()), 1);
    QCOMPARE(rows[0].value(0).toString(), QString("Harbour 2"));
    QCOMPARE(rows[0].value(1).toString(), QString("North Club"));
    QCOMPARE(rows[0].value(2).toInt(), 7);
}

void TestShell::clubSaveAbbreviationChangeReplacesRecord()
{
    TestDb db;
    RecordingSink sink;
    ClubSetup::save(db.dm(), newClub(), sink);
    ClubForm f = ClubSetup::load(db.dm(), {}, nullptr);
    f.abbreviation = "NC2";
    QCOMPARE(ClubSetup::save(db.dm(), f, sink), 1);
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubData").toInt(), 1);
    QCOMPARE(db.dm().scalar("SELECT ClubID FROM ORV_ClubData").toString(), QString("NC2"));
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubMap").toInt(), 2);

    // "Custom" with a new abbreviation: listed once, although the replace path appends it too.
    f.clubBoxText = ClubSetup::Custom;
    f.abbreviation = "NEW";
    QCOMPARE(ClubSetup::save(db.dm(), f, sink), 1);
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubMap WHERE ClubID='NEW'").toInt(), 1);
}

void TestShell::clubSaveCustomDuplicateIsRefused()
{
    TestDb db;
    RecordingSink sink;
    ClubSetup::save(db.dm(), newClub(), sink);
    ClubForm f = ClubSetup::load(db.dm(), {}, nullptr);
    f.clubBoxText = ClubSetup::Custom;
    f.street = "changed";
    QCOMPARE(ClubSetup::save(db.dm(), f, sink), 0);
    QVERIFY(sink.has("Club Abbrivation duplicate ! Club data setup fail !"));
    QCOMPARE(db.dm().scalar("SELECT Street FROM ORV_ClubData").toString(), QString("Main 1"));
}

void TestShell::clubSaveEmptyAbbreviationKeepsTheRecord()
{
    TestDb db;
    RecordingSink sink;
    ClubSetup::save(db.dm(), newClub(), sink);
    ClubForm f = ClubSetup::load(db.dm(), {}, nullptr);
    f.abbreviation.clear();
    QCOMPARE(ClubSetup::save(db.dm(), f, sink), 0);
    QVERIFY(sink.has("Association and Club Abbreviation must be filled !"));
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubData").toInt(), 1);
}

void TestShell::clubSaveRejectsNonNumbers()
{
    TestDb db;
    RecordingSink sink;
    ClubForm f = newClub();
    f.copies = "two";
    QCOMPARE(ClubSetup::save(db.dm(), f, sink), 0);
    QVERIFY(sink.hasContaining("not a valid integer"));
    QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubData").toInt(), 0);
}

void TestShell::setupPageStoresDistanceMethod()
{
    TestDb db;
    db.insertClub("NC");
    {
        TfrmSetup_10 page(db.dm());
        page.FormShow();
        QCOMPARE(page.cbbDistMethod->currentText(), QString("Club formula")); // NULL reads as the club formula
        page.cbbDistMethod->setCurrentIndex(1);
        page.FormClose();
        QCOMPARE(page.ClubUpdateStat(), 1);
    }
    QCOMPARE(db.dm().scalar("SELECT DistanceMethod FROM ORV_ClubData").toInt(), 1);
    TfrmSetup_10 again(db.dm());
    again.FormShow();
    QCOMPARE(again.cbbDistMethod->currentText(), QString("WGS84 geodesic"));
}

void TestShell::setupPageLoadsAndLocksListedClub()
{
    TestDb db;
    db.insertClub("NC", 1);
    db.dm().exec("INSERT INTO ORV_ClubMap VALUES ('AB','Alpha Birds')");
    TfrmSetup_10 page(db.dm());
    page.FormShow();
    QCOMPARE(page.edtClubAbbt->text(), QString("NC"));
    QCOMPARE(page.cbbMode->currentIndex(), 1);
    QCOMPARE(page.cbbClubName->count(), 4);
    QCOMPARE(page.cbbClubName->itemText(2), QString("Alpha Birds")); // ordered by ClubID
    // between "Custom" and the clubs a line, not a dashed choice
    const auto *items = qobject_cast<QStandardItemModel *>(page.cbbClubName->model());
    QVERIFY(items && !items->item(1)->isEnabled());
    QVERIFY(!page.cbbClubName->itemText(1).contains(QLatin1String("---")));
    page.cbbClubName->setCurrentIndex(2);
    page.cbbClubNameClick();
    QCOMPARE(page.edtClubAbbt->text(), QString("AB"));
    QVERIFY(page.edtClubName->isReadOnly());
    page.cbbClubName->setCurrentIndex(0);
    page.cbbClubNameClick();
    QVERIFY(!page.edtClubName->isReadOnly());
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
