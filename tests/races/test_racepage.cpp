// Wiring of the Races page: its handlers reach the races operations and show what they stored.
// With PENNAVOX_SHOTS=DIR set, every panel is also saved as a PNG for a look.
#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "app/ui/radiogroup.h"
#include "racefixture.h"
#include "races/ui/distancedelegate.h"
#include "races/ui/racepage.h"
#include "store/appclock.h"
#include "store/recordtable.h"
#include "tests/support/testdb.h"
#include "tests/support/typing.h"

#include "office/workbook.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimeEdit>
#include <QRadioButton>
#include <QApplication>
#include <tuple>
#include <QtTest>

using namespace RaceFixture;

class TestRacePage : public QObject
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

    void seed(TdmORVS &dm)
    {
        for (int l = 1; l <= 4; ++l) {
            const QString loftNo = QStringLiteral("L%1").arg(l);
            loft(dm, loftNo, QStringLiteral("Member %1").arg(l), QStringLiteral("E004'2%1:00").arg(l),
                 QStringLiteral("N051'0%1:00").arg(l));
            if (l < 4)
                distance(dm, "1234", loftNo, 400 + l, 120 * l);
            for (int b = 1; b <= 3; ++b) {
                const QString ring = QStringLiteral("BE-26-%1%2").arg(l).arg(b);
                pigeon(dm, loftNo, ring, b % 2 ? "C" : "H");
                entry(dm, "12340526", "1234", ring,
                      QStringLiteral("2026-05-26 11:%1:%2.250").arg(10 + l * 3).arg(10 + b * 7), 0, l - 2);
            }
        }
        race(dm, "12340526", "1234", "2026-05-26", "07:00:00");
        dm.exec("INSERT INTO ORV_LiberateSite VALUES ('1234','Orleans','ORL','E001''54:00','N047''54:00')");
        dm.exec("UPDATE ORV_RaceData SET LiberLon='E001''54:00', LiberLat='N047''54:00'");
    }

