#include "../support/testdb.h"

#include "report/report.h"
#include "report/reportlayout.h"
#include "report/reportpdf.h"
#include "report/reportrecorder.h"
#include "store/appclock.h"

#include <QBuffer>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Three columns: a name, a right-aligned number, a long note.
std::unique_ptr<QStandardItemModel> model(int rows)
{
    auto m = std::make_unique<QStandardItemModel>(rows, 3);
    m->setHorizontalHeaderLabels({"Name", "Count", "Note"});
    m->setHeaderData(1, Qt::Horizontal, QVariant::fromValue(Qt::Alignment(Qt::AlignRight)), Qt::TextAlignmentRole);
    for (int r = 0; r < rows; ++r) {
        m->setItem(r, 0, new QStandardItem(QStringLiteral("Member %1").arg(r + 1, 4, 10, QLatin1Char('0'))));
        auto *count = new QStandardItem;
        count->setData((r * 37) % 1000, Qt::DisplayRole); // a number, so a sort is numeric
        m->setItem(r, 1, count);
        m->setItem(r, 2, new QStandardItem(QStringLiteral("note")));
    }
    return m;
}

void describe(Report &r, const QAbstractItemModel &m)
{
    r.setModel(&m);
    r.setHeading({"North Club", "1 High Street", "Leeds", "LS1 1AA"});
    r.addTitle("qrlTitle", "Member List");
    r.addTitle("qrlTotal", "Total :", "042");
    r.addModelColumns();
    r.addFooter("qrlNet", "Net Flying Time :", "1:02:03");
    r.setPrintTime(QDateTime(QDate(2026, 5, 2), QTime(18, 30)));
}

bool onLine(const std::vector<QStringList> &lines, const QStringList &wanted)
{
    for (const auto &l : lines)
        if (l == wanted)
            return true;
    return false;
}
} // namespace

class TestReportEngine : public QObject
{
    Q_OBJECT
private slots:
    void longListBreaksAcrossNumberedPagesWithHeaderRepeated();
    void emptyListPrintsTitleAndHeaderOnly();
    void tooWideTextIsCutWithEllipsisInsideItsColumn();
    void columnsFillThePageAlignedAsTheModelSays();
    void printsTheModelsCurrentOrderAndEmptyColumns();
    void captionsOfTheReportAreTranslated();
    void pdfIsWrittenWholeOrNotAtAll();
};

void TestReportEngine::longListBreaksAcrossNumberedPagesWithHeaderRepeated()
{
    auto m = model(150);
    Report r("frmTest");
    describe(r, *m);
    ReportRecorder rec;
    const int pages = rec.record(r);
    QVERIFY(pages >= 3);
    QCOMPARE(static_cast<int>(rec.pages().size()), pages);

    // Every row printed once, in order, on consecutive pages.
    QStringList names;
    for (int p = 0; p < pages; ++p) {
        const auto lines = rec.lines(p);
        QVERIFY2(onLine(lines, {"Name", "Count", "Note"}), qPrintable(QString("header missing on page %1").arg(p)));
        QVERIFY(rec.find(p, QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages)));
        QVERIFY(rec.find(p, "Net Flying Time : 1:02:03"));
        for (const QString &t : rec.texts(p))
            if (t.startsWith("Member 0"))
                names << t;
        // Title band and logo only on the first page.
        QCOMPARE(rec.find(p, "Member List") != nullptr, p == 0);
        QCOMPARE(rec.find(p, "North Club") != nullptr, p == 0);
    }
    QCOMPARE(names.size(), 150);
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(names[i], QStringLiteral("Member %1").arg(i + 1, 4, 10, QLatin1Char('0')));

    // Nothing is painted below the printable area, and rows stay above the footer.
    const auto *footer = rec.find(pages - 1, QStringLiteral("Page %1 of %1").arg(pages));
    for (int p = 0; p < pages; ++p)
        for (const auto &t : rec.pages()[static_cast<size_t>(p)].texts) {
            QVERIFY(t.box.bottom() <= rec.content().height() + 1);
            if (t.text.startsWith("Member 0"))
                QVERIFY(t.box.bottom() < footer->box.top());
        }

    // The first page has the logo, a filled shape in the top left corner.
    bool logo = false;
    for (const QRectF &s : rec.pages()[0].shapes)
        logo = logo || (s.left() < 100 && s.top() < 100 && s.width() > 300 && s.height() > 300);
    QVERIFY(logo);
    const auto *heading = rec.find(0, "North Club");
    QVERIFY(heading->box.left() > 500); // beside the logo
    QVERIFY(rec.find(0, "Total : 042"));
    QVERIFY(rec.find(0, "Printed " + QLocale::system().toString(r.printTime(), QLocale::ShortFormat)));

    // The layout's arithmetic agrees with what was painted.
    const ReportLayout layout(r, ReportLayout::a4Content());
    int sum = 0;
    for (int p = 0; p < layout.pageCount(); ++p)
        sum += layout.rowsOn(p);
    QCOMPARE(sum, 150);
    QVERIFY(layout.rowsOn(1) > layout.rowsOn(0)); // the title band takes room on page one
}

