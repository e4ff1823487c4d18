#include "office/packagefix.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <list>
#include <zip.h>

namespace {
const QByteArray relsName = "xl/_rels/workbook.xml.rels";
const QByteArray sstName = "xl/sharedStrings.xml";
const QByteArray typesName = "[Content_Types].xml";

struct Archive
{
    zip_t *z = nullptr;
    ~Archive()
    {
        if (z)
            zip_discard(z);
    }
};

bool readEntry(zip_t *z, zip_int64_t index, QByteArray *out)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(z, zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return false;
    zip_file_t *f = zip_fopen_index(z, zip_uint64_t(index), 0);
    if (!f)
        return false;
    out->resize(qsizetype(st.size));
    const zip_int64_t n = zip_fread(f, out->data(), st.size);
    zip_fclose(f);
    return n == zip_int64_t(st.size);
}

void copyStart(const QXmlStreamReader &r, QXmlStreamWriter &w, const QXmlStreamAttributes &attrs)
{
    w.writeStartElement(r.namespaceUri().toString(), r.name().toString());
    for (const auto &ns : r.namespaceDeclarations())
        w.writeNamespace(ns.namespaceUri().toString(), ns.prefix().toString());
    w.writeAttributes(attrs);
}

// Rewrites inline-string cells as shared-string cells numbered from `base`; the texts go to `added`.
bool moveInlineStrings(const QByteArray &sheet, int base, QStringList &added, QByteArray *out)
{
    QXmlStreamReader r(sheet);
    QXmlStreamWriter w(out);
    w.setAutoFormatting(false);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("c")
            && r.attributes().value(QLatin1String("t")) == QLatin1String("inlineStr")) {
            QXmlStreamAttributes attrs;
            for (const auto &a : r.attributes())
                attrs.append(a.qualifiedName() == QLatin1String("t")
                                 ? QXmlStreamAttribute(QStringLiteral("t"), QStringLiteral("s"))
                                 : a);
            const QString uri = r.namespaceUri().toString();
            const QString name = r.name().toString();
            const auto declarations = r.namespaceDeclarations();
            QString text;
            int depth = 1;
            while (depth > 0 && !r.atEnd()) {
                r.readNext();
                if (r.isStartElement()) {
                    if (r.name() == QLatin1String("t"))
                        text += r.readElementText(QXmlStreamReader::IncludeChildElements);
                    else
                        ++depth;
                } else if (r.isEndElement()) {
                    --depth;
                }
            }
            if (text.isEmpty())
                continue; // an empty text cell is a blank cell
            w.writeStartElement(uri, name);
            for (const auto &ns : declarations)
                w.writeNamespace(ns.namespaceUri().toString(), ns.prefix().toString());
            w.writeAttributes(attrs);
            w.writeTextElement(uri, QStringLiteral("v"), QString::number(base + added.size()));
            added << text;
            w.writeEndElement();
            continue;
        }
        if (r.isStartDocument()) {
            w.writeStartDocument(QStringLiteral("1.0"), true);
            continue;
        }
        if (r.isStartElement()) {
            copyStart(r, w, r.attributes());
            continue;
        }
        w.writeCurrentToken(r);
    }
    return !r.hasError();
}

// Appends `texts` to a shared string table (a new one when `table` is empty).
bool appendStrings(const QByteArray &table, const QStringList &texts, QByteArray *out, int *existing)
{
    static const QString ns = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    QXmlStreamWriter w(out);
    auto writeItems = [&](const QString &uri) {
        for (const QString &t : texts) {
            w.writeStartElement(uri, QStringLiteral("si"));
            w.writeStartElement(uri, QStringLiteral("t"));
            w.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            w.writeCharacters(t);
            w.writeEndElement();
            w.writeEndElement();
        }
    };
    *existing = 0;
    if (table.isEmpty()) {
        w.writeStartDocument(QStringLiteral("1.0"), true);
        w.writeDefaultNamespace(ns);
        w.writeStartElement(ns, QStringLiteral("sst"));
        writeItems(ns);
        w.writeEndElement();
        w.writeEndDocument();
        return true;
    }
    QXmlStreamReader r(table);
    int depth = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            ++depth;
            if (depth == 2 && r.name() == QLatin1String("si"))
                ++*existing;
            QXmlStreamAttributes attrs;
            for (const auto &a : r.attributes())
                if (depth != 1 || (a.name() != QLatin1String("count") && a.name() != QLatin1String("uniqueCount")))
                    attrs.append(a);
            copyStart(r, w, attrs);
            continue;
        }
        if (r.isEndElement()) {
            if (--depth == 0)
                writeItems(r.namespaceUri().toString());
            w.writeEndElement();
            continue;
        }
        w.writeCurrentToken(r);
    }
    return !r.hasError();
}

