#include "app/captionfiles.h"

#include "office/savefile.h"
#include "store/operationsink.h"
#include "store/regularfile.h"
#include "store/tdmorvs.h"

#include <QFile>
#include <QTextStream>
#include <set>
#include <tuple>

namespace CaptionFiles {

namespace {
struct Language
{
    const char *name, *code, *english;
};
const Language table[] = {{"Czech", "cs", "Czech"},     {"Spanish", "es", "Spanish"},
                          {"Romania", "ro", "Romanian"}, {"Deutsch", "de", "German"},
                          {"French", "fr", "French"},    {"Hungary", "hu", "Hungarian"}};

QString escape(const QString &s)
{
    QString out = s;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    out.replace(QLatin1Char('\r'), QString());
    out.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return out;
}

QString unescape(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar n = s[++i];
            out += n == QLatin1Char('t')   ? QChar(QLatin1Char('\t'))
                   : n == QLatin1Char('n') ? QChar(QLatin1Char('\n'))
                                           : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

void insertRows(TdmORVS &dm, const File &file)
{
    dm.exec(QStringLiteral("DELETE FROM ORV_Object_Caption WHERE LangCode=?"), {file.language});
    for (const Entry &e : file.entries)
        dm.exec(QStringLiteral("INSERT INTO ORV_Object_Caption (LangCode, formName, objectCode, caption, property) "
                               "VALUES (?,?,?,?,?)"),
                {file.language, e.formName, e.objectCode, e.caption, e.property});
}
} // namespace

QStringList languages()
{
    QStringList out;
    for (const Language &l : table)
        out << QString::fromLatin1(l.name);
    return out;
}

QString languageFromText(const QString &text)
{
    const QString t = text.trimmed();
    for (const Language &l : table)
        if (t.compare(QLatin1String(l.name), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String(l.code), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String(l.english), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(l.name);
    return {};
}

QString isoCode(const QString &language)
{
    for (const Language &l : table)
        if (language == QLatin1String(l.name))
            return QString::fromLatin1(l.code);
    return {};
}

bool parse(QIODevice &in, File *out, QString *error)
{
    File f;
    std::set<std::tuple<QString, QString, int>> seen;
    int lineNo = 0;
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(lineNo).arg(why);
        return false;
    };
    // Six languages' captions take a few hundred kB; anything far larger is not a caption file.
    constexpr qint64 MaxBytes = 16 * 1024 * 1024;
    QByteArray all = in.read(MaxBytes + 1);
    if (all.size() > MaxBytes)
        return fail(QStringLiteral("the file is too large for a caption file"));
    // Lines may end with CR LF, LF or CR alone (older Mac editors).
    all.replace("\r\n", "\n");
    all.replace('\r', '\n');
    QList<QByteArray> rawLines = all.split('\n');
    if (!rawLines.isEmpty() && rawLines.last().isEmpty())
        rawLines.removeLast(); // the end of the last line
    for (const QByteArray &raw : rawLines) {
        ++lineNo;
        QString line = QString::fromUtf8(raw);
        if (line.contains(QChar::ReplacementCharacter) && !raw.contains("\xEF\xBF\xBD"))
            return fail(QStringLiteral("not UTF-8 text"));
        if (lineNo == 1 && line.startsWith(QChar(0xFEFF))) // a byte order mark some editors add
            line.remove(0, 1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts[0] == QLatin1String("Language")) {
            if (parts.size() != 2)
                return fail(QStringLiteral("\"Language\", a tab and the language expected"));
            if (!f.language.isEmpty())
                return fail(QStringLiteral("a second \"Language\" line"));
            f.language = languageFromText(parts[1]);
            if (f.language.isEmpty())
                return fail(QStringLiteral("unknown language \"%1\"").arg(parts[1]));
            continue;
        }
        if (f.language.isEmpty())
            return fail(QStringLiteral("a \"Language\" line must come first"));
        if (parts.size() != 4)
            return fail(QStringLiteral("4 fields separated by tabs expected, found %1").arg(parts.size()));
        bool ok = false;
        const int property = parts[2].trimmed().toInt(&ok);
        if (!ok || property < 0)
            return fail(QStringLiteral("the order \"%1\" is not a number").arg(parts[2]));
        if (parts[0].trimmed().isEmpty() || parts[1].trimmed().isEmpty())
            return fail(QStringLiteral("a form and a control name expected"));
        if (!seen.insert({parts[0].trimmed(), parts[1].trimmed(), property}).second)
            return fail(QStringLiteral("%1 %2 %3 given twice").arg(parts[0], parts[1]).arg(property));
        f.entries.push_back({parts[0].trimmed(), parts[1].trimmed(), property, unescape(parts[3])});
    }
    if (f.language.isEmpty())
        return fail(QStringLiteral("no \"Language\" line"));
    *out = std::move(f);
    return true;
}

bool read(const QString &path, File *out, QString *error)
{
    if (const QString refused = RegularFile::refusal(path); !refused.isEmpty()) {
        if (error)
            *error = refused;
        return false;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, in.errorString());
        return false;
    }
    QString why;
    if (parse(in, out, &why))
        return true;
    if (error)
        *error = QStringLiteral("%1, %2").arg(path, why);
    return false;
}

void write(QIODevice &out, const File &file)
{
    QTextStream s(&out);
    s.setEncoding(QStringConverter::Utf8);
    s << "# Captions of the pages and reports: form, control, order, text, separated by tabs.\n";
    s << "Language\t" << file.language << '\n';
    QString form;
    for (const Entry &e : file.entries) {
        if (e.formName != form) {
            s << '\n';
            form = e.formName;
        }
        s << e.formName << '\t' << e.objectCode << '\t' << e.property << '\t' << escape(e.caption) << '\n';
    }
}

bool save(const QString &path, const File &file, QString *error)
{
    QString reason;
    const bool saved = SaveFile::write(
        path,
        [&](QIODevice &out, QString *) {
            write(out, file);
            return true;
        },
        &reason);
    if (!saved && error)
        *error = QStringLiteral("%1: %2").arg(path, reason);
    return saved;
}

File shipped(const QString &language)
{
    File f;
    f.language = language;
    QFile in(QStringLiteral(":/captions/%1.tsv").arg(isoCode(language)));
    File parsed;
    if (in.open(QIODevice::ReadOnly) && parse(in, &parsed, nullptr) && parsed.language == language)
        return parsed;
    return f;
}

int store(TdmORVS &dm, const File &file)
{
    Transaction tx(dm);
    insertRows(dm, file);
    tx.commit();
    return static_cast<int>(file.entries.size());
}

int loadShipped(TdmORVS &dm)
{
    int n = 0;
    Transaction tx(dm);
    for (const QString &lang : languages()) {
        const File f = shipped(lang);
        if (f.entries.empty()) // a language without a shipped file keeps what the club has
            continue;
        insertRows(dm, f);
        n += static_cast<int>(f.entries.size());
    }
    tx.commit();
    return n;
}

int offerShipped(TdmORVS &dm, const QString &language, OperationSink &sink, bool whenMissing)
{
    if (language.isEmpty()) {
        if (!whenMissing)
            sink.info(QStringLiteral("English is the program's own language: it needs no translations."));
        return 0;
    }
    const File file = shipped(language);
    if (file.entries.empty()) {
        sink.failure(QStringLiteral("The program holds no translations for %1.").arg(language));
        return 0;
    }
    const int present = rowCount(dm, language);
    if (present > 0) {
        if (whenMissing)
            return 0;
        if (sink.ask(QStringLiteral("The database holds %1 captions for %2, perhaps corrected by the club.\n"
                                    "Replace them with the program's %3 translations?")
                         .arg(present)
                         .arg(language)
                         .arg(file.entries.size())) != Answer::Yes)
            return 0;
    } else if (whenMissing &&
               sink.ask(QStringLiteral("The database holds no captions for %1.\nLoad the program's %2 translations?")
                            .arg(language)
                            .arg(file.entries.size())) != Answer::Yes) {
        return 0;
    }
    const int n = store(dm, file);
    sink.success(QStringLiteral("%1 captions for %2 stored.").arg(n).arg(language));
    return n;
}

int rowCount(TdmORVS &dm, const QString &language)
{
    return dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_Object_Caption WHERE LangCode=?"), {language}).toInt();
}

File fromTable(TdmORVS &dm, const QString &language)
{
    File f;
    f.language = language;
    for (const auto &r : dm.rows(QStringLiteral("SELECT formName, objectCode, property, caption FROM ORV_Object_Caption "
                                                "WHERE LangCode=? ORDER BY formName, objectCode, property"),
                                 {language}))
        f.entries.push_back({r.value(0).toString(), r.value(1).toString(), r.value(2).toInt(), r.value(3).toString()});
    return f;
}

} // namespace CaptionFiles
