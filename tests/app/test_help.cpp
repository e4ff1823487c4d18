// The manual in the help window, F1 per page, and the About box.
#include "../support/testdb.h"

#include "app/ui/helpwindow.h"
#include "app/ui/mainwindow.h"
#include "app/ui/page.h"
#include "pennavox/version.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    // Every page of the manual was converted, and every link and picture in it points at
    // something the program carries.
    void manualIsCompleteAndItsLinksResolve()
    {
        QStringList pages;
        for (QDirIterator it(QStringLiteral(":/manual"), {QStringLiteral("*.html")}); it.hasNext();)
            pages << it.next();
        QVERIFY2(pages.size() >= 10, qPrintable(pages.join(QLatin1Char(' '))));
        for (const char *page :
             {"frmHome", "frmSynch_10_TC", "frmMember_10", "frmRace_TC", "frmSetup_10", "x"})
            QVERIFY(
                QFile::exists(QStringLiteral(":/manual/") + THelpWindow::sectionFor(QLatin1String(page))));
        static const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"#:]+)[\"#]"));
        for (const QString &path : pages) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(f.readAll());
            QVERIFY2(html.contains(QStringLiteral("<h1>")), qPrintable(path));
            QVERIFY2(!html.contains(QStringLiteral(".md\"")), qPrintable(path));
            for (auto m = ref.globalMatch(html); m.hasNext();) {
                const QString target = QStringLiteral(":/manual/") + m.next().captured(1);
                QVERIFY2(QFile::exists(target), qPrintable(path + QStringLiteral(" -> ") + target));
            }
        }
    }

    void f1OpensTheSectionOfThePageShown()
    {
        TfrmMenu_V8_EU_10_TC::setBackupNoticeMs(1);
        TestDb db;
        db.insertClub();
        Pages::setFactory(
            4, [](TdmORVS &dm, QWidget *p) { return new TPage(QStringLiteral("frmRace_TC"), dm, p); });
        TfrmMenu_V8_EU_10_TC w(db.dm());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(50); // the start-up backup notice closes itself
        w.openPage(4);
        QAction *help = w.findChild<QAction *>(QStringLiteral("actHelp"));
        QVERIFY(help);
        QCOMPARE(help->shortcut(), QKeySequence(Qt::Key_F1));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.pnlMain(), Qt::Key_F1);
        auto *win = qobject_cast<THelpWindow *>(QApplication::activeWindow());
        QTRY_VERIFY(win = [] {
            for (QWidget *t : QApplication::topLevelWidgets())
                if (auto *h = qobject_cast<THelpWindow *>(t); h && h->isVisible())
                    return h;
            return static_cast<THelpWindow *>(nullptr);
        }());
        QCOMPARE(win->browser()->source().toString(),
                 QStringLiteral("qrc:/manual/03-races-and-distances.html"));
        QVERIFY(win->browser()->toPlainText().contains(QStringLiteral("LoftDistUpdate")));
        // on the home picture (no page) it opens the contents; the window is reused
        w.ClosePage();
        help->trigger();
        QCOMPARE(win->browser()->source().toString(), QStringLiteral("qrc:/manual/index.html"));
        win->close();
        w.close();
    }

    void aboutNamesVersionLicenceAndLibraries()
    {
        const QString t = AboutBox::text();
        QVERIFY(t.contains(QLatin1String(PENNAVOX_VERSION)));
        QVERIFY(t.contains(QStringLiteral("GNU General Public License")));
        QVERIFY(t.contains(QStringLiteral("Qt ") + QLatin1String(qVersion())));
        QVERIFY(t.contains(QStringLiteral("GeographicLib")));
        QVERIFY(t.contains(QStringLiteral("SQLite 3.")));
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
