#include "office/textfile.h"

#include "device/ansitext.h"
#include "office/savefile.h"
#include "store/operationsink.h"

#include <QFileInfo>
#include <QIODevice>

void TextFile::addLine(const QString &line)
{
    lines_ << line;
    int lost = 0;
    bytes_ += AnsiText::encode(line, &lost);
    bytes_ += "\r\n";
    unmappable_ += lost;
}

void TextFile::addFields(const QStringList &fields)
{
    QStringList clean;
    clean.reserve(fields.size());
    for (QString f : fields) {
        commas_ += int(f.count(QLatin1Char(',')));
        clean << f.replace(QLatin1Char(','), QLatin1Char(' '));
    }
    addLine(clean.join(QLatin1Char(',')));
}

QByteArray TextFile::bytes() const
{
    return bytes_;
}

bool TextFile::write(QIODevice &out, QString *error) const
{
    if (out.write(bytes_) != bytes_.size()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

bool TextFile::save(const QString &path, QString *error) const
{
    return SaveFile::write(path, bytes_, error);
}

QString TextFile::unmappableWarning(const QString &fileName, int n)
{
    return QStringLiteral("%1: %2 character(s) not in the Windows-1252 code page were written as \"?\".")
        .arg(fileName)
        .arg(n);
}

QString TextFile::commaWarning(const QString &fileName, int n)
{
    return QStringLiteral("%1: %2 comma(s) inside fields were written as blanks, so that the fields stay in "
                          "their places.")
        .arg(fileName)
        .arg(n);
}

void TextFile::reportWarnings(const QString &fileName, OperationSink &sink) const
{
    if (unmappable_ > 0)
        sink.info(unmappableWarning(fileName, unmappable_));
    if (commas_ > 0)
        sink.info(commaWarning(fileName, commas_));
}

bool TextFile::saveReporting(const QString &path, OperationSink &sink) const
{
    QString error;
    if (!save(path, &error)) {
        sink.failure(QStringLiteral("%1: %2").arg(path, error));
        return false;
    }
    reportWarnings(QFileInfo(path).fileName(), sink);
    sink.success(path);
    return true;
}
