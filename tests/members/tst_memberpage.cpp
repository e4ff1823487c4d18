#include "app/ui/dialogs.h"
#include "app/ui/grid.h"
#include "app/ui/radiogroup.h"
#include "device/devicelink.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "members/ui/memberpage.h"
#include "store/appclock.h"
#include "store/recordtable.h"
#include "tests/support/testdb.h"
#include "tests/support/waitsampler.h"

#include "office/workbook.h"

#include <QAction>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// Wiring of the member page: the operations themselves are tested in tst_members.
class TestMemberPage : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        AppClock::setFixed(QDateTime(QDate(2024, 5, 6), QTime(10, 0)));
        Dialogs::clearShown();
        Dialogs::setHeadless(true);
    }

    void pigeonWorkbooksThroughTheDialogs()
    {
        TestDb db;
        db.insertClub();
        db.dm().exec("INSERT INTO ORV_LoftData (AssociationCode, LoftNo, LoftName, LoftLon, LoftLat) VALUES "
                     "('BE','L1','Jan','E004''21:30.50','N050''51:00.00'), ('BE','L2','Piet',' ',' ')");
        QTemporaryDir dir;
        WorkbookWriter w({"LoftNo", "RCountry", "RYear", "RRegLetter", "RRegNumber", "Sex", "ColorType", "PRingNo",
                          "E_Ring"});
        w.addRow({"L1", "BELG", "2024", "", "1234567", "Hen", "BB", "BE24-1234567", "E1"});
        w.addRow({"L1", "AU", "2024", "AB", "7", "Cock", "RC", "", ""});
        w.addRow({"L9", "NL", "2024", "", "1", "Hen", "BB", "", ""});
        QString error;
        QVERIFY(w.save(dir.filePath("in.xlsx"), &error));

        TfrmMember_10 page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        page.dbgrdMem->selectRow(0);
        page.openRingList();
        QVERIFY(page.btnPigImport->isVisible() && page.btnPigExport->isVisible() && page.btnRingExport->isVisible());
        Dialogs::pushFile(dir.filePath("in.xlsx"));
        page.btnPigImport->click();
        QCOMPARE(page.lblRingCnt->text(), QStringLiteral("002"));
        QVERIFY(!page.pbImport->isVisible());
        const QString closing = Dialogs::shown().value(Dialogs::shown().size() - 1);
        QVERIFY2(closing.startsWith("Pigeon import: 2 inserted, 0 updated, 1 skipped"), qPrintable(closing));
        QVERIFY(closing.contains("Row 4 skipped: loft L9 is not a member of the club"));

        Dialogs::pushFile(QString()); // cancelled: nothing written
        page.btnPigExport->click();
        QVERIFY(!QFile::exists(dir.filePath("all.xlsx")));
        Dialogs::pushFile(dir.filePath("all.xlsx"));
        page.btnPigExport->click();
        WorkbookSheet sheet;
        QVERIFY(readFirstSheet(dir.filePath("all.xlsx"), &sheet, &error));
        QCOMPARE(sheet.rowCount(), 3);
        QCOMPARE(sheet.text(2, 8), QStringLiteral("AU24-AB-0007"));
        QCOMPARE(sheet.text(2, 3), QStringLiteral("24"));
        Dialogs::pushFile(dir.filePath("rings.xlsx"));
        page.btnRingExport->click();
        QVERIFY(readFirstSheet(dir.filePath("rings.xlsx"), &sheet, &error));
        QCOMPARE(sheet.rowCount(), 3);

        QVERIFY(page.btnCote->isEnabled());
        Dialogs::pushFile(dir.filePath("COTE.txt"));
        page.btnCote->click();
        QFile cote(dir.filePath("COTE.txt"));
        QVERIFY(cote.open(QIODevice::ReadOnly));
        QCOMPARE(cote.readAll(), QByteArray("L1,Jan,,E0042130.50,N0505100.00,,BE,,\r\nL2,Piet,,,,,BE,,\r\n"));
    }

    void memberPanels()
    {
        TestDb db;
        db.insertClub();
        db.dm().exec("INSERT INTO ORV_LiberateSite (LiberCode) VALUES ('1'),('2')");
        TfrmMember_10 page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        QCOMPARE(page.lblMemCnt->text(), QStringLiteral("000"));
        QCOMPARE(page.combBYear->count(), 11);
        QCOMPARE(page.combBYear->itemText(0), QStringLiteral("2015"));
        QCOMPARE(page.combBYear->currentText(), QStringLiteral("2024"));
        QCOMPARE(page.cbbBColour->itemText(0), QStringLiteral("Other"));
        QVERIFY(page.pnlMem->isVisible() && !page.pnlNewMember->isVisible());

        page.btnMemNew->click();
        QCOMPARE(page.lblTitle->text(), QStringLiteral("Member New Add"));
        QCOMPARE(page.edtUnionCode->text(), QStringLiteral("BE"));
        QVERIFY(page.pnlNewMember->isVisible());
        QTest::keyClicks(page.edtSeriesNo, "ab12");
        QCOMPARE(page.edtSeriesNo->text(), QStringLiteral("AB12")); // upper case
        page.edtName->setText("Jan");
        page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        // Leaving the latitude checks the latitude, names it and keeps the cursor there.
        page.medtLoftLat->setFocus();
        page.medtLoftLat->setCursorPosition(0);
        QTest::keyClicks(page.medtLoftLat, "E"); // not a latitude's hemisphere
        QTest::keyClicks(page.medtLoftLat, "N0517500");
        QCOMPARE(page.medtLoftLat->displayText(), QStringLiteral("N051'75:00.__"));
        QTest::keyClick(page.medtLoftLat, Qt::Key_Tab);
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral("Latitude Input Value  > 60 !"));
        QTRY_VERIFY(page.medtLoftLat->hasFocus());
        page.medtLoftLat->setText("N051'15:00.00");
        grabAll(page, "form");
        QTest::keyClick(page.edtName, Qt::Key_Return); // Enter saves
        QTRY_VERIFY(page.pnlMem->isVisible());
        QCOMPARE(page.lblMemCnt->text(), QStringLiteral("001"));
        QCOMPARE(page.adoqDBGridLoft->displayText(0, 0), QStringLiteral("BE AB12"));
        QCOMPARE(db.dm().scalar("SELECT LoftLat FROM ORV_LoftData").toString(), QStringLiteral("N051'15:00.00"));
        QCOMPARE(db.dm().scalar("SELECT LoftLon FROM ORV_LoftData").toString(), QStringLiteral("    '  :  .  "));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_LoftLibPointDist").toInt(), 2);

        // The row menu opens where the right mouse button is released over the list.
        const QPoint cell = page.dbgrdMem->visualRect(page.adoqDBGridLoft->index(0, 1)).center();
        QTest::mouseRelease(page.dbgrdMem->viewport(), Qt::RightButton, {}, cell);
        QVERIFY(page.rgMem->isVisible());
        QCOMPARE(page.rgMem->items().size(), 7);

        // A double-click edits the member and locks the loft number; Escape goes back to the list.
        page.rgMem->hide();
        QTest::mouseClick(page.dbgrdMem->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(page.dbgrdMem->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(page.pnlNewMember->isVisible());
        QCOMPARE(page.edtName->text(), QStringLiteral("Jan"));
        QVERIFY(page.edtSeriesNo->isReadOnly());
        QTest::keyClick(page.edtName, Qt::Key_Escape);
        QTRY_VERIFY(page.pnlMem->isVisible());
        // Edit locks the loft number; the clock list shows the member's clocks.
        page.rgMem->choose(0);
        QVERIFY(page.edtSeriesNo->isReadOnly());
        QCOMPARE(page.medtLoftLat->displayText(), QStringLiteral("N051'15:00.00"));
        page.btnCancel->click();
        db.dm().exec("INSERT INTO ORV_LoftClocks (LoftNo, ClockID, SynchStat) VALUES ('AB12','0A0B0C0D',1)");
        page.rgMem->choose(4);
        QVERIFY(page.pnlClockList->isVisible());
        QCOMPARE(page.lblClockListTitle->text(), QStringLiteral("Jan's Clock List"));
        QCOMPARE(page.lblClockListSum->text(), QStringLiteral("Number of clocks 1"));
        Dialogs::pushAnswer(Answer::Yes);
        page.rgClockList->choose(0);
        QCOMPARE(page.lblClockListSum->text(), QStringLiteral("Number of clocks 0"));
        grabAll(page, "clocks");
    }

    void ringPanel()
    {
        TestDb db;
        db.dm().exec("INSERT INTO ORV_LoftData (AssociationCode, LoftNo, LoftName) VALUES ('BE','L1','Jan')");
        db.dm().exec("INSERT INTO ORV_FeatherColor VALUES ('BB','Blue Bar')");
        QFile ini(db.dataFolder() + "/ORVS.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Parameter]\nCountryRingCode=BELG,IHU,CZ\n");
        ini.close();
        TfrmMember_10 page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        QCOMPARE(page.cbbCountryRingCode->count(), 3);
        grabAll(page, "members");
        page.rgMemClick(3); // Member Rings List
        QVERIFY(page.pnlMemRing->isVisible());
        QCOMPARE(page.lblTitle->text(), QStringLiteral("Jan's Ring List"));
        QVERIFY(page.edtUpRegNum->isHidden());

        page.btnNew->click();
        page.cbbCountryRingCode->setCurrentIndex(0);
        page.cbbCountryRingCodeSelect();
        QCOMPARE(page.edtRegLetter->text(), QStringLiteral("-"));
        QVERIFY(page.edtRegLetter->isReadOnly());
        QCOMPARE(page.edtRegNum->maxLength(), 7);
        page.combBYear->setCurrentText("2019");
        QTest::keyClicks(page.edtRegNum, "12x34567");
        QCOMPARE(page.edtRegNum->text(), QStringLiteral("1234567")); // digits only
        page.cbbBColour->setCurrentText("Blue Bar");
        page.btnOK_Ring->click();
        QCOMPARE(page.lblRingCnt->text(), QStringLiteral("001"));
        QCOMPARE(page.adoqDBGridMRing->displayText(0, 0), QStringLiteral("BELG 19 - 1234567"));
        QCOMPARE(page.adoqDBGridMRing->displayText(0, 2), QStringLiteral("Blue Bar"));

        // IHU letters: a refused key removes the character before the cursor.
        page.btnNew2->click();
        QVERIFY(!page.edtUpRegNum->isHidden());
        page.cbbCountryRingCode->setCurrentIndex(1);
        page.cbbCountryRingCodeSelect();
        QTest::keyClicks(page.edtRegLetter, "n");
        QCOMPARE(page.edtRegLetter->text(), QStringLiteral("N"));
        QTest::keyClicks(page.edtRegLetter, "x");
        QCOMPARE(page.edtRegLetter->text(), QString());

        // A range of three CZ rings; the list moves to the last one.
        page.cbbCountryRingCode->setCurrentIndex(2);
        page.cbbCountryRingCodeSelect();
        page.edtRegLetter->setText("A");
        page.edtRegNum->setText("0098");
        page.edtUpRegNum->setText("0100");
        page.btnOK_Ring->click();
        QCOMPARE(page.lblRingCnt->text(), QStringLiteral("004"));
        QCOMPARE(page.selectedRing(), QStringLiteral("CZ-24-A-100"));
        QVERIFY(page.edtUpRegNum->text().isEmpty());
        grabAll(page, "rings");

        // Mult_Del: ticked in place, gone after the list is run again.
        page.dbgrdMemRing->selectRow(0);
        page.dbgrdMemRingCellClick(0, 1);
        QVERIFY(page.edtRegNum->isReadOnly());
        QCOMPARE(page.adoqDBGridMRing->displayText(0, 1), QStringLiteral("True"));
        QCOMPARE(page.lblRingCnt->text(), QStringLiteral("004"));
        page.openRingList();
        QCOMPARE(page.lblRingCnt->text(), QStringLiteral("003"));

        // Colour delete while "Other" is shown removes nothing.
        page.cbbBColour->setCurrentIndex(0);
        page.findChild<QAction *>("DDelete1")->trigger();
        QCOMPARE(page.cbbBColour->count(), 2);
        page.findChild<QAction *>("AAdd1")->trigger();
        QVERIFY(page.grpBirdColor->isVisible());
        page.edtColorCode->setText("R");
        page.edtColorName->setText("Red");
        page.btnFColorSave->click();
        QVERIFY(!page.grpBirdColor->isVisible());
        QCOMPARE(page.cbbBColour->count(), 3);
        QCOMPARE(page.cbbBColour->itemText(2), QStringLiteral("Red"));
        page.AAdd1Click();
        grabAll(page, "colour");

        // Delete All after Yes empties the list.
        Dialogs::pushAnswer(Answer::Yes);
        page.btnDelALL->click();
        QCOMPARE(page.lblRingCnt->text(), QStringLiteral("000"));
    }

    void ringEntryRefusesWhatTheColumnsCannotHold()
    {
        TestDb db;
        db.dm().exec("INSERT INTO ORV_LoftData (AssociationCode, LoftNo, LoftName) VALUES ('BE','L1','Jan')");
        TfrmMember_10 page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        page.rgMemClick(3); // Member Rings List
        page.btnNew2->click(); // Add a Range
        const auto typeInto = [](QLineEdit *box, const QString &text) {
            box->clear();
            QTest::keyClicks(box, text);
        };
        typeInto(page.cbbCountryRingCode->lineEdit(), "pl");
        typeInto(page.combBYear->lineEdit(), "2024");
        typeInto(page.edtRegLetter, "a");
        typeInto(page.edtRegNum, QString(100, '7'));
        QCOMPARE(page.edtRegNum->text(), QString(7, '7')); // the box holds what its column holds

        // A million rings in one range: refused, nothing stored.
        typeInto(page.edtRegNum, "0000001");
        typeInto(page.edtUpRegNum, "1000000");
        page.btnOK_Ring->click();
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral("Upper registration number: a range holds at most 1000 rings "
                                                         "(0000001 to 1000000 would be 1000000)."));
        QCOMPARE(page.lblRingCnt->text(), QStringLiteral("000"));

        // A year with a letter, letters with a field-list breaker.
        typeInto(page.edtUpRegNum, "0000010");
        typeInto(page.combBYear->lineEdit(), "20x4");
        page.btnOK_Ring->click();
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral("Year: digits only."));
        typeInto(page.combBYear->lineEdit(), "2024");
        typeInto(page.edtRegLetter, "a%");
        page.btnOK_Ring->click();
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1),
                 QStringLiteral("Registration letters: the character \"%\" cannot be sent to a clock."));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_PigData").toInt(), 0);

        // Mended, the box of ten goes in.
        typeInto(page.edtRegLetter, "ab");
        page.btnOK_Ring->click();
        QCOMPARE(page.lblRingCnt->text(), QStringLiteral("010"));
    }

    void captionsTranslated()
    {
        TestDb db;
        db.insertClub("NC", 0, 4);
        const char *rows[][4] = {{"dbgrdMem", "Schlag", "1"}, {"dbgrdMem", "Name", "2"},
                                 {"rgMem", "Bearbeiten", "1"}, {"rgMem", "Loeschen", "2"},
                                 {"btnMemNew", "Neu", "1"}, {"pmFeatherColor", "Hinzu", "1"}};
        for (const auto &r : rows)
            db.dm().exec("INSERT INTO ORV_Object_Caption VALUES ('Deutsch','frmMember_10',?,?,?)", {r[0], r[1], r[2]});
        TfrmMember_10 page(db.dm());
        page.FormShow();
        QCOMPARE(page.adoqDBGridLoft->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Schlag"));
        QCOMPARE(page.adoqDBGridLoft->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(page.rgMem->items(), (QStringList{"Bearbeiten", "Loeschen"}));
        QCOMPARE(page.btnMemNew->text(), QStringLiteral("Neu"));
        QCOMPARE(page.findChild<QAction *>("AAdd1")->text(), QStringLiteral("Hinzu"));
    }

    void loftDownloadNotice()
    {
        TestDb db;
        db.insertClub();
        db.dm().exec("INSERT INTO ORV_LoftData (AssociationCode, LoftNo, LoftName) VALUES ('BE','L1','Jan')");
        ClockSimulator sim;
        sim.connectClock(sim.addClock("0A0B0C0D", "L1"));
        DeviceLink::setFactory([&sim] { return std::make_unique<SimLink>(sim); });
        TfrmMember_10 page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        Dialogs::pushAnswer(Answer::No);
        page.rgMem->choose(6);
        DeviceLink::setFactory({});
        QVERIFY(page.panelLoftDL->isVisible());
        QCOMPARE(page.panelLoftDL->text(), QStringLiteral("L1 Loft/Club Data Download Success !"));
        QVERIFY(page.timerDLMsg->isActive());
        QCOMPARE(page.timerDLMsg->interval(), 2000);
        grabAll(page, "download");
        page.timerDLMsgTimer();
        QVERIFY(!page.panelLoftDL->isVisible());
        QCOMPARE(sim.clock(0).params.number("userMode"), 2);
    }

    void pageWaitsDuringTheLoftDownload()
    {
        TestDb db;
        db.insertClub();
        db.dm().exec("INSERT INTO ORV_LoftData (AssociationCode, LoftNo, LoftName) VALUES ('BE','L1','Jan')");
        ClockSimulator sim;
        sim.connectClock(sim.addClock("0A0B0C0D", "L1"));
        DeviceLink::setFactory([&sim] { return std::make_unique<SimLink>(sim); });
        TfrmMember_10 page(db.dm());
        page.resize(1360, 700);
        page.show();
        page.FormShow();
        QVERIFY(page.isEnabled());
        WaitSampler sampler(page); // the download runs on its own thread
        Dialogs::pushAnswer(Answer::No);
        page.rgMem->choose(6);
        sampler.stop();
        DeviceLink::setFactory({});
        QCOMPARE(page.panelLoftDL->text(), QStringLiteral("L1 Loft/Club Data Download Success !"));
        QVERIFY2(sampler.waiting > 0, qPrintable(sampler.report()));
        QVERIFY(page.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

private:
    // PENNAVOX_SHOTS=DIR saves the page at the main window's size and smaller.
    static void grabAll(TfrmMember_10 &page, const char *name)
    {
        const QString dir = qEnvironmentVariable("PENNAVOX_SHOTS");
        if (dir.isEmpty())
            return;
        for (const QSize &s : {QSize(1360, 700), QSize(1000, 560)}) {
            page.resize(s);
            QCoreApplication::processEvents();
            page.grab().save(QStringLiteral("%1/%2-%3.png").arg(dir, QLatin1String(name)).arg(s.width()));
        }
        page.resize(1360, 700);
    }
};

QTEST_MAIN(TestMemberPage)
#include "tst_memberpage.moc"