// Counts the items of a shared string table without keeping them.
int countStrings(const QByteArray &table)
{
    QXmlStreamReader r(table);
    int depth = 0, n = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && ++depth == 2 && r.name() == QLatin1String("si"))
            ++n;
        else if (r.isEndElement())
            --depth;
    }
    return n;
}
} // namespace

// The reading library stops the whole program on some malformed XML (an assertion in its
// parser), so every XML part is read once here and a damaged one is refused with a message.
namespace {
// False with the message in *error when the part is not well-formed XML within the limits.
bool checkXml(const QByteArray &name, const QByteArray &xml, const PackageFix::XmlLimits &limits,
              qint64 *elements, QString *error)
{
    const QString part = QString::fromUtf8(name);
    auto tooLarge = [&](const QString &why) {
        *error = QStringLiteral("The workbook cannot be read: its part %1 %2.").arg(part, why);
        return false;
    };
    QXmlStreamReader r(xml);
    int depth = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (++depth > limits.maxDepth)
                return tooLarge(QStringLiteral("is nested more than %1 levels deep").arg(limits.maxDepth));
            if (++*elements > limits.maxElements)
                return tooLarge(QStringLiteral("brings the workbook over %1 XML elements").arg(limits.maxElements));
        } else if (r.isEndElement()) {
            --depth;
        }
    }
    if (r.hasError()) {
        *error = QStringLiteral("The workbook is damaged: its part %1 cannot be read.").arg(part);
        return false;
    }
    return true;
}
} // namespace

std::vector<QString> PackageFix::sharedTexts(const QByteArray &table)
{
    std::vector<QString> texts;
    QXmlStreamReader r(table);
    QStringList open; // names of the open elements, from the root
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            open << r.name().toString();
            if (open.size() == 2 && open.at(1) == QLatin1String("si"))
                texts.emplace_back();
        } else if (r.isEndElement()) {
            open.removeLast();
        } else if (r.isCharacters() && !texts.empty() && open.size() >= 3 && open.last() == QLatin1String("t")
                   && open.at(1) == QLatin1String("si")
                   && (open.size() == 3 || (open.size() == 4 && open.at(2) == QLatin1String("r")))) {
            texts.back() += r.text();
        }
    }
    return texts;
}

