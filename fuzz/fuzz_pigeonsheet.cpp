// The pigeon-sheet reader: the workbook reader (zip, XML, shared strings) and the pigeon import's
// reading and checking of each row. An input starting with "PK" is taken as a whole .xlsx file;
// any other input is the first worksheet's XML (and, after a NUL byte, the shared strings), packed
// into an otherwise sound workbook so that mutations reach the XML rather than the zip checksums.

#include "members/pigeonexchange.h"
#include "office/workbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <zip.h>

namespace {
const char *const ContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
    "<Override PartName=\"/xl/sharedStrings.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
    "</Types>";
const char *const RootRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/></Relationships>";
const char *const Workbook =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
const char *const WorkbookRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
    "Target=\"sharedStrings.xml\"/></Relationships>";

// The data must stay alive until zip_close: libzip reads it only then.
bool add(zip_t *z, const char *name, const char *data, size_t size)
{
    zip_source_t *s = zip_source_buffer(z, data, zip_uint64_t(size), 0);
    if (!s)
        return false;
    const zip_int64_t index = zip_file_add(z, name, s, ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(s);
        return false;
    }
    zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_STORE, 0);
    return true;
}

bool add(zip_t *z, const char *name, const char *text)
{
    return add(z, name, text, std::strlen(text));
}

bool pack(const QString &path, const QByteArray &sheet, const QByteArray &shared)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z)
        return false;
    const bool ok = add(z, "[Content_Types].xml", ContentTypes) && add(z, "_rels/.rels", RootRels) &&
                    add(z, "xl/workbook.xml", Workbook) &&
                    add(z, "xl/_rels/workbook.xml.rels", WorkbookRels) &&
                    add(z, "xl/worksheets/sheet1.xml", sheet.constData(), size_t(sheet.size())) &&
                    add(z, "xl/sharedStrings.xml", shared.constData(), size_t(shared.size()));
    if (!ok) {
        zip_discard(z);
        return false;
    }
    return zip_close(z) == 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    const QString path = dir.filePath(QStringLiteral("sheet.xlsx"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (bytes.startsWith("PK")) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            std::abort();
    } else {
        const qsizetype nul = bytes.indexOf('\0');
        const QByteArray sheetXml = nul < 0 ? bytes : bytes.left(nul);
        const QByteArray shared = nul < 0 ? QByteArray("<sst xmlns=\"http://schemas.openxmlformats.org/"
                                                       "spreadsheetml/2006/main\"/>")
                                          : bytes.mid(nul + 1);
        if (!pack(path, sheetXml, shared))
            return 0;
    }

    // Limits small enough for the fuzzer's memory budget; the checks are the same as for the real ones.
    WorkbookLimits limits;
    limits.maxUncompressedBytes = 8 * 1024 * 1024;
    limits.maxCells = 200'000;
    WorkbookSheet sheet;
    QString error;
    static const bool verbose = qEnvironmentVariableIsSet("PENNAVOX_FUZZ_VERBOSE");
    if (!readFirstSheet(path, &sheet, &error, limits)) {
        if (error.isEmpty())
            std::abort(); // a refusal always says why
        if (verbose)
            std::fprintf(stderr, "refused: %s\n", qPrintable(error));
        return 0;
    }
    if (verbose)
        std::fprintf(stderr, "%d rows, %d columns\n", sheet.rowCount(), sheet.columnCount());
    if (sheet.rowCount() < 0 || sheet.columnCount() < 0 ||
        qint64(sheet.rowCount()) * qMax(1, sheet.columnCount()) > qint64(limits.maxRows) * limits.maxColumns)
        std::abort();
    const bool wide = sheet.columnCount() != 7;
    const int last = qMin(sheet.rowCount(), 5000);
    for (int row = 2; row <= last; ++row) {
        const PigeonExchange::SheetRow r = PigeonExchange::readRow(sheet, row, wide);
        if (r.empty || !r.skip.isEmpty())
            continue;
        // A row the import would store fits every column it fills.
        if (r.cells.size() != 9 || r.loft.isEmpty() || r.loft.size() > 10 || r.ring.isEmpty() ||
            r.ring.size() > 20 || r.sex.size() != 1 || r.ring.contains(QLatin1Char('%')))
            std::abort();
    }
    return 0;
}
