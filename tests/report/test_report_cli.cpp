#include "reportseed.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {
struct Run
{
    int code;
    QString out;
};
} // namespace

class TestReportCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyReportWritesAPdf();
    void resultPdfHoldsHeadingsAndRows();
    void unknownKeysAndUnwritableFilesFailCleanly();

private:
    Run cli(const QStringList &args);
    TestDb db_;
};

void TestReportCli::initTestCase()
{
    ReportSeed::seed(db_);
}

Run TestReportCli::cli(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(CLI_EXE), QStringList{"--data", db_.dataFolder(), "report"} + args);
    if (!p.waitForFinished(60000))
        return {-1, {}};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

void TestReportCli::everyReportWritesAPdf()
{
    QTemporaryDir dir;
    const QList<QStringList> reports = {{"race-list"},
                                        {"member-list"},
                                        {"member-distances", "1234"},
                                        {"race-status", ReportSeed::Race},
                                        {"race-result", ReportSeed::Race},
                                        {"clock-result", ReportSeed::Race},
                                        {"marked-list", ReportSeed::Race},
                                        {"ring-list", "L1"}};
    for (const QStringList &r : reports) {
        const QString file = dir.filePath(r.first() + ".pdf");
        const Run run = cli(r + QStringList{file});
        QVERIFY2(run.code == 0, qPrintable(run.out));
        QVERIFY2(run.out.contains("success: " + file + " (1 pages)"), qPrintable(run.out));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
    }
}

void TestReportCli::resultPdfHoldsHeadingsAndRows()
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString file = dir.filePath("result.pdf");
    QCOMPARE(cli({"race-result", ReportSeed::Race, file}).code, 0);
    QProcess p;
    p.start(pdftotext, {"-layout", file, "-"});
    QVERIFY(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char *part : {"Pos.", "Ring", "Clocked", "FlyTime", "M/min", "Dist.", "Alice Archer", "BE-26-1001",
                                "1500.123", "Bob Brown", "RaceCode : 1234", "Page 1 of 1"})
        QVERIFY2(text.contains(QLatin1String(part)), qPrintable(QString(part) + " missing in:\n" + text));
    // One printed line holds a whole result row, in column order.
    static const QRegularExpression row(R"(\n\s*1\s+Alice Archer\s+BE-26-1001\s+12:00:00\.000\s+26-05\s+05:00:00)");
    QVERIFY2(row.match(text).hasMatch(), qPrintable(text));
}

void TestReportCli::unknownKeysAndUnwritableFilesFailCleanly()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("out.pdf");
    // An earlier file of that name survives every failure.
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier");
    }
    const struct
    {
        QStringList args;
        QString message;
    } cases[] = {
        {{"race-result", "9999", file}, "Unknown race code 9999"},
        {{"clock-result", "9999", file}, "Unknown race code 9999"},
        {{"member-distances", "XX", file}, "Unknown liberation code XX"},
        {{"ring-list", "NOBODY", file}, "Unknown loft number NOBODY"},
        {{"no-such-report", file}, "Unknown report no-such-report"},
        {{"race-result", file}, "Usage:"},
    };
    for (const auto &c : cases) {
        const Run run = cli(c.args);
        QVERIFY2(run.code != 0, qPrintable(run.out));
        QVERIFY2(run.out.contains("failure: " + c.message), qPrintable(run.out));
    }
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier"));

    // A folder that does not exist: failure, and no file appears.
    const QString bad = dir.filePath("missing/out.pdf");
    const Run run = cli({"race-list", bad});
    QVERIFY(run.code != 0);
    QVERIFY2(run.out.contains("failure: Cannot write " + bad), qPrintable(run.out));
    QVERIFY(!QFile::exists(bad));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"out.pdf"}));
}

QTEST_GUILESS_MAIN(TestReportCli)
#include "test_report_cli.moc"