bool PackageFix::normalise(const QString &path, const QString &copyPath, bool *changed, QString *error,
                           const XmlLimits &limits, std::vector<QString> *sharedTexts)
{
    *changed = false;
    Archive src;
    int code = 0;
    src.z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!src.z) {
        *error = QStringLiteral("The file is not an Excel workbook (.xlsx).");
        return false;
    }
    const zip_int64_t n = zip_get_num_entries(src.z, 0);
    std::map<QByteArray, zip_int64_t> index;
    for (zip_int64_t i = 0; i < n; ++i)
        index[QByteArray(zip_get_name(src.z, zip_uint64_t(i), 0))] = i;
    qint64 elements = 0;
    for (const auto &[name, i] : index) {
        const QByteArray lower = name.toLower();
        const bool xmlName = lower.endsWith(".xml") || lower.endsWith(".rels");
        QByteArray part;
        if (!readEntry(src.z, i, &part)) {
            if (!xmlName)
                continue; // pictures and the like are never read
            *error = QStringLiteral("The workbook is damaged: its part %1 cannot be read.")
                         .arg(QString::fromUtf8(name));
            return false;
        }
        // A relationship may name a part of any name as a sheet: whatever looks like XML is checked.
        if ((xmlName || part.trimmed().startsWith('<')) && !checkXml(name, part, limits, &elements, error))
            return false;
    }

    std::map<QByteArray, QByteArray> replaced; // entry name -> new content
    QByteArray rels;
    if (index.count(relsName) && readEntry(src.z, index[relsName], &rels) && rels.contains("Target=\"/")) {
        // Absolute part names become names relative to xl/.
        rels.replace("Target=\"/xl/", "Target=\"");
        replaced[relsName] = rels;
    }

    QByteArray table;
    const bool hasTable = index.count(sstName) && readEntry(src.z, index[sstName], &table);
    const int base = hasTable ? countStrings(table) : 0;
    QStringList added;
    for (const auto &[name, i] : index) {
        if (!name.startsWith("xl/worksheets/") || !name.endsWith(".xml"))
            continue;
        QByteArray sheet;
        if (!readEntry(src.z, i, &sheet) || !sheet.contains("inlineStr"))
            continue;
        QByteArray fixed;
        if (!moveInlineStrings(sheet, base, added, &fixed)) {
            *error = QStringLiteral("The workbook is damaged: a worksheet cannot be read.");
            return false;
        }
        replaced[name] = fixed;
    }
    if (sharedTexts && hasTable)
        *sharedTexts = PackageFix::sharedTexts(table);
    if (!added.isEmpty()) {
        if (sharedTexts)
            for (const QString &t : added)
                sharedTexts->push_back(t);
        QByteArray newTable;
        int existing = 0;
        appendStrings(hasTable ? table : QByteArray(), added, &newTable, &existing);
        replaced[sstName] = newTable;
        if (!hasTable) {
            QByteArray r = replaced.count(relsName) ? replaced[relsName] : rels;
            if (r.isEmpty() && index.count(relsName))
                readEntry(src.z, index[relsName], &r);
            r.replace("</Relationships>",
                      "<Relationship Id=\"rIdPennavoxSst\" Type=\"http://schemas.openxmlformats.org/"
                      "officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                      "</Relationships>");
            replaced[relsName] = r;
            QByteArray types;
            if (index.count(typesName) && readEntry(src.z, index[typesName], &types)) {
                types.replace("</Types>", "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
                                          "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/></Types>");
                replaced[typesName] = types;
            }
        }
    }
    if (replaced.empty())
        return true;

    zip_t *dst = zip_open(QFile::encodeName(copyPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!dst) {
        *error = QStringLiteral("The workbook cannot be read: no room for a working copy.");
        return false;
    }
    bool ok = true;
    for (const auto &[name, i] : index) {
        zip_source_t *s = nullptr;
        auto it = replaced.find(name);
        if (it != replaced.end())
            s = zip_source_buffer(dst, it->second.constData(), zip_uint64_t(it->second.size()), 0);
        else
            s = zip_source_zip(dst, src.z, zip_uint64_t(i), 0, 0, -1);
        if (!s || zip_file_add(dst, name.constData(), s, ZIP_FL_OVERWRITE) < 0) {
            if (s)
                zip_source_free(s);
            ok = false;
            break;
        }
    }
    if (ok && !index.count(sstName) && replaced.count(sstName)) {
        const QByteArray &t = replaced[sstName];
        zip_source_t *s = zip_source_buffer(dst, t.constData(), zip_uint64_t(t.size()), 0);
        ok = s && zip_file_add(dst, sstName.constData(), s, ZIP_FL_OVERWRITE) >= 0;
    }
    if (!ok || zip_close(dst) != 0) {
        zip_discard(dst); // a failed close leaves the archive open
        *error = QStringLiteral("The workbook is damaged: it cannot be unpacked.");
        return false;
    }
    *changed = true;
    return true;
}
