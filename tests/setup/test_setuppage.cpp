// The setup page's wiring: what is typed into the club fields is checked before it is stored, and
// the club download waits on a thread of its own with the page disabled.
#include "app/ui/dialogs.h"
#include "device/devicelink.h"
#include "setup/ui/setuppage.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"
#include "store/appclock.h"
#include "tests/support/testdb.h"
#include "tests/support/waitsampler.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestSetupPage : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        AppClock::setFixed(QDateTime(QDate(2024, 5, 6), QTime(10, 0)));
        Dialogs::clearShown();
        Dialogs::setHeadless(true);
    }

    void clubFieldsCheckedBeforeTheyAreStored()
    {
        TestDb db;
        TfrmSetup_10 page(db.dm());
        page.resize(900, 520);
        page.show();
        page.FormShow();
        page.cbbClubName->setCurrentText(QStringLiteral("Custom"));
        QTest::keyClicks(page.edtClubName, "North%Club");
        QTest::keyClicks(page.edtClubAbbt, "nc");
        QTest::keyClicks(page.edtAssociation, "be");
        QVERIFY(!page.store());
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral("Club name: the character \"%\" cannot be sent to a clock."));
        QCOMPARE(db.dm().scalar("SELECT COUNT(*) FROM ORV_ClubData").toInt(), 0);

        page.edtClubName->clear();
        QTest::keyClicks(page.edtClubName, "North Club");
        // A pasted street with a line break in it.
        page.edtClubStreet->setText(QStringLiteral("Main 1\nBack door"));
        QVERIFY(!page.store());
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1),
                 QStringLiteral("Street: control characters (line breaks, tabs) are not allowed."));

        page.edtClubStreet->clear();
        QTest::keyClicks(page.edtClubStreet, "Main 1");
        QVERIFY(page.store());
        QCOMPARE(db.dm().scalar("SELECT ClubName || '/' || ClubID || '/' || Street FROM ORV_ClubData").toString(),
                 QStringLiteral("North Club/NC/Main 1"));
    }

    void pageSaysWhereTheBackupsAre()
    {
        TestDb db;
        db.insertClub("B2");
        // Another club's backup already lies in the shared folder: this club's go to its own.
        QDir().mkpath(db.root() + "/Backup");
        {
            TdmORVS other(db.root() + "/Other");
            other.exec("INSERT INTO ORV_ClubData (ClubID, ClubName) VALUES ('A1', 'First')");
            other.close();
            QVERIFY(QFile::copy(other.databasePath(), db.root() + "/Backup/Pennavox_Europe.bak"));
        }
        TfrmSetup_10 page(db.dm());
        page.show();
        page.FormShow();
        QCOMPARE(page.lbBackupFolder->text(),
                 "Automatic backups: " + QDir::toNativeSeparators(db.root() + "/Backup/B2"));
    }

    void pageWaitsDuringTheClubDownload()
    {
        TestDb db;
        db.insertClub("NC");
        ClockSimulator sim; // no clock connected: the antenna answers
        sim.antenna().owner = "NC";
        DeviceLink::setFactory([&sim] { return std::make_unique<SimLink>(sim); });
        TfrmSetup_10 page(db.dm());
        page.show();
        page.FormShow();
        WaitSampler sampler(page); // the download runs on its own thread
        // while it waits the page says so, and for how long
        int noticed = 0;
        QTimer look;
        look.setInterval(0);
        QObject::connect(&look, &QTimer::timeout, [&] {
            noticed += page.lblAntennaWait->isVisible() && page.lblAntennaWait->text().contains("up to 5 seconds");
        });
        look.start();
        page.butClubDownload->click();
        look.stop();
        sampler.stop();
        QVERIFY(noticed > 0);
        QVERIFY(!page.lblAntennaWait->isVisible());
        DeviceLink::setFactory({});
        QCOMPARE(Dialogs::shown().value(Dialogs::shown().size() - 1), QStringLiteral(" Club Data Download Success !"));
        QCOMPARE(sim.antenna().display, QStringLiteral("NC Club Data Download Success !"));
        QVERIFY2(sampler.waiting > 0, qPrintable(sampler.report()));
        QVERIFY(page.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestSetupPage)
#include "test_setuppage.moc"
