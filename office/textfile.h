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
    const QStringList &lines() const { return lines_; }
    QByteArray bytes() const;
    // Characters written as "?" (a character outside the BMP counts once).
    int unmappable() const { return unmappable_; }

    bool write(QIODevice &out, QString *error) const;
    // Through SaveFile: the target is replaced only when the whole file was written.
    bool save(const QString &path, QString *error) const;

    // Saves and reports: success "path", the "?" warning, or the failure. Returns success.
    bool saveReporting(const QString &path, OperationSink &sink) const;
    // The warning text for `n` replaced characters in `fileName`.
    static QString unmappableWarning(const QString &fileName, int n);

private:
    QStringList lines_;
    QByteArray bytes_;
    int unmappable_ = 0;
};
