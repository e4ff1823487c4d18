#include "app/ui/dialogs.h"
#include "report/report.h"
#include "report/ui/reportpreview.h"

#include <QAction>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

class TestReportPreview : public QObject
{
    Q_OBJECT
private slots:
    void previewShowsThePagesAndSavesPdf();
    void hookReceivesTheReport();
};

void TestReportPreview::previewShowsThePagesAndSavesPdf()
{
    Dialogs::setHeadless(true);
    QStandardItemModel m(200, 2);
    m.setHorizontalHeaderLabels({"Name", "Loft"});
    for (int r = 0; r < 200; ++r)
        m.setItem(r, 0, new QStandardItem(QString("Row %1").arg(r)));
    Report r("frmTest");
    r.setModel(&m);
    r.addTitle("qrlTitle", "Member List");
    r.addModelColumns();

    ReportPreviewDialog dlg(r, 3);
    QCOMPARE(dlg.printer().copyCount(), 3);
    QCOMPARE(dlg.printer().pageLayout().pageSize().id(), QPageSize::A4);
    QCOMPARE(dlg.printer().pageLayout().orientation(), QPageLayout::Portrait);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto *view = dlg.findChild<QPrintPreviewWidget *>();
    QVERIFY(view);
    QTRY_VERIFY(view->pageCount() >= 4);
    // Print and Save as PDF lead the tool bar, in sight at the dialog's width, not behind its »
    auto *bar = dlg.findChild<QToolBar *>();
    QVERIFY(bar);
    QCOMPARE(bar->actions().at(0)->text().remove('&'), QString("Print"));
    QCOMPARE(bar->actions().at(1), dlg.saveAction());
    for (QAction *a : {bar->actions().at(0), dlg.saveAction()}) {
        QWidget *b = bar->widgetForAction(a);
        QVERIFY(b && b->isVisible());
        QVERIFY(b->geometry().right() < bar->width());
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("list.pdf");
    Dialogs::pushFile(dir.filePath("list")); // the extension left off
    dlg.saveAction()->trigger();
    QCOMPARE(Dialogs::lastProposedFile(), QString("Member List.pdf")); // the report's name, not its form's
    QVERIFY(QFile::exists(path));
    QVERIFY(Dialogs::shown().isEmpty());
    // Cancelling the file dialog writes nothing.
    Dialogs::pushFile(QString());
    dlg.saveAction()->trigger();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    // An unwritable place is reported, not ignored.
    Dialogs::pushFile(dir.filePath("no/such/folder.pdf"));
    dlg.saveAction()->trigger();
    QCOMPARE(Dialogs::shown().size(), 1);
    dlg.close();
}

void TestReportPreview::hookReceivesTheReport()
{
    Report r("frmHooked");
    QString seen;
    int copies = 0;
    ReportPreview::setHook([&](const Report &rep, int c) {
        seen = rep.formName();
        copies = c;
    });
    ReportPreview::show(nullptr, r, 2);
    ReportPreview::setHook({});
    QCOMPARE(seen, QString("frmHooked"));
    QCOMPARE(copies, 2);
}

QTEST_MAIN(TestReportPreview)
#include "test_report_preview.moc"
