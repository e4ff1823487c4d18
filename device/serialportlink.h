#pragma once

#include "device/bytelink.h"

#include <QStringList>
#include <memory>

class QSerialPort;

// The serial port to the antenna: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control; DTR and RTS are left alone. The port belongs to the thread that creates the link.
class SerialPortLink : public ByteLink
{
public:
    SerialPortLink();
    ~SerialPortLink() override;

    // Opens the port; false with errorString() when it cannot be opened.
    bool open(const QString &portName);
    void close();
    bool isOpen() const override;
    QString portName() const;

protected:
    bool doWrite(const QByteArray &bytes) override;
    QByteArray doRead(int maxBytes) override;
    int doBytesAvailable() override;
    bool doWaitForBytes(int msecs) override;
    void doClear() override;

private:
    std::unique_ptr<QSerialPort> port_;
};

namespace PortChoice {
// The platform's first serial port, used when there is not exactly one ("COM1", "/dev/ttyS0").
QString firstPlatformPort();
// Exactly one port -> that one; otherwise (none, or several) firstPort.
QString choose(QStringList ports, const QString &firstPort = firstPlatformPort());
// The serial ports the system reports (sorted system locations).
QStringList systemPorts();
// --port when given, else ORVS.ini key Port of section Parameter in dataFolder, else choose().
QString resolve(const QString &commandLinePort, const QString &dataFolder);
} // namespace PortChoice
