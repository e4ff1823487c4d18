// Wiring of the season panels on the Races page, over the demo club and its championship.
// With PENNAVOX_SHOTS=DIR set, the panels are also saved as PNGs for a look.
#include "app/program/demo.h"
#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "races/ui/racepage.h"
#include "season/championship.h"
#include "season/seasonlists.h"
#include "season/ui/championshippanel.h"
#include "season/ui/prizelistpanel.h"
#include "store/recordtable.h"
#include "tests/support/testdb.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

class TestSeasonPage : public QObject
{
    Q_OBJECT

    void shot(QWidget *w, const char *name)
    {
        const QString dir = qEnvironmentVariable("PENNAVOX_SHOTS");
        if (dir.isEmpty())
            return;
        QCoreApplication::processEvents();
        w->grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    }

    static void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }

private slots:
    void initTestCase() { Dialogs::setHeadless(true, Answer::No); }
    void championshipsAndPrizeList();
};

void TestSeasonPage::championshipsAndPrizeList()
{
    TestDb db;
    Demo::seed(db.dm());
    TfrmRace_TC page(db.dm());
    page.resize(1360, 700);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.FormShow();

    // The demo's championship shows standings at once; today's race is not flown yet.
    click(page.btnChampionships);
    TfrmChampionship *c = page.pnlChampionship;
    QVERIFY(c->isVisible());
    QVERIFY(!page.pnlRacePoint->isVisible());
    QCOMPARE(c->lstChampionship->count(), 1);
    QCOMPARE(c->chosenName(), QString("Demo season"));
    QVERIFY(c->adoqAces->rowCount() > 5);
    QCOMPARE(c->adoqLofts->rowCount(), 5);
    QCOMPARE(c->adoqAces->displayText(0, 0), QString("1"));
    QVERIFY(c->lblStandingsNote->text().startsWith("No entries yet: 1001"));
    QCOMPARE(c->lstChampRaces->count(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(c->lstChampRaces->item(i)->checkState(), Qt::Checked);
    shot(&page, "season-standings-aces");
    c->tabStandings->setCurrentIndex(1);
    shot(&page, "season-standings-lofts");

    // A new championship typed in: the two flown races, coefficients, best 1.
    click(c->btnChampNew);
    QCOMPARE(c->edtChampName->text(), QString());
    QTest::keyClicks(c->edtChampName, "Long distance");
    for (int i = 0; i < c->lstChampRaces->count(); ++i)
        if (!c->lstChampRaces->item(i)->text().startsWith("1001"))
            c->lstChampRaces->item(i)->setCheckState(Qt::Checked);
    c->cbbChampScheme->setCurrentIndex(1);
    QVERIFY(!c->edtChampMax->isEnabled());
    c->spnChampBest->selectAll();
    QTest::keyClicks(c->spnChampBest, "1");
    QCOMPARE(c->spnChampBest->value(), 1);
    click(c->btnChampSave);
    QCOMPARE(c->lstChampionship->count(), 2);
    QCOMPARE(c->chosenName(), QString("Long distance"));
    QVERIFY(c->lblStandingsTitle->text().contains("coefficients"));
    QVERIFY(c->adoqAces->rowCount() > 0);
    for (int r = 0; r < c->adoqAces->rowCount(); ++r)
        QCOMPARE(c->adoqAces->displayText(r, 4), QString("1")); // one result counted each
    QVERIFY(c->lblStandingsNote->text().isEmpty());

    // Points that are not a number are refused before anything is stored.
    c->cbbChampScheme->setCurrentIndex(0);
    c->edtChampMax->clear();
    QTest::keyClicks(c->edtChampMax, "1.000,5");
    Dialogs::clearShown();
    click(c->btnChampSave);
    QVERIFY(Dialogs::shown().join('|').contains("Points are whole numbers"));
    QCOMPARE(Championships::find(db.dm(), "Long distance")->rule.scheme, Season::Scheme::Coefficient);

    // Deleting asks first; No keeps it, Yes removes it.
    click(c->btnChampDelete);
    QCOMPARE(c->lstChampionship->count(), 2);
    Dialogs::pushAnswer(Answer::Yes);
    click(c->btnChampDelete);
    QCOMPARE(c->lstChampionship->count(), 1);
    QCOMPARE(c->chosenName(), QString("Demo season"));
    click(c->btnChampOK);
    QVERIFY(page.pnlRacePoint->isVisible());

    // Yesterday's Orleans race: its result, then its prize list (40 basketed: 10 prizes at 1 in 4).
    const int row = page.adoqRacePoint->rowOf("LiberCode", "2002");
    QVERIFY(row >= 0);
    page.dbgrd1->selectRow(row);
    page.dbgrd1DblClick();
    QVERIFY(page.pnlRaceResult->isVisible());
    click(page.btnPrizeList);
    TPrizeListPanel *p = page.pnlPrizeList;
    QVERIFY(p->isVisible());
    QVERIFY(p->lblPrizeListTitle->text().contains("Orleans"));
    QCOMPARE(p->adoqPrizeList->rowCount(), 10);
    QLocale loc = QLocale::system();
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    QCOMPARE(p->adoqPrizeList->displayText(0, 4), loc.toString(1000.0, 'f', 2));
    QCOMPARE(p->adoqPrizeList->displayText(9, 4), loc.toString(100.0, 'f', 2));
    QVERIFY(p->lblPrizeListSum->text().startsWith("40 birds basketed - 10 prizes"));
    shot(&page, "season-prize-list");
    p->spnPrizeRatio->setValue(5);
    QCOMPARE(p->adoqPrizeList->rowCount(), 8);
    click(p->btnPrizeListOK);
    QVERIFY(page.pnlRaceResult->isVisible());
}

QTEST_MAIN(TestSeasonPage)
#include "test_season_page.moc"
