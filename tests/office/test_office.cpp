#include "office/textfile.h"
#include "office/workbook.h"

#include "../support/recordingsink.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Runs a Python snippet with openpyxl; returns its standard output (JSON) or fails the test.
QByteArray python(const QString &script, const QStringList &args = {})
{
    QProcess p;
    // Debian's interpreter, where python3-openpyxl is installed.
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning().noquote() << p.readAllStandardError();
        return {};
    }
    return p.readAllStandardOutput();
}

// What an independent reader sees: sheet names, cell values with their types and number formats,
// column widths.
const char *describeScript = R"(
import sys, json, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
cells = []
for row in ws.iter_rows():
    for c in row:
        if c.value is not None or c.number_format != 'General':
            cells.append([c.coordinate, c.value if not isinstance(c.value, (bytes,)) else str(c.value),
                          type(c.value).__name__, c.number_format])
widths = {k: v.width for k, v in ws.column_dimensions.items()}
print(json.dumps({'sheets': wb.sheetnames, 'cells': cells, 'widths': widths, 'max_row': ws.max_row}))
)";
} // namespace

class TestOffice : public QObject
{
    Q_OBJECT
private slots:
    void writtenWorkbookAsAnIndependentReaderSeesIt();
    void writtenWorkbookReadsBack();
    void failedSaveKeepsThePreviousFile();
    void workbookWrittenByOpenpyxlReads();
    void hostileFilesGiveAMessage();
    void textFileCodePageAndLineEnds();
};

void TestOffice::writtenWorkbookAsAnIndependentReaderSeesIt()
{
    QTemporaryDir dir;
    WorkbookWriter w({QStringLiteral("Code"), QStringLiteral("Speed"), QStringLiteral("Name")});
    w.setTextColumn(0);
    w.setNumberFormat(1, QStringLiteral("0.000"));
    w.setWidth(0, 20);
    w.setWidth(2, 25);
    w.addRow({QStringLiteral("007"), 1234.5678, QStringLiteral("Ζώνη Łódź")});
    w.addRow({42, QVariant(), QString()}); // a number in a text column stays text
    const QString path = dir.filePath(QStringLiteral("t.xlsx"));
    QString error;
    QVERIFY2(w.save(path, &error), qPrintable(error));

    const QJsonObject o = QJsonDocument::fromJson(python(QString::fromLatin1(describeScript), {path})).object();
    QCOMPARE(o.value(QStringLiteral("sheets")).toArray(), QJsonArray{QStringLiteral("Sheet1")});
    QHash<QString, QJsonArray> cells;
    for (const auto &c : o.value(QStringLiteral("cells")).toArray())
        cells.insert(c.toArray().at(0).toString(), c.toArray());
    QCOMPARE(cells.value(QStringLiteral("A1")).at(1).toString(), QStringLiteral("Code"));
    QCOMPARE(cells.value(QStringLiteral("C1")).at(1).toString(), QStringLiteral("Name"));
    QCOMPARE(cells.value(QStringLiteral("A2")).at(1).toString(), QStringLiteral("007"));
    QCOMPARE(cells.value(QStringLiteral("A2")).at(2).toString(), QStringLiteral("str"));
    QCOMPARE(cells.value(QStringLiteral("A2")).at(3).toString(), QStringLiteral("@"));
    QCOMPARE(cells.value(QStringLiteral("A3")).at(1).toString(), QStringLiteral("42"));
    QCOMPARE(cells.value(QStringLiteral("B2")).at(1).toDouble(), 1234.5678);
    QCOMPARE(cells.value(QStringLiteral("B2")).at(3).toString(), QStringLiteral("0.000"));
    QCOMPARE(cells.value(QStringLiteral("C2")).at(1).toString(), QStringLiteral("Ζώνη Łódź"));
    const QJsonObject widths = o.value(QStringLiteral("widths")).toObject();
    // Widths in characters; the file stores them with the cell padding added.
    QVERIFY(qAbs(widths.value(QStringLiteral("A")).toDouble() - 20) < 1);
    QVERIFY(qAbs(widths.value(QStringLiteral("C")).toDouble() - 25) < 1);
}