private slots:
    void initTestCase()
    {
        Dialogs::setHeadless(true, Answer::Yes);
        AppClock::setFixed(QDateTime(QDate(2026, 5, 20), QTime(9, 0)));
    }
    void init() { Dialogs::clearShown(); }

    void addRaceAndSeeItListed()
    {
        TestDb db;
        db.insertClub();
        TfrmRace_TC page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        QVERIFY(page.pnlRacePoint->isVisible());
        QVERIFY(!page.pnlRaceResult->isVisible());
        QCOMPARE(page.combClub->currentText(), QStringLiteral("Test Club"));
        QVERIFY(!page.edtLibCode->isEnabled());
        page.btn1Click();
        QVERIFY(page.addMode());
        page.chkLibPoint->click();
        QVERIFY(page.edtLibCode->isEnabled());
        page.combLibSite->setEditText(QStringLiteral("Orleans"));
        QTest::keyClicks(page.edtlibSiteAbbriv, QStringLiteral("orl"));
        QCOMPARE(page.edtlibSiteAbbriv->text(), QStringLiteral("ORL"));
        QTest::keyClicks(page.edtlibSiteAbbriv, QStringLiteral(" "));
        QCOMPARE(page.edtlibSiteAbbriv->text(), QStringLiteral("OR"));
        QVERIFY(Dialogs::shown().contains(QStringLiteral("Can not input Space Key !")));
        page.edtlibSiteAbbriv->setText(QStringLiteral("ORL"));
        QTest::keyClicks(page.edtLibCode, QStringLiteral("123x"));
        QCOMPARE(page.edtLibCode->text(), QStringLiteral("12")); // a lower-case letter erases the last one
        QTest::keyClicks(page.edtLibCode, QStringLiteral("34"));
        // every date and time box of the page takes typed input whole
        const auto boxes = page.findChildren<QDateTimeEdit *>();
        QCOMPARE(boxes.size(), 14);
        for (QDateTimeEdit *box : boxes)
            QVERIFY2(box->findChild<QObject *>(QStringLiteral("typedEntry")), qPrintable(box->objectName()));
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        // typed over what the boxes showed, wherever the click put the cursor
        page.dtpLibTime->setTime(QTime(10, 11, 20));
        Typing::typeDate(page.dtpLibDate, QDate(2026, 5, 26));
        Typing::typeText(page.dtpLibTime, QStringLiteral("07:30:00"));
        page.btnOKClick();
        QVERIFY(!page.addMode());
        QCOMPARE(page.adoqRacePoint->rowCount(), 1);
        QCOMPARE(page.currentRaceCode(), QStringLiteral("12340526"));
        QCOMPARE(db.dm().scalar("SELECT LiberTime FROM ORV_RaceData").toString(), QStringLiteral("07:30:00"));
        // untouched coordinates: a new race and a new site store NULL
        QVERIFY(db.dm().scalar("SELECT LiberLon FROM ORV_RaceData").isNull());
        QVERIFY(db.dm().scalar("SELECT LiberLon FROM ORV_LiberateSite").isNull());
        QCOMPARE(page.combLibSite->count(), 1);

        // edit mode keeps the code; delete asks and soft-deletes
        page.rgRacePointClick(0);
        QVERIFY(page.editMode());
        page.dtpLibDate->setDate(QDate(2026, 5, 27));
        page.btnOKClick();
        QVERIFY(!page.editMode());
        QCOMPARE(db.dm().scalar("SELECT LiberDate FROM ORV_RaceData").toString(),
                 QStringLiteral("2026-05-27"));
        page.rgRacePointClick(1);
        QVERIFY(Dialogs::shown().contains(QStringLiteral("This will delete the data ?")));
        QCOMPARE(page.adoqRacePoint->rowCount(), 0);
        QCOMPARE(db.dm().scalar("SELECT DeleteMark FROM ORV_RaceData").toInt(), 1);
    }

    void editorFollowsTheHighlightedRace()
    {
        TestDb db;
        db.insertClub();
        seed(db.dm());
        race(db.dm(), "55550527", "5555", "2026-05-27", "06:15:00");
        TfrmRace_TC page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        // the row highlighted on opening is the one in the editor, not today's blank form
        QCOMPARE(page.currentRaceCode(), QStringLiteral("12340526"));
        QCOMPARE(page.edtLibCode->text(), QStringLiteral("1234"));
        QCOMPARE(page.dtpLibDate->date(), QDate(2026, 5, 26));
        QCOMPARE(page.dtpLibTime->time(), QTime(7, 0));
        // moved with the keys, the editor follows
        page.dbgrd1->setFocus();
        QTest::keyClick(page.dbgrd1, Qt::Key_Down);
        QCOMPARE(page.currentRaceCode(), QStringLiteral("55550527"));
        QCOMPARE(page.edtLibCode->text(), QStringLiteral("5555"));
        QCOMPARE(page.dtpLibTime->time(), QTime(6, 15));
        // a race being added keeps what was typed when the highlight moves
        page.btn1Click();
        page.chkLibPoint->click();
        QTest::keyClicks(page.edtLibCode, QStringLiteral("77"));
        QTest::keyClick(page.dbgrd1, Qt::Key_Up);
        QCOMPARE(page.edtLibCode->text(), QStringLiteral("77"));
    }

    void raceEntryRefusesWhatTheColumnsCannotHold()
    {
        TestDb db;
        db.insertClub();
        TfrmRace_TC page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        page.btn1Click();
        page.chkLibPoint->click();
        QTest::keyClicks(page.combLibSite->lineEdit(), QStringLiteral("Orleans"));
        QTest::keyClicks(page.edtlibSiteAbbriv, QStringLiteral("orl"));
        QTest::keyClicks(page.edtLibCode, QStringLiteral("1234"));
        page.dtpLibDate->setDate(QDate(2026, 5, 26));
        // a site name pasted with its line break
        page.combLibSite->setEditText(QStringLiteral("Orleans\nNorth"));
        page.btnOKClick();
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1),
                 QStringLiteral("Liberation site: control characters (line breaks, tabs) are not allowed."));
        QVERIFY(page.addMode());
        page.combLibSite->lineEdit()->clear();
        QTest::keyClicks(page.combLibSite->lineEdit(), QStringLiteral("Orleans Nord Les Aubrais"));
        QCOMPARE(page.combLibSite->currentText().size(), 20); // the box holds what the column holds
        page.combLibSite->lineEdit()->clear();
        QTest::keyClicks(page.combLibSite->lineEdit(), QStringLiteral("Orleans%Nord"));
        page.btnOKClick();
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1),
                 QStringLiteral("Liberation site: the character \"%\" cannot be sent to a clock."));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_RaceData").toInt(), 0);
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LiberateSite").toInt(), 0);

        page.combLibSite->lineEdit()->clear();
        QTest::keyClicks(page.combLibSite->lineEdit(), QStringLiteral("Orleans"));
        page.btnOKClick();
        QVERIFY(!page.addMode());
        QCOMPARE(db.dm().scalar("SELECT LiberSite FROM ORV_RaceData").toString(), QStringLiteral("Orleans"));

        // the club map refuses a club id the clock cannot carry
        page.AAdd1Click();
        QTest::keyClicks(page.edtClubCode, QStringLiteral("#1"));
        QTest::keyClicks(page.edtClubNmae, QStringLiteral("Hash club"));
        page.btnClubSaveClick();
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral("Club ID: a clock cannot take a text starting with \"#\"."));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubMap WHERE ClubName='Hash club'").toInt(), 0);
    }

    // The editing area as a secretary types into it: Tab down the form, a coordinate or a date
    // refused as the box is left (naming it) without trapping the cursor, Enter saves, Escape
    // cancels, and leaving unsaved changes asks first.
    void raceFormTypedAsAPersonDoes()
    {
        TestDb db;
        db.insertClub();
        TfrmRace_TC page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        page.btn1->click();
        page.chkLibPoint->click();
        const auto focusName = [] {
            for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget())
                if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
                    return w->objectName();
            return QString();
        };
        page.combClub->setFocus();
        QStringList chain{focusName()};
        for (int i = 0; i < 40 && chain.size() < 13; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (focusName() != chain.last())
                chain << focusName();
        }
        QCOMPARE(chain, (QStringList{"combClub", "combLibSite", "chkLibPoint", "edtlibSiteAbbriv", "edtLibCode",
                                     "medtRaceLon", "medtRaceLat", "dtpLibDate", "dtpLibTime", "btn1", "btnOK",
                                     "btnCancel", "btnSetSunData"}));

        // A wrong longitude is named when its own box is left, and the cursor goes back to it ...
        page.medtRaceLon->setFocus();
        page.medtRaceLon->setCursorPosition(0);
        QTest::keyClicks(page.medtRaceLon, QStringLiteral("E0047500"));
        QCOMPARE(page.medtRaceLon->displayText(), QStringLiteral("E004'75:00"));
        QTest::keyClick(page.medtRaceLon, Qt::Key_Tab);
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral("Longitude Input Value > 60 !"));
        QTRY_VERIFY(page.medtRaceLon->hasFocus());
        // ... but Cancel is never held up.
        const qsizetype shown = Dialogs::shown().size();
        QTest::mouseClick(page.btnCancel, Qt::LeftButton);
        QCOMPARE(Dialogs::shown().size(), shown);
        QVERIFY(page.medtRaceLon->displayText().startsWith(QLatin1Char('_')));

        // A longitude takes E or W only, a latitude N or S.
        page.btn1->click();
        page.chkLibPoint->click();
        for (const auto &[box, typed, kept] : {std::tuple{page.medtRaceLon, "N", "_"}, std::tuple{page.medtRaceLon, "w", "W"},
                                               std::tuple{page.medtRaceLat, "E", "_"}, std::tuple{page.medtRaceLat, "s", "S"}}) {
            box->setFocus();
            box->setCursorPosition(0);
            QTest::keyClicks(box, QLatin1String(typed));
            QCOMPARE(box->displayText().left(1), QLatin1String(kept));
        }
        page.btnCancel->click();

        // A date out of 1990 to 2099 is refused as its box is left.
        page.btn1->click();
        Typing::clickInto(page.dtpLibDate);
        QTest::keyClicks(page.dtpLibDate, QDate(1985, 5, 26).toString(page.dtpLibDate->displayFormat()));
        page.dtpLibTime->setFocus(Qt::TabFocusReason);
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1),
                 QStringLiteral("Liberation Date: a date from 1990-01-01 to 2099-12-31."));
        QTRY_VERIFY(page.dtpLibDate->hasFocus());

        // Enter saves ...
        page.btn1->click();
        page.chkLibPoint->click();
        QTest::keyClicks(page.combLibSite, QStringLiteral("Orleans"));
        QTest::keyClicks(page.edtlibSiteAbbriv, QStringLiteral("ORL"));
        QTest::keyClicks(page.edtLibCode, QStringLiteral("1234"));
        Typing::typeDate(page.dtpLibDate, QDate(2026, 5, 26));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_RaceData").toInt(), 1);
        QCOMPARE(db.dm().scalar("SELECT LiberDate FROM ORV_RaceData").toString(), QStringLiteral("2026-05-26"));
        // ... Escape cancels.
        page.btn1->click();
        page.chkLibPoint->click();
        QTest::keyClicks(page.edtlibSiteAbbriv, QStringLiteral("ROU"));
        QTest::keyClick(page.edtlibSiteAbbriv, Qt::Key_Escape);
        QTRY_VERIFY(page.edtlibSiteAbbriv->text().isEmpty());

        // Changes not saved: leaving the page asks, and No stays.
        QVERIFY(page.canLeave());
        page.btn1->click();
        QTest::keyClicks(page.combLibSite, QStringLiteral("Arras"));
        Dialogs::pushAnswer(Answer::No);
        QVERIFY(!page.canLeave());
        Dialogs::pushAnswer(Answer::Yes);
        QVERIFY(page.canLeave());
    }

    void exportsThroughTheSaveDialog()
    {
        TestDb db;
        db.insertClub();
        seed(db.dm());
        TfrmRace_TC page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        page.dbgrd1->selectRow(0);
        QTemporaryDir dir;

        Dialogs::pushFile(QString()); // cancelled: nothing written
        page.rgRacePointClick(9);
        QVERIFY(QDir(dir.path()).isEmpty());
        const QString winSpeed = dir.filePath("W0000022.D00");
        Dialogs::pushFile(winSpeed);
        page.rgRacePointClick(9);
        QVERIFY(QFile::exists(winSpeed));
        QVERIFY(QFile::exists(dir.filePath("Loft_List.txt")));
        QVERIFY(!Dialogs::shown().join("|").contains("not available"));

        // Two dialogs: the first cancelled skips only the member file.
        Dialogs::pushFile(QString());
        Dialogs::pushFile(dir.filePath("RING.txt"));
        page.rgRacePointClick(10);
        QVERIFY(!QFile::exists(dir.filePath("COTE.txt")));
        QFile ring(dir.filePath("RING.txt"));
        QVERIFY(ring.open(QIODevice::ReadOnly));
        QCOMPARE(ring.readAll().count("\r\n"), 12);

        page.rgRacePointClick(5); // result panel
        auto *xls = page.findChild<QPushButton *>("btnResultExport_Excel");
        auto *xml = page.findChild<QPushButton *>("btnResultExport_XML");
        QVERIFY(xls && xls->isVisible() && xml && xml->isVisible());
        Dialogs::pushFile(dir.filePath("result")); // typed without its extension
        xls->click();
        WorkbookSheet sheet;
        QString error;
        QVERIFY2(readFirstSheet(dir.filePath("result.xlsx"), &sheet, &error), qPrintable(error));
        QCOMPARE(sheet.rowCount(), page.adoqRaceRec->rowCount() + 1);
        QCOMPARE(sheet.text(2, 3), page.adoqRaceRec->value(0, "PRingNo").toString());
        Dialogs::pushFile(dir.filePath("ro.xml"));
        xml->click();
        QFile x(dir.filePath("ro.xml"));
        QVERIFY(x.open(QIODevice::ReadOnly));
        QVERIFY(x.readAll().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    }

    void panelsOfARace()
    {
        TestDb db;
        db.insertClub();
        seed(db.dm());
        TfrmRace_TC page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        page.dbgrd1->selectRow(0);
        page.dbgrd1CellClick();
        QCOMPARE(page.edtLibCode->text(), QStringLiteral("1234"));
        QCOMPARE(page.medtRaceLon->displayText(), QStringLiteral("E001'54:00"));
        page.rgRacePoint->popupAt(QPoint(300, 120));
        // the two dashed items are lines between the choices, not choices
        const auto choices = page.rgRacePoint->findChildren<QRadioButton *>();
        QCOMPARE(choices.size(), page.rgRacePoint->items().size() - 2);
        for (const QRadioButton *c : choices)
            QVERIFY2(!c->text().startsWith(QLatin1String("---")), qPrintable(c->text()));
        shot(&page, "races-list");

        page.btnSetSunDataClick();
        QVERIFY(page.pnlSunData->isVisible());
        QCOMPARE(page.StrGridSunSet->item(0, 2)->text(), QStringLiteral("Sunset"));
        page.StrGridSunSet->item(2, 0)->setText(QStringLiteral("2026-05-26"));
        page.StrGridSunSet->item(2, 2)->setText(QStringLiteral("21:30:00"));
        page.StrGridSunSet->item(7, 0)->setText(QStringLiteral("2026-05-31")); // shown, never stored
        shot(&page, "races-sundata");
        page.btnOK_SunClick();
        QVERIFY(!page.pnlSunData->isVisible());
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_SunSet_SunRise WHERE RaceCode='12340526'").toInt(),
                 1);

        page.rgRacePointClick(3); // distances
        QVERIFY(page.pnlLoftLibPointDist->isVisible());
        QCOMPARE(page.adotLoftRaceDist->rowCount(), 3);
        QCOMPARE(page.adotLoftRaceDist->headerData(2, Qt::Horizontal).toString(), QStringLiteral("KM"));
        QCOMPARE(page.lblDistMethod->text(), QStringLiteral("Distance method: Club formula"));
        page.btnLoftDistUpdateClick();
        QCOMPARE(page.adotLoftRaceDist->rowCount(), 4); // L4 got its row from the coordinates
        shot(&page, "races-distances");
        // a typed distance is stored when posted
        page.dbgrdLoftLibDist->setFocus();
        page.dbgrdLoftLibDist->setCurrentIndex(page.adotLoftRaceDist->index(0, 2));
        QTest::keyClicks(page.dbgrdLoftLibDist, QStringLiteral("7")); // a digit starts the edit
        QLineEdit *editor = page.dbgrdLoftLibDist->findChild<QLineEdit *>();
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("7"));
        QCOMPARE(editor->text(), QStringLiteral("77"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate posts the edit queued
        QCOMPARE(page.adotLoftRaceDist->value(0, QStringLiteral("Miles")).toInt(), 77);
        const QString loft0 = page.adotLoftRaceDist->value(0, QStringLiteral("LoftNo")).toString();
        QCOMPARE(db.dm().scalar("SELECT Miles FROM ORV_LoftLibPointDist WHERE LoftNo=?", {loft0}).toInt(),
                 77);
        // the open editor of the grid; a closed one may linger hidden until it is deleted
        const auto openEditor = [&] {
            QLineEdit *open = nullptr;
            for (QLineEdit *e : page.dbgrdLoftLibDist->findChildren<QLineEdit *>())
                if (e->isVisible())
                    open = e;
            return open;
        };
        // Backspace cancels a pending edit, also once the grid has the focus again
        page.dbgrdLoftLibDist->setFocus();
        QTest::keyClicks(page.dbgrdLoftLibDist, QStringLiteral("5"));
        editor = openEditor();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("5"));
        QTest::keyClick(editor, Qt::Key_Backspace);
        QVERIFY(!openEditor());
        page.dbgrdLoftLibDist->setFocus();
        QCOMPARE(page.adotLoftRaceDist->value(0, QStringLiteral("Miles")).toInt(), 77);
        QCOMPARE(db.dm().scalar("SELECT Miles FROM ORV_LoftLibPointDist WHERE LoftNo=? AND LiberCode='1234'", {loft0})
                     .toInt(),
                 77);
        // a distance beyond what a club flies, or a remainder beyond its unit, is refused by name
        const auto typeDistance = [&](int column, const QString &digits) {
            page.dbgrdLoftLibDist->setFocus();
            page.dbgrdLoftLibDist->setCurrentIndex(page.adotLoftRaceDist->index(0, column));
            QTest::keyClicks(page.dbgrdLoftLibDist, digits.left(1));
            QLineEdit *box = openEditor();
            QVERIFY(box);
            QTest::keyClicks(box, digits.mid(1));
            QTest::keyClick(box, Qt::Key_Return);
            QCoreApplication::processEvents();
        };
        typeDistance(2, QStringLiteral("99999"));
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral("KM: a whole number from 0 to 5000."));
        typeDistance(3, QStringLiteral("1500"));
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral("M: a whole number from 0 to 999."));
        QCOMPARE(db.dm().scalar("SELECT Miles || '/' || Yards FROM ORV_LoftLibPointDist WHERE LoftNo=? "
                                "AND LiberCode='1234'", {loft0}).toString(),
                 QStringLiteral("77/") + page.adotLoftRaceDist->value(0, QStringLiteral("Yards")).toString());
        page.btnLoftLibDistClick();
        QVERIFY(page.pnlRacePoint->isVisible());

        page.rgRacePointClick(5); // result
        QVERIFY(page.pnlRaceResult->isVisible());
        QCOMPARE(page.lbl1RaceResultTitle->text(), QStringLiteral("NC Result for Orleans"));
        const int listed = page.adoqRaceRec->rowCount();
        QCOMPARE(listed, 12);
        QVERIFY(page.lblRaceResultSum->text().endsWith(QStringLiteral("12 were clocked")));
        QVERIFY(page.lblSunGaps->isHidden()); // every bird home on the liberation day
        page.btnRecaculateClick();
        QVERIFY(page.grpRecaculate->isVisible());
        QCOMPARE(page.dtpRaceTime->time(), QTime(7, 0));
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        Typing::typeDate(page.dtpRaceDate, QDate(2026, 5, 26));
        Typing::typeText(page.dtpRaceTime, QStringLiteral("06:45:00"));
        QCOMPARE(page.dtpRaceTime->time(), QTime(6, 45));
        shot(&page, "races-recalculate");
        page.btnRecacuteClick();
        QVERIFY(!page.grpRecaculate->isVisible());
        QCOMPARE(page.adoqRaceRec->displayText(0, 0), QStringLiteral("1"));
        QVERIFY(!page.adoqRaceRec->displayText(0, 7).isEmpty()); // a velocity now
        shot(&page, "races-result");
        page.btnRaceRecClick();

        page.rgRacePointClick(4); // status
        QVERIFY(page.pnlLoftRaceStat->isVisible());
        QCOMPARE(page.adoqLoftRaceStat->rowCount(), 4);
        QCOMPARE(page.adoqLoftRaceStat->displayText(0, 0), QStringLiteral("Member 1"));
        shot(&page, "races-status");

        page.rgRacePointClick(8); // distance download
        QVERIFY(page.pnlDistDownLoad->isVisible());
        QVERIFY(!page.butDistDL->isEnabled());
        shot(&page, "races-distdownload");
    }

    void resultPanelNamesTheDaysWithoutSunRows()
    {
        TestDb db;
        db.insertClub();
        seed(db.dm());
        // Two birds home the next day; the race has no sun row at all.
        db.dm().exec("UPDATE ORV_PigRaceData SET BackTime='2026-05-27 08:10:00.000' "
                     "WHERE PRingNo IN ('BE-26-11','BE-26-12')");
        TfrmRace_TC page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        page.dbgrd1->selectRow(0);
        page.rgRacePointClick(5); // result
        QVERIFY(page.lblSunGaps->isVisible());
        QCOMPARE(page.lblSunGaps->text(), QStringLiteral("no sunset and sunrise for 26 May, 27 May: 2 birds not timed"));
    }

    void otherClockEntry()
    {
        TestDb db;
        db.insertClub();
        seed(db.dm());
        TfrmRace_TC page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        page.dbgrd1->selectRow(0);
        page.rgRacePointClick(7);
        page.rgRacePointClick(7); // twice: each member once
        QVERIFY(page.pnlOtherClosk->isVisible());
        QCOMPARE(page.cbbLoftNo_OtherClock->count(), 4);
        page.cbbLoftNo_OtherClock->setCurrentIndex(1);
        page.cbbLoftNo_OtherClockClick();
        QCOMPARE(page.cbbSelPigNo->count(), 3);
        QCOMPARE(page.adoqOtherClock->rowCount(), 3);
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        Typing::typeDate(page.dtpMarkMasterDate, QDate(2026, 5, 25));
        Typing::typeDate(page.dtpMarkedDate, QDate(2026, 5, 25));
        Typing::typeText(page.dtpMarkMasterTime, QStringLiteral("08:00:00"));
        Typing::typeText(page.dtpMarkedTime, QStringLiteral("8:00"));
        Typing::typeDate(page.dtpMasterDate, QDate(2026, 5, 26));
        Typing::typeDate(page.dtpMemberDate, QDate(2026, 5, 26));
        Typing::typeText(page.dtpMasterTime, QStringLiteral("20:00:00"));
        Typing::typeText(page.dtpMemberTime, QStringLiteral("20:00:05"));
        Typing::clickInto(page.edtSearch);
        QTest::keyClicks(page.edtSearch, QStringLiteral("22"));
        QTest::keyClick(page.edtSearch, Qt::Key_Return);
        QCOMPARE(page.cbbSelPigNo->count(), 1);
        Typing::clickInto(page.cbbSelPigNo); // leaving the search box lists its rings again
        page.cbbSelPigNo->setEditText(QStringLiteral("BE-26-22"));
        page.cbbSelPigNoClick();
        QCOMPARE(page.dtpSelPigTime->time(), QTime(11, 16, 24));
        Typing::typeDate(page.dtpSelPigDate, QDate(2026, 5, 26));
        Typing::typeDate(page.dtpSelPigDate, QDate(2026, 5, 26));
        Typing::typeText(page.dtpSelPigTime, QStringLiteral("11:30:15"));
        page.btnOtherClock_SaveClick();
        QCOMPARE(db.dm()
                     .scalar("SELECT BackTime||' '||TimeVari||' '||FlyTime FROM ORV_PigRaceData "
                             "WHERE PRingNo='BE-26-22'")
                     .toString(),
                 QStringLiteral("2026-05-26 11:30:15 5 04:30:10.000"));
        shot(&page, "races-otherclock");
        // a closing check typed a year off: refused before anything is stored
        Typing::typeDate(page.dtpMemberDate, QDate(2027, 5, 26));
        page.btnOtherClock_SaveClick();
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral("Clock times: the clock's variation of 31536005 seconds is "
                                                         "more than a day; check the dates."));
        QCOMPARE(db.dm().scalar("SELECT TimeVari FROM ORV_PigRaceData WHERE PRingNo='BE-26-22'").toInt(), 5);
        Typing::typeDate(page.dtpMemberDate, QDate(2026, 5, 26));
        page.cbbSelPigNo->setEditText(QString());
        page.btnOtherClock_SaveClick();
        QVERIFY(Dialogs::shown().contains(QStringLiteral("PRingNo Select Error ! ")));
    }
};

QTEST_MAIN(TestRacePage)
#include "test_racepage.moc"
