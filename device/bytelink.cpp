#include "device/bytelink.h"

#include "store/appclock.h"

#include <QMutexLocker>

LinkTrace::LinkTrace(const QString &path) : file_(path)
{
    file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

QString LinkTrace::hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

void LinkTrace::record(char direction, const QByteArray &bytes)
{
    note(direction, hex(bytes));
}

void LinkTrace::note(char direction, const QString &text)
{
    QMutexLocker lock(&mutex_);
    if (!file_.isOpen())
        return;
    const QString line = AppClock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) +
                         QLatin1Char(' ') + QLatin1Char(direction) + QLatin1Char(' ') + text +
                         QLatin1Char('\n');
    file_.write(line.toUtf8());
    file_.flush(); // a trace is read after a crash or a hang too
}

ByteLink::~ByteLink() = default;

void ByteLink::setError(const QString &text)
{
    error_ = text;
    ++errorCount_;
    if (trace_)
        trace_->note('!', text);
}

bool ByteLink::write(const QByteArray &bytes)
{
    if (trace_)
        trace_->record('>', bytes);
    return doWrite(bytes);
}

QByteArray ByteLink::read(int maxBytes)
{
    const QByteArray got = doRead(maxBytes);
    if (trace_ && !got.isEmpty())
        trace_->record('<', got);
    return got;
}

int ByteLink::bytesAvailable()
{
    return doBytesAvailable();
}

bool ByteLink::waitForBytes(int msecs)
{
    return doBytesAvailable() > 0 || doWaitForBytes(msecs);
}

void ByteLink::clear()
{
    if (doBytesAvailable() <= 0)
        return;
    const QByteArray stale = doRead(doBytesAvailable());
    if (trace_)
        trace_->record('x', stale);
    doClear();
}