void TestOffice::writtenWorkbookReadsBack()
{
    QTemporaryDir dir;
    WorkbookWriter w({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    w.setTextColumn(0);
    w.addRow({QStringLiteral("0012"), 5, QStringLiteral("x")});
    w.addRow({QStringLiteral(""), 2.5, QVariant()});
    w.addRow({QStringLiteral("z"), QVariant(), QStringLiteral("last")});
    const QString path = dir.filePath(QStringLiteral("r.xlsx"));
    QString error;
    QVERIFY2(w.save(path, &error), qPrintable(error));

    WorkbookSheet s;
    QVERIFY2(readFirstSheet(path, &s, &error), qPrintable(error));
    QCOMPARE(s.rowCount(), 4);
    QCOMPARE(s.columnCount(), 3);
    QCOMPARE(s.text(1, 2), QStringLiteral("B"));
    QCOMPARE(s.text(2, 1), QStringLiteral("0012"));
    QCOMPARE(s.cell(2, 2).typeId(), int(QMetaType::Double));
    QCOMPARE(s.text(2, 2), QStringLiteral("5"));
    QCOMPARE(s.text(3, 2), QStringLiteral("2.5"));
    QVERIFY(!s.cell(3, 3).isValid());
    QCOMPARE(s.text(4, 3), QStringLiteral("last"));
    QVERIFY(!s.cell(9, 9).isValid());
}

void TestOffice::failedSaveKeepsThePreviousFile()
{
    QTemporaryDir dir;
    WorkbookWriter w({QStringLiteral("A")});
    w.addRow({1});
    QString error;
    QVERIFY(!w.save(dir.filePath(QStringLiteral("no/such/folder/x.xlsx")), &error));
    QVERIFY(error.startsWith(QStringLiteral("Data transfer error: ")));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("no/such/folder/x.xlsx"))));

    const QString path = dir.filePath(QStringLiteral("keep.xlsx"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("previous");
    f.close();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner); // no new files in the folder
    const bool saved = w.save(path, &error);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (saved)
        QSKIP("running with rights that ignore folder permissions");
    QVERIFY(error.startsWith(QStringLiteral("Data transfer error: ")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("previous"));
}

void TestOffice::workbookWrittenByOpenpyxlReads()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("o.xlsx"));
    const char *script = R"(
import sys, datetime, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Pigeons'
ws.append(['LoftNo', 'Value'])
ws.append(['0042', 7])
ws.append([True, datetime.datetime(2024, 5, 26, 0, 0)])
ws['A4'] = '=1+2'
ws['B4'] = 'Ωμέγα 日本'
ws['D6'] = 'x' * 100000
wb.create_sheet('Second')['A1'] = 'not read'
wb.save(sys.argv[1])
print('ok')
)";
    QCOMPARE(python(QString::fromUtf8(script), {path}).trimmed(), QByteArray("ok"));
    WorkbookSheet s;
    QString error;
    QVERIFY2(readFirstSheet(path, &s, &error), qPrintable(error));
    QCOMPARE(s.rowCount(), 6);
    QCOMPARE(s.columnCount(), 4);
    QCOMPARE(s.text(2, 1), QStringLiteral("0042"));
    QCOMPARE(s.text(2, 2), QStringLiteral("7"));
    QCOMPARE(s.text(3, 1), QStringLiteral("TRUE"));
    // openpyxl stores dates as serial numbers with a date format: the number comes back.
    QCOMPARE(s.text(3, 2), QStringLiteral("45438"));
    QVERIFY(!s.cell(4, 1).isValid() || s.text(4, 1).isEmpty()); // a formula without a stored result
    QCOMPARE(s.text(4, 2), QStringLiteral("Ωμέγα 日本"));
    QVERIFY(s.text(6, 4).size() >= 32767); // a long cell arrives whole or at the format's limit
}

