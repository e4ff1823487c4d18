#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;
class OperationSink;

// A text exchange file: lines in Windows-1252, each ended by CR LF. A character the code page
// cannot hold is written as "?" and counted, so the caller can warn instead of losing it silently.
class TextFile
{
public:
    void addLine(const QString &line);
    // A comma-separated line. The files carry no quoting, so a comma inside a field would shift
    // every field after it: it is written as a blank and counted.
    void addFields(const QStringList &fields);
    const QStringList &lines() const { return lines_; }
    QByteArray bytes() const;
    // Characters written as "?" (a character outside the BMP counts once).
    int unmappable() const { return unmappable_; }
    // Commas inside fields written as blanks.
    int commasBlanked() const { return commas_; }

    bool write(QIODevice &out, QString *error) const;
    // Through SaveFile: the target is replaced only when the whole file was written.
    bool save(const QString &path, QString *error) const;

    // Saves and reports: success "path", the "?" and comma warnings, or the failure. Returns success.
    bool saveReporting(const QString &path, OperationSink &sink) const;
    // The warning text for `n` replaced characters in `fileName`.
    static QString unmappableWarning(const QString &fileName, int n);
    // The warning text for `n` commas written as blanks in `fileName`.
    static QString commaWarning(const QString &fileName, int n);
    // Both warnings of this file, as info messages.
    void reportWarnings(const QString &fileName, OperationSink &sink) const;

private:
    QStringList lines_;
    QByteArray bytes_;
    int unmappable_ = 0;
    int commas_ = 0;
};
