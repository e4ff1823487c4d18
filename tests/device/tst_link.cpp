#include "device/devicelink.h"
#include "device/frame.h"
#include "device/serialportlink.h"
#include "rig.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

class TstLink : public QObject
{
    Q_OBJECT

private slots:
    void buildsFramesByteExact();
    void refusesBodiesOver250();
    void assemblesReplyInPieces();
    void gapOver50msEndsExchange();
    void shortReplyNeverCompletes();
    void checkByteAndStatusFailures();
    void trailingBytesSpoilReply();
    void staleBytesAreDiscarded();
    void silenceEndsAfterFirstByteWait();
    void replyTakenAtItsLastByte();
    void refusesReplyOver255();
    void linkErrorsReachTheUser();
    void choosesPort();
    void tracesEveryByte();
};

void TstLink::buildsFramesByteExact()
{
    QCOMPARE(*Frame::request(0x21, 0xC3, {}), QByteArray::fromHex("6C21C30050"));
    QCOMPARE(TWinApiV8::GetFCS(QByteArray::fromHex("6C21C300"), 4), quint8(0x50));
    QCOMPARE(TWinApiV8::GetFCS(QByteArray::fromHex("FFFF02AA"), 3), quint8(0x00)); // modulo 256
    QCOMPARE(TWinApiV8::GetFCS(QByteArray::fromHex("FFFF02AA"), 99), quint8(0xAA));

    Rig rig;
    QString no, owner;
    QVERIFY(rig.api->GetDeviceNo(no, owner));
    QCOMPARE(rig.sim.lastRequestFrame(), QByteArray::fromHex("6C21C30050"));
    QCOMPARE(no, QStringLiteral("1A2B3C4D"));
    QCOMPARE(owner, QStringLiteral("001"));

    // A device with no owner code yet: the four identity bytes and nothing more.
    rig.clock().owner.clear();
    QVERIFY(rig.api->GetDeviceNo(no, owner));
    QCOMPARE(owner, QString());
}

void TstLink::refusesBodiesOver250()
{
    Rig rig;
    QVERIFY(rig.verify());
    const int before = rig.sim.requestCount();
    QByteArray body;
    // 250 bytes make a 255-byte frame: sent (the sim answers it as a display text).
    QVERIFY(rig.api->ComSendRecv(0x21, 0xC4, QByteArray(250, 'x'), body));
    QCOMPARE(rig.sim.lastRequestFrame().size(), 255);
    QCOMPARE(rig.sim.requestCount(), before + 1);
    body = "untouched";
    QVERIFY(!rig.api->ComSendRecv(0x21, 0xC4, QByteArray(251, 'x'), body));
    QCOMPARE(body, QByteArray("Parameter length > 255 Byte Error !"));
    QCOMPARE(rig.sim.requestCount(), before + 1);                // nothing sent
    QVERIFY(!rig.api->DispMessage(QString(126, QChar(0x00E9)))); // 252 bytes of UTF-8
}

void TstLink::assemblesReplyInPieces()
{
    Rig rig;
    rig.sim.injectFault(QStringLiteral("pieces:4"));
    const double t0 = rig.link->nowMs();
    QString no, owner;
    QVERIFY(rig.api->GetDeviceNo(no, owner));
    QCOMPARE(no, QStringLiteral("1A2B3C4D"));
    QCOMPARE(rig.link->nowMs() - t0, 60.0);        // the last piece, not a moment later
    rig.sim.injectFault(QStringLiteral("gap:50")); // exactly 50 ms is still within the wait
    QVERIFY(rig.api->GetDeviceNo(no, owner));
}

void TstLink::gapOver50msEndsExchange()
{
    Rig rig;
    rig.sim.injectFault(QStringLiteral("gap:51"));
    QByteArray body = "kept";
    QVERIFY(!rig.api->ComSendRecv(0x21, 0xC3, {}, body));
    QCOMPARE(body, QByteArray("kept"));
    QVERIFY(rig.api->lastError().contains(QLatin1String("Incomplete")));
    // The late rest is stale by the next exchange and does not disturb it.
    QVERIFY(rig.link->waitForBytes(100));
    QVERIFY(rig.api->ComSendRecv(0x21, 0xC3, {}, body));
    QCOMPARE(body.left(4), QByteArray::fromHex("1A2B3C4D"));
}

void TstLink::shortReplyNeverCompletes()
{
    Rig rig;
    rig.sim.injectFault(QStringLiteral("short"));
    QByteArray body = "kept";
    const double t0 = rig.link->nowMs();
    QVERIFY(!rig.api->ComSendRecv(0x21, 0xC3, {}, body));
    QCOMPARE(body, QByteArray("kept"));
    QCOMPARE(rig.link->nowMs() - t0, 50.0);
}

void TstLink::checkByteAndStatusFailures()
{
    Rig rig;
    QByteArray body;
    rig.sim.injectFault(QStringLiteral("fcs"));
    QVERIFY(!rig.api->ComSendRecv(0x21, 0xC3, {}, body));
    QCOMPARE(body, QByteArray("FCS Not Match"));
    QCOMPARE(quint8(rig.sim.lastReplyFrame().at(4)), quint8(0)); // STATUS was 0

    rig.sim.injectFault(QStringLiteral("status:7"));
    QVERIFY(!rig.api->ComSendRecv(0x21, 0xC3, {}, body));
    QCOMPARE(body, QByteArray(" API Reply Status Fail !"));

    // A command the device does not know is refused by the device itself.
    QVERIFY(!rig.api->ComSendRecv(0x21, 0x99, {}, body));
    QCOMPARE(body, QByteArray(" API Reply Status Fail !"));
}

