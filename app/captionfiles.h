#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class OperationSink;
class QIODevice;
class TdmORVS;

// The translations shipped with the program: one readable file per language (app/captions/*.tsv,
// built into the program), loaded into the caption table when a database is created, offered
// again from the setup page, and exported or imported so that a club can correct a translation.
//
// File form, UTF-8, one row a line, fields separated by tabs:
//   # comment lines and blank lines are skipped
//   Language<TAB>Deutsch                  (the LangCode of every row below; comes first)
//   formName<TAB>objectCode<TAB>property<TAB>caption
// A tab, line break or backslash inside a caption is written \t, \n, \\.
namespace CaptionFiles {

struct Entry
{
    QString formName;
    QString objectCode;
    int property = 0;
    QString caption;
};

struct File
{
    QString language; // LangCode
    std::vector<Entry> entries;
};

// The language names of the caption table, by Language value 1 to 6.
QStringList languages();
// "Deutsch", "de", "German" all give "Deutsch"; empty when unknown.
QString languageFromText(const QString &text);
// The ISO code of a language name ("Deutsch" -> "de"); empty when unknown.
QString isoCode(const QString &language);

// Parses a caption file; false with *error ("line 12: …") when it is not one.
bool parse(QIODevice &in, File *out, QString *error);
// Reads a file from disk; false with *error naming the file or the line.
bool read(const QString &path, File *out, QString *error);
void write(QIODevice &out, const File &file);
// Writes a file complete or not at all; false with *error.
bool save(const QString &path, const File &file, QString *error);

// The shipped file of a language (no entries when none is shipped).
File shipped(const QString &language);

// Replaces the caption table's rows of the file's language by the file's rows, in one
// transaction (nothing changes when a statement fails). Returns the number of rows stored.
int store(TdmORVS &dm, const File &file);
// Stores the shipped file of every language in one transaction; returns the number of rows.
int loadShipped(TdmORVS &dm);
// The setup page's offer of the shipped captions of one language: asks before replacing rows the
// table holds (with `whenMissing`, a language that has rows is left alone without a question) and
// says how many rows were stored. Returns the rows stored, 0 when nothing was.
int offerShipped(TdmORVS &dm, const QString &language, OperationSink &sink, bool whenMissing = false);
// Rows of one language in the caption table.
int rowCount(TdmORVS &dm, const QString &language);
// The caption table's rows of one language as a file.
File fromTable(TdmORVS &dm, const QString &language);

} // namespace CaptionFiles
