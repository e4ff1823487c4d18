#include "device/serialportlink.h"

#include "store/orvsini.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>

SerialPortLink::SerialPortLink() = default;
SerialPortLink::~SerialPortLink()
{
    close();
}

bool SerialPortLink::open(const QString &portName)
{
    close();
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(portName);
    if (!port_->open(QIODevice::ReadWrite)) {
        setError(QStringLiteral("Cannot open serial port %1: %2").arg(portName, port_->errorString()));
        port_.reset();
        return false;
    }
    const bool ok = port_->setBaudRate(QSerialPort::Baud9600) && port_->setDataBits(QSerialPort::Data8) &&
                    port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::OneStop) &&
                    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        setError(QStringLiteral("Cannot set up serial port %1: %2").arg(portName, port_->errorString()));
        port_->close();
        port_.reset();
        return false;
    }
    return true;
}

void SerialPortLink::close()
{
    if (port_ && port_->isOpen())
        port_->close();
    port_.reset();
}

bool SerialPortLink::isOpen() const
{
    return port_ && port_->isOpen();
}

QString SerialPortLink::portName() const
{
    return port_ ? port_->portName() : QString();
}

bool SerialPortLink::doWrite(const QByteArray &bytes)
{
    if (!isOpen()) {
        setError(QStringLiteral("Serial port not open"));
        return false;
    }
    if (port_->write(bytes) != bytes.size()) {
        setError(port_->errorString());
        return false;
    }
    // The write time-out: 100 ms per byte plus one second.
    const int timeout = 100 * int(bytes.size()) + 1000;
    while (port_->bytesToWrite() > 0) {
        if (!port_->waitForBytesWritten(timeout)) {
            setError(port_->error() == QSerialPort::TimeoutError
                         ? QStringLiteral("Serial port write time-out")
                         : port_->errorString());
            return false;
        }
    }
    return true;
}

QByteArray SerialPortLink::doRead(int maxBytes)
{
    if (!isOpen())
        return {};
    return port_->read(maxBytes);
}

int SerialPortLink::doBytesAvailable()
{
    if (!isOpen())
        return 0;
    // Without an event loop nothing moves received bytes from the system into the port's
    // buffer: look without waiting, so that stale input is seen (and discarded) too.
    if (port_->bytesAvailable() == 0 && !port_->waitForReadyRead(0) &&
        port_->error() == QSerialPort::TimeoutError)
        port_->clearError();
    return int(port_->bytesAvailable());
}

bool SerialPortLink::doWaitForBytes(int msecs)
{
    if (!isOpen())
        return false;
    if (port_->waitForReadyRead(msecs))
        return true;
    if (port_->error() != QSerialPort::NoError && port_->error() != QSerialPort::TimeoutError) {
        setError(port_->errorString());
        port_->clearError();
    }
    return port_->bytesAvailable() > 0;
}

void SerialPortLink::doClear()
{
    if (isOpen())
        port_->clear(QSerialPort::AllDirections);
}

QString PortChoice::firstPlatformPort()
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM1");
#else
    return QStringLiteral("/dev/ttyS0");
#endif
}

QString PortChoice::choose(QStringList ports, const QString &firstPort)
{
    ports.sort();
    return ports.size() == 1 ? ports.first() : firstPort;
}

QStringList PortChoice::systemPorts()
{
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        if (info.portName().startsWith(QLatin1String("COM")))
            names << info.portName();
#else
        names << info.systemLocation();
#endif
    }
    names.sort();
    return names;
}

QString PortChoice::resolve(const QString &commandLinePort, const QString &dataFolder)
{
    if (!commandLinePort.isEmpty())
        return commandLinePort;
    if (!dataFolder.isEmpty()) {
        const QString fromIni = OrvsIni(dataFolder).value(QStringLiteral("Port")).trimmed();
        if (!fromIni.isEmpty())
            return fromIni;
    }
    return choose(systemPorts());
}
