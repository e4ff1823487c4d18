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
// Writes a workbook whose sheet and shared-string parts are the given XML texts (argv 2 and 3).
const char *packScript = R"(
import sys, zipfile
ns = 'http://schemas.openxmlformats.org/'
z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)
z.writestr('[Content_Types].xml', '<Types xmlns="' + ns + 'package/2006/content-types">'
  '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
  '<Default Extension="xml" ContentType="application/xml"/>'
  '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
  '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
  '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
z.writestr('_rels/.rels', '<Relationships xmlns="' + ns + 'package/2006/relationships"><Relationship Id="rId1" '
  'Type="' + ns + 'officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>')
z.writestr('xl/workbook.xml', '<workbook xmlns="' + ns + 'spreadsheetml/2006/main" xmlns:r="' + ns +
  'officeDocument/2006/relationships"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>')
z.writestr('xl/_rels/workbook.xml.rels', '<Relationships xmlns="' + ns + 'package/2006/relationships">'
  '<Relationship Id="rId1" Type="' + ns + 'officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>'
  '<Relationship Id="rId2" Type="' + ns + 'officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
  '</Relationships>')
def expand(t):  # "<x>*N" repeats an element N times, nested
    import re
    return re.sub(r'<(\w+)>\*(\d+)', lambda m: ('<%s>' % m.group(1)) * int(m.group(2)) + ('</%s>' % m.group(1)) * int(m.group(2)), t)
z.writestr('xl/worksheets/sheet1.xml', '<worksheet xmlns="' + ns + 'spreadsheetml/2006/main"><sheetData>' + expand(sys.argv[2]) + '</sheetData></worksheet>')
z.writestr('xl/sharedStrings.xml', '<sst xmlns="' + ns + 'spreadsheetml/2006/main">' + expand(sys.argv[3]) + '</sst>')
z.close()
print('ok')
)";

bool pack(const QString &path, const QString &sheetData, const QString &sharedStrings)
{
    return python(QString::fromUtf8(packScript), {path, sheetData, sharedStrings}).trimmed() == "ok";
}
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
    void emptySharedStringsAreEmpty();
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

    // Deep nesting took the reading library gigabytes (and an inline text aborted the program);
    // it is refused before, by depth and by the number of elements.
    const QString nested = dir.filePath(QStringLiteral("nested.xlsx"));
    QVERIFY(pack(nested, QStringLiteral("<x>*200000"), QString()));
    QVERIFY(!readFirstSheet(nested, &s, &error));
    QCOMPARE(error, QStringLiteral("The workbook cannot be read: its part xl/worksheets/sheet1.xml is nested more "
                                   "than 100 levels deep."));
    const QString inlineNested = dir.filePath(QStringLiteral("inline.xlsx"));
    QVERIFY(pack(inlineNested,
                 QStringLiteral("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>a</t><x>*200000</is></c></row>"),
                 QString()));
    QVERIFY(!readFirstSheet(inlineNested, &s, &error));
    QVERIFY2(error.contains(QStringLiteral("nested more than 100 levels deep")), qPrintable(error));
    WorkbookLimits fewElements;
    fewElements.maxXmlElements = 1000;
    const QString flat = dir.filePath(QStringLiteral("flat.xlsx"));
    QVERIFY(pack(flat, QStringLiteral("<row r=\"1\"/>").repeated(2000), QString()));
    QVERIFY(readFirstSheet(flat, &s, &error));
    QVERIFY(!readFirstSheet(flat, &s, &error, fewElements));
    QVERIFY2(error.contains(QStringLiteral("over 1000 XML elements")), qPrintable(error));

    // A named pipe would block the reader until someone writes into it.
    const QString fifo = dir.filePath(QStringLiteral("pipe.xlsx"));
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    QVERIFY(!readFirstSheet(fifo, &s, &error));
    QCOMPARE(error, fifo + QStringLiteral(" is not a regular file (a named pipe, a device or a socket)."));
    QVERIFY(!readFirstSheet(dir.path(), &s, &error));
    QVERIFY2(error.contains(QStringLiteral("is a folder")), qPrintable(error));
}

void TestOffice::emptySharedStringsAreEmpty()
{
    // Other writers store an empty text as <si/> or <si><t/></si>; the reading library gives such
    // an item the text before it, which made another row's ring an electronic ring.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.xlsx"));
    QVERIFY(pack(path,
                 QStringLiteral("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
                                "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>3</v></c>"
                                "<c r=\"E1\" t=\"s\"><v>4</v></c><c r=\"F1\" t=\"s\"><v>5</v></c></row>"),
                 QStringLiteral("<si><t>E-1</t></si><si/><si><t>GB24A1</t></si><si><t/></si>"
                                "<si><r><t>rich</t></r><r><t/></r><r><t> text</t></r></si>"
                                "<si><t>base</t><rPh sb=\"0\" eb=\"1\"><t>phonetic</t></rPh></si>")));
    WorkbookSheet s;
    QString error;
    QVERIFY2(readFirstSheet(path, &s, &error), qPrintable(error));
    QCOMPARE(s.text(1, 1), QStringLiteral("E-1"));
    QCOMPARE(s.text(1, 2), QString());
    QCOMPARE(s.text(1, 3), QStringLiteral("GB24A1"));
    QCOMPARE(s.text(1, 4), QString());
    QCOMPARE(s.text(1, 5), QStringLiteral("rich text"));
    QCOMPARE(s.text(1, 6), QStringLiteral("base"));
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

    // The files have no quoting: a comma inside a field is written as a blank and counted.
    TextFile fields;
    fields.addFields({QStringLiteral("0001"), QStringLiteral("Adams, John"), QString(), QStringLiteral("a,b,c")});
    QCOMPARE(fields.bytes(), QByteArray("0001,Adams  John,,a b c\r\n"));
    QCOMPARE(fields.commasBlanked(), 3);
    sink.clear();
    QVERIFY(fields.saveReporting(path, sink));
    QVERIFY(sink.hasContaining(QStringLiteral("COTE.txt: 3 comma(s) inside fields were written as blanks")));
}

QTEST_GUILESS_MAIN(TestOffice)
#include "test_office.moc"