void TestReportEngine::emptyListPrintsTitleAndHeaderOnly()
{
    auto m = model(0);
    Report r("frmTest");
    describe(r, *m);
    ReportRecorder rec;
    QCOMPARE(rec.record(r), 1);
    const auto lines = rec.lines(0);
    QVERIFY(onLine(lines, {"Name", "Count", "Note"}));
    QVERIFY(rec.find(0, "Member List"));
    QVERIFY(rec.find(0, "Page 1 of 1"));
    for (const QString &t : rec.texts(0))
        QVERIFY(!t.startsWith("Member 0"));

    // Also without any model at all.
    Report bare("frmTest");
    bare.addTitle("qrlTitle", "Nothing");
    QCOMPARE(rec.record(bare), 1);
    QVERIFY(rec.find(0, "Nothing"));
}

void TestReportEngine::tooWideTextIsCutWithEllipsisInsideItsColumn()
{
    auto m = model(3);
    const QString longText = QString("A very long remark that goes on and on ").repeated(12);
    m->setItem(1, 2, new QStandardItem(longText));
    m->setItem(2, 0, new QStandardItem(QString("Wide name ").repeated(20)));
    Report r("frmTest");
    describe(r, *m);
    ReportRecorder rec;
    rec.record(r);
    const ReportLayout layout(r, rec.content());
    const auto &w = layout.columnWidths();
    double total = 0;
    for (double x : w)
        total += x;
    QVERIFY(qAbs(total - rec.content().width()) < 1);

    const ReportRecorder::Text *cut = nullptr, *cutName = nullptr;
    for (const auto &t : rec.pages()[0].texts) {
        if (t.text.startsWith("A very long"))
            cut = &t;
        if (t.text.startsWith("Wide name"))
            cutName = &t;
    }
    QVERIFY(cut && cutName);
    QVERIFY(cut->text.endsWith(QChar(0x2026)));
    QVERIFY(longText.startsWith(cut->text.chopped(1).trimmed()));
    QVERIFY(cutName->text.endsWith(QChar(0x2026)));
    // Each stays in its own column.
    QVERIFY(cut->box.left() >= w[0] + w[1]);
    QVERIFY(cut->box.right() <= rec.content().width() + 0.5);
    QVERIFY(cutName->box.right() <= w[0]);
    // Short texts are untouched.
    QVERIFY(rec.find(0, "Member 0001"));
}

