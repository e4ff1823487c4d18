#include "device/devicelink.h"

#include "device/serialportlink.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex mutex;
DeviceLinkOptions current;
DeviceLink::Factory factory;
std::shared_ptr<LinkTrace> trace;
} // namespace

void DeviceLink::configure(const DeviceLinkOptions &options)
{
    QMutexLocker lock(&mutex);
    if (options.traceFile != current.traceFile)
        trace = options.traceFile.isEmpty() ? nullptr : std::make_shared<LinkTrace>(options.traceFile);
    current = options;
}

DeviceLinkOptions DeviceLink::options()
{
    QMutexLocker lock(&mutex);
    return current;
}

void DeviceLink::setFactory(Factory f)
{
    QMutexLocker lock(&mutex);
    factory = std::move(f);
}

std::shared_ptr<LinkTrace> DeviceLink::sharedTrace()
{
    QMutexLocker lock(&mutex);
    return trace;
}

std::unique_ptr<ByteLink> DeviceLink::open(QString *error)
{
    Factory f;
    DeviceLinkOptions opts;
    std::shared_ptr<LinkTrace> t;
    {
        QMutexLocker lock(&mutex);
        f = factory;
        opts = current;
        t = trace;
    }
    std::unique_ptr<ByteLink> link;
    if (f) {
        link = f();
        if (link)
            link->setTrace(t);
        if (link && !link->isOpen() && error)
            *error = link->errorString();
        if (link)
            return link;
    }
    auto serial = std::make_unique<SerialPortLink>();
    serial->setTrace(t);
    const QString port = PortChoice::resolve(opts.port, opts.dataFolder);
    if (!serial->open(port) && error)
        *error = serial->errorString();
    return serial;
}

QString DeviceLink::describe()
{
    Factory f;
    DeviceLinkOptions opts;
    {
        QMutexLocker lock(&mutex);
        f = factory;
        opts = current;
    }
    return f ? QStringLiteral("the virtual antenna") : PortChoice::resolve(opts.port, opts.dataFolder);
}
