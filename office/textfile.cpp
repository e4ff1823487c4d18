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

bool TextFile::saveReporting(const QString &path, OperationSink &sink) const
{
    QString error;
    if (!save(path, &error)) {
        sink.failure(QStringLiteral("%1: %2").arg(path, error));
        return false;
    }
    if (unmappable_ > 0)
        sink.info(unmappableWarning(QFileInfo(path).fileName(), unmappable_));
    sink.success(path);
    return true;
}