void TestReportEngine::columnsFillThePageAlignedAsTheModelSays()
{
    auto m = model(5);
    Report r("frmTest");
    describe(r, *m);
    ReportRecorder rec;
    rec.record(r);
    const ReportLayout layout(r, rec.content());
    const auto &w = layout.columnWidths();
    QCOMPARE(static_cast<int>(w.size()), 3);
    // The count column is right-aligned: its texts and its header end at the same x.
    const auto *header = rec.find(0, "Count");
    const auto *value = rec.find(0, "37");
    QVERIFY(header && value);
    QVERIFY(qAbs(header->box.right() - value->box.right()) < 1);
    QVERIFY(value->box.right() <= w[0] + w[1]);
    QVERIFY(value->box.right() > w[0] + w[1] - 100);
    // Left-aligned names start at the same x as their header.
    QVERIFY(qAbs(rec.find(0, "Name")->box.left() - rec.find(0, "Member 0001")->box.left()) < 1);
    QVERIFY(rec.find(0, "Name")->bold);
    QVERIFY(!rec.find(0, "Member 0001")->bold);
}

void TestReportEngine::printsTheModelsCurrentOrderAndEmptyColumns()
{
    auto m = model(4);
    m->sort(1, Qt::DescendingOrder); // 111, 74, 37, 0
    Report r("frmTest");
    r.setModel(m.get());
    r.addColumn("qrlCount", 1);
    r.addColumn("qrlName", 0, "Who");
    r.addColumn("qrlSpare", -1, "Dist.");
    ReportRecorder rec;
    rec.record(r);
    const auto lines = rec.lines(0);
    QStringList counts;
    for (const auto &l : lines)
        if (l.size() == 2 && l[1].startsWith("Member "))
            counts << l[0];
    QCOMPARE(counts, QStringList({"111", "74", "37", "0"}));
    QVERIFY(onLine(lines, {"Count", "Who", "Dist."}));
}

void TestReportEngine::captionsOfTheReportAreTranslated()
{
    TestDb db;
    db.insertClub("NC", 0, 4);
    const auto add = [&](const QString &form, const QString &code, const QString &text) {
        db.dm().exec("INSERT INTO ORV_Object_Caption (LangCode, formName, objectCode, caption, property) "
                     "VALUES (?,?,?,?,?)",
                     {"Deutsch", form, code, text, 1});
    };
    add("frmTest", "qrlTitle", "Mitgliederliste");
    add("frmTest", "qrlCol0", "Name DE");
    add("frmTest", "QRsysPageX", "ignored: no such label");
    add("frmTest", "Lbsomething", "ignored kind");
    add("frmOther", "qrlCol1", "Anzahl");
    auto m = model(1);
    Report r("frmTest");
    describe(r, *m);
    r.translate(db.dm(), 4);
    ReportRecorder rec;
    rec.record(r);
    QVERIFY(rec.find(0, "Mitgliederliste"));
    QVERIFY(rec.find(0, "Name DE"));
    QVERIFY(rec.find(0, "Count")); // another report's row does not apply
    // English leaves everything as designed.
    Report en("frmTest");
    describe(en, *m);
    en.translate(db.dm(), 0);
    rec.record(en);
    QVERIFY(rec.find(0, "Member List"));
}

void TestReportEngine::pdfIsWrittenWholeOrNotAtAll()
{
    auto m = model(120);
    Report r("frmTest");
    describe(r, *m);
    const int expected = ReportLayout(r, ReportLayout::a4Content()).pageCount();

    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    QCOMPARE(ReportPdf::write(r, buf), expected);
    QVERIFY(buf.data().startsWith("%PDF-"));
    QVERIFY(buf.data().contains(QByteArray("/Count ") + QByteArray::number(expected)));

    QTemporaryDir dir;
    const QString path = dir.filePath("out.pdf");
    QString error;
    QCOMPARE(ReportPdf::writeFile(r, path, &error), expected);
    QVERIFY(error.isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("%PDF-"));

    // A folder that does not exist: a clear error, no file.
    const QString bad = dir.filePath("missing/out.pdf");
    QCOMPARE(ReportPdf::writeFile(r, bad, &error), 0);
    QVERIFY(error.contains(bad));
    QVERIFY(!QFile::exists(bad));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"out.pdf"}));
}

QTEST_MAIN(TestReportEngine)
#include "test_report_engine.moc"