void TestOffice::hostileFilesGiveAMessage()
{
    QTemporaryDir dir;
    QString error;
    WorkbookSheet s;

    QVERIFY(!readFirstSheet(dir.filePath(QStringLiteral("missing.xlsx")), &s, &error));
    QVERIFY(error.contains(QStringLiteral("does not exist")));

    const QString text = dir.filePath(QStringLiteral("text.xlsx"));
    QFile f(text);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("LoftNo,RCountry\r\n1,GB\r\n");
    f.close();
    QVERIFY(!readFirstSheet(text, &s, &error));
    QCOMPARE(error, QStringLiteral("The file is not an Excel workbook (.xlsx)."));

    // A real workbook cut in half.
    WorkbookWriter w({QStringLiteral("A")});
    for (int i = 0; i < 2000; ++i)
        w.addRow({QStringLiteral("row %1").arg(i)});
    QByteArray bytes;
    QVERIFY(w.build(&bytes, &error));
    const QString cut = dir.filePath(QStringLiteral("cut.xlsx"));
    QVERIFY(f.open(QIODevice::WriteOnly) || true);
    QFile c(cut);
    QVERIFY(c.open(QIODevice::WriteOnly));
    c.write(bytes.left(bytes.size() / 2));
    c.close();
    QVERIFY(!readFirstSheet(cut, &s, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(s.rowCount(), 0);

    // A zip bomb: a sheet that inflates to 300 MB from a few hundred kB.
    const QString bomb = dir.filePath(QStringLiteral("bomb.xlsx"));
    const char *script = R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)
z.writestr('[Content_Types].xml', '<Types/>')
z.writestr('xl/workbook.xml', '<workbook/>')
with z.open('xl/worksheets/sheet1.xml', 'w', force_zip64=True) as e:
    chunk = b' ' * (1 << 20)
    for i in range(300):
        e.write(chunk)
z.close()
print('ok')
)";
    QCOMPARE(python(QString::fromUtf8(script), {bomb}).trimmed(), QByteArray("ok"));
    QVERIFY(!readFirstSheet(bomb, &s, &error));
    QVERIFY2(error.contains(QStringLiteral("too large")), qPrintable(error));

    // Cell limits are enforced while reading, not after.
    WorkbookWriter many({QStringLiteral("A"), QStringLiteral("B")});
    for (int i = 0; i < 600; ++i)
        many.addRow({i, i});
    const QString manyPath = dir.filePath(QStringLiteral("many.xlsx"));
    QVERIFY(many.save(manyPath, &error));
    WorkbookLimits small;
    small.maxCells = 1000;
    QVERIFY(!readFirstSheet(manyPath, &s, &error, small));
    QVERIFY2(error.contains(QStringLiteral("too many cells")), qPrintable(error));

    // A sound zip whose shared-string table is cut off mid-tag: the reading library would stop
    // the program on it, so it is refused before (found by fuzzing).
    WorkbookWriter texts({QStringLiteral("LoftNo"), QStringLiteral("Name")});
    texts.addRow({QStringLiteral("A1"), QStringLiteral("Adams")});
    const QString sound = dir.filePath(QStringLiteral("sound.xlsx"));
    QVERIFY(texts.save(sound, &error));
    const QString damaged = dir.filePath(QStringLiteral("damaged.xlsx"));
    const char *cutStrings = R"(
import sys, zipfile
src = zipfile.ZipFile(sys.argv[1])
dst = zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_DEFLATED)
for item in src.infolist():
    data = src.read(item.filename)
    if item.filename == 'xl/sharedStrings.xml':
        data = data[:data.index(b'<t>') + 2] + b'<http://x' + data[data.index(b'<t>') + 3:]
    dst.writestr(item.filename, data)
dst.close()
print('ok')
)";
    QCOMPARE(python(QString::fromUtf8(cutStrings), {sound, damaged}).trimmed(), QByteArray("ok"));
    QVERIFY(readFirstSheet(sound, &s, &error));
    QVERIFY(!readFirstSheet(damaged, &s, &error));
    QCOMPARE(error, QStringLiteral("The workbook is damaged: its part xl/sharedStrings.xml cannot be read."));
}

void TestOffice::textFileCodePageAndLineEnds()
{
    TextFile t;
    t.addLine(QStringLiteral("Müller,€5"));
    t.addLine(QStringLiteral("Łódź,日本,😀"));
    QCOMPARE(t.bytes(), QByteArray("M\xFCller,\x80" "5\r\n?\xF3" "d?,??,?\r\n"));
    QCOMPARE(t.unmappable(), 5);

    QTemporaryDir dir;
    RecordingSink sink;
    const QString path = dir.filePath(QStringLiteral("COTE.txt"));
    QVERIFY(t.saveReporting(path, sink));
    QVERIFY(sink.hasContaining(QStringLiteral("5 character(s)")));
    QCOMPARE(sink.textsOf(MessageKind::Success), QStringList{path});
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), t.bytes());

    sink.clear();
    QVERIFY(!t.saveReporting(dir.filePath(QStringLiteral("none/COTE.txt")), sink));
    QCOMPARE(sink.textsOf(MessageKind::Failure).size(), 1);
}

QTEST_GUILESS_MAIN(TestOffice)
#include "test_office.moc"