void TstLink::trailingBytesSpoilReply()
{
    Rig rig;
    rig.sim.injectFault(QStringLiteral("trailing:2"));
    QByteArray body = "kept";
    QVERIFY(!rig.api->ComSendRecv(0x21, 0xC3, {}, body));
    QCOMPARE(body, QByteArray("kept"));
}

void TstLink::staleBytesAreDiscarded()
{
    Rig rig;
    rig.sim.injectFault(QStringLiteral("stale:9"));
    QVERIFY(rig.link->bytesAvailable() == 9);
    QString no, owner;
    QVERIFY(rig.api->GetDeviceNo(no, owner));
    QCOMPARE(no, QStringLiteral("1A2B3C4D"));
    // Also after a failed exchange whose late bytes were left behind.
    rig.sim.injectFault(QStringLiteral("delay:5100"));
    QVERIFY(!rig.api->GetDeviceNo(no, owner));
    rig.link->waitForBytes(200);
    QVERIFY(rig.link->bytesAvailable() > 0);
    QVERIFY(rig.api->GetDeviceNo(no, owner));
}

void TstLink::silenceEndsAfterFirstByteWait()
{
    Rig rig;
    rig.sim.injectFault(QStringLiteral("silence"));
    QByteArray body = "kept";
    double t0 = rig.link->nowMs();
    QVERIFY(!rig.api->ComSendRecv(0x21, 0xC3, {}, body));
    QCOMPARE(rig.link->nowMs() - t0, 5000.0);
    QCOMPARE(body, QByteArray("kept"));
    QVERIFY(rig.api->lastError().contains(QLatin1String("5000")));
    QVERIFY(rig.sink.messages.isEmpty()); // a time-out is no port error

    rig.sim.injectFault(QStringLiteral("delay:4999"));
    t0 = rig.link->nowMs();
    QVERIFY(rig.api->ComSendRecv(0x21, 0xC3, {}, body));
    // After a time-out the line is first drained until quiet, then the request goes out.
    QCOMPARE(rig.link->nowMs() - t0, TWinApiV8::QuietMs + 4999.0);
}

void TstLink::replyTakenAtItsLastByte()
{
    Rig rig;
    rig.link->setByteTimeMs(SimLink::ByteTime9600);
    const double t0 = rig.link->nowMs();
    QString no, owner;
    QVERIFY(rig.api->GetDeviceNo(no, owner));
    // 5 request bytes out, 13 reply bytes back (4 identity bytes, "001"), nothing more.
    QCOMPARE(rig.sim.lastReplyFrame().size(), 13);
    QCOMPARE(rig.link->nowMs() - t0, (5 + 13) * SimLink::ByteTime9600);
}

void TstLink::refusesReplyOver255()
{
    Rig rig;
    rig.sim.injectFault(QStringLiteral("long"));
    QByteArray body = "kept";
    QVERIFY(!rig.api->ComSendRecv(0x21, 0xC3, {}, body));
    QCOMPARE(body, QByteArray("kept"));
    QVERIFY(rig.api->lastError().contains(QLatin1String("255")));
}

void TstLink::linkErrorsReachTheUser()
{
    Rig rig;
    rig.link->setBroken(QStringLiteral("Device removed"));
    QString no = QStringLiteral("x"), owner = QStringLiteral("y");
    QVERIFY(!rig.api->GetDeviceNo(no, owner));
    QCOMPARE(no, QStringLiteral("x"));
    QVERIFY(rig.sink.has(QStringLiteral("Device removed")));
    rig.link->setBroken({});
    QVERIFY(rig.api->GetDeviceNo(no, owner));

    // A port that cannot be opened: the driver exists, reports it, and every exchange fails.
    QTemporaryDir dir;
    DeviceLink::configure({dir.filePath(QStringLiteral("no-such-port")), {}, {}});
    RecordingSink sink;
    TWinApiV8 api(&sink);
    QVERIFY(!api.isOpen());
    QCOMPARE(sink.textsOf(MessageKind::Failure).size(), 1);
    QVERIFY(!api.GetDeviceNo(no, owner));
    DeviceLink::configure({});
}

void TstLink::choosesPort()
{
    QCOMPARE(PortChoice::choose({}, QStringLiteral("COM1")), QStringLiteral("COM1"));
    QCOMPARE(PortChoice::choose({QStringLiteral("COM7")}, QStringLiteral("COM1")), QStringLiteral("COM7"));
    QCOMPARE(PortChoice::choose({QStringLiteral("COM7"), QStringLiteral("COM3")}, QStringLiteral("COM1")),
             QStringLiteral("COM1"));

    QTemporaryDir dir;
    QCOMPARE(PortChoice::resolve(QStringLiteral("/dev/ttyUSB3"), dir.path()), QStringLiteral("/dev/ttyUSB3"));
    {
        QSettings ini(dir.filePath(QStringLiteral("ORVS.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Parameter/Port"), QStringLiteral("/dev/ttyACM0"));
    }
    QCOMPARE(PortChoice::resolve({}, dir.path()), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(PortChoice::resolve(QStringLiteral("COM4"), dir.path()), QStringLiteral("COM4"));
}

void TstLink::tracesEveryByte()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    {
        Rig rig;
        rig.link->setTrace(std::make_shared<LinkTrace>(path));
        rig.sim.injectFault(QStringLiteral("stale:2"));
        QString no, owner;
        QVERIFY(rig.api->GetDeviceNo(no, owner));
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).endsWith(QLatin1String(" x A5 A4")));
    QVERIFY(lines.at(1).endsWith(QLatin1String(" > 6C 21 C3 00 50")));
    QVERIFY(lines.at(2).contains(QLatin1String(" < 6C 21 C3 08 00 1A 2B 3C 4D 30 30 31 ")));
}

QTEST_GUILESS_MAIN(TstLink)
#include "tst_link.moc"
