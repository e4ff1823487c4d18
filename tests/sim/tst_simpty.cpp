// The simulator program on a real pseudo-terminal, reached through the serial port link and
// through pennavox-cli.

#include "device/serialportlink.h"
#include "device/twinapiv8.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class TstSimPty : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cliVerifiesClockAndRefusesWrongPassword();
    void serialLinkSurvivesFaultsOnTheWire();
    void writesStateBack();

private:
    bool startSim(const QStringList &extra = {});
    QString send(const QString &line); // a stdin command, returns the sim's answer line
    struct Run
    {
        int code;
        QString out;
    };
    Run cli(const QStringList &args);

    QTemporaryDir dir_;
    QProcess sim_;
    QString pty_;
};

void TstSimPty::init()
{
    QVERIFY(dir_.isValid());
    QFile f(dir_.filePath(QStringLiteral("devices.json")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(R"({"antenna":{"deviceNo":"A0000001","owner":"NC"},
                "clocks":[{"deviceNo":"1A2B3C4D","owner":"CLOCK_001"},
                          {"deviceNo":"55667788","owner":"002","password":"0123456789ABCDEF"}]})");
}

void TstSimPty::cleanup()
{
    if (sim_.state() != QProcess::NotRunning) {
        sim_.terminate();
        if (!sim_.waitForFinished(3000)) {
            sim_.kill();
            sim_.waitForFinished(3000);
        }
    }
}

bool TstSimPty::startSim(const QStringList &extra)
{
    sim_.setProgram(QStringLiteral(SIM_EXE));
    sim_.setArguments(
        QStringList{QStringLiteral("--devices"), dir_.filePath(QStringLiteral("devices.json"))} + extra);
    sim_.start();
    if (!sim_.waitForStarted(5000))
        return false;
    QElapsedTimer t;
    t.start();
    while (!sim_.canReadLine() && t.elapsed() < 5000)
        sim_.waitForReadyRead(100);
    pty_ = QString::fromLocal8Bit(sim_.readLine()).trimmed();
    return pty_.startsWith(QLatin1Char('/'));
}

QString TstSimPty::send(const QString &line)
{
    sim_.write(line.toLocal8Bit() + '\n');
    QElapsedTimer t;
    t.start();
    while (!sim_.canReadLine() && t.elapsed() < 5000)
        sim_.waitForReadyRead(100);
    return QString::fromLocal8Bit(sim_.readLine()).trimmed();
}

TstSimPty::Run TstSimPty::cli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(CLI_EXE),
            QStringList{QStringLiteral("--data"), dir_.filePath(QStringLiteral("data")),
                        QStringLiteral("--port"), pty_} +
                args);
    p.waitForFinished(20000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput())};
}

void TstSimPty::cliVerifiesClockAndRefusesWrongPassword()
{
    QVERIFY(startSim({QStringLiteral("--trace"), dir_.filePath(QStringLiteral("sim-trace.txt"))}));
    Run r = cli({QStringLiteral("--trace"), dir_.filePath(QStringLiteral("cli-trace.txt")),
                 QStringLiteral("device-info")});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(QLatin1String("DeviceNo: 1A2B3C4D")), qPrintable(r.out));
    QVERIFY(r.out.contains(QLatin1String("LoftNo: CLOCK_001")));
    QVERIFY(r.out.contains(QLatin1String("success: Verified")));
    // Both sides traced the same bytes.
    QFile cliTrace(dir_.filePath(QStringLiteral("cli-trace.txt")));
    QVERIFY(cliTrace.open(QIODevice::ReadOnly));
    QVERIFY(cliTrace.readAll().contains("> 6C 21 C3 00 50"));

    QCOMPARE(send(QStringLiteral("connect 2")), QStringLiteral("connected 2 55667788 owner=002"));
    r = cli({QStringLiteral("device-info")});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.out.contains(QLatin1String("failure: ComVerify Error :")), qPrintable(r.out));
    QVERIFY(r.out.contains(QLatin1String("DeviceNo: 55667788")));

    QCOMPARE(send(QStringLiteral("disconnect")), QStringLiteral("connected antenna A0000001 owner=NC"));
    r = cli({QStringLiteral("device-antenna-id")});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains(QLatin1String("AntennaID: A0000001")));

    QVERIFY(send(QStringLiteral("fault silence@GetDeviceNo")).startsWith(QLatin1String("fault queued")));
    r = cli({QStringLiteral("device-info")});
    QCOMPARE(r.code, 1);
    QVERIFY(r.out.contains(QLatin1String("failure: Please connect to club antenna and clock.")));
    QVERIFY(send(QStringLiteral("fault bogus")).startsWith(QLatin1String("error:")));
}

void TstSimPty::serialLinkSurvivesFaultsOnTheWire()
{
    QVERIFY(startSim({QStringLiteral("--pace")}));
    auto link = std::make_unique<SerialPortLink>();
    QVERIFY2(link->open(pty_), qPrintable(link->errorString()));
    TWinApiV8 api(std::move(link));
    QString no, owner;
    QElapsedTimer t;
    t.start();
    QVERIFY(api.GetDeviceNo(no, owner));
    QCOMPARE(owner, QStringLiteral("CLOCK_001"));
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));

    send(QStringLiteral("fault pieces:4"));
    QVERIFY(api.GetDeviceNo(no, owner));
    send(QStringLiteral("fault gap:200"));
    owner.clear();
    QVERIFY(!api.GetDeviceNo(no, owner));
    QVERIFY(owner.isEmpty());
    // No event loop runs here (as in the CLI or a worker thread): the late rest and the stale
    // bytes wait in the terminal itself...
    QThread::msleep(300);
    send(QStringLiteral("fault stale:7"));
    QThread::msleep(100);
    QVERIFY(api.GetDeviceNo(no, owner)); // ...and is discarded with the stale bytes
    QCOMPARE(no, QStringLiteral("1A2B3C4D"));
    send(QStringLiteral("fault fcs"));
    QByteArray body;
    QVERIFY(!api.ComSendRecv(0x21, 0xC3, {}, body));
    QCOMPARE(body, QByteArray("FCS Not Match"));
    send(QStringLiteral("fault silence"));
    t.restart();
    QVERIFY(!api.ComSendRecv(0x21, 0xC3, {}, body));
    QVERIFY2(t.elapsed() >= 5000 && t.elapsed() < 6500, qPrintable(QString::number(t.elapsed())));

    QString reply;
    QByteArray rdev, rpc, key;
    QVERIFY(api.ComVerify(QStringLiteral("1A2B3C4D"), TWinApiV8::DiverseKey(QStringLiteral("1A2B3C4D")), rdev,
                          rpc, key));
    QVERIFY(
        api.SaveRace(key, QStringLiteral("1234A526"), QStringLiteral("LiberCode:1234%PrintCount:#2"), reply));
    send(QStringLiteral("fault refuse:1287@queryRaceRecord"));
    QVERIFY(!api.QueryRaceRecord(key, QStringLiteral("NL-1"), QStringLiteral("RaceCode"), reply));
    QCOMPARE(reply, QStringLiteral("{\"error\":1287}"));
}

void TstSimPty::writesStateBack()
{
    const QString state = dir_.filePath(QStringLiteral("state.json"));
    QVERIFY(startSim({QStringLiteral("--state-out"), state}));
    auto link = std::make_unique<SerialPortLink>();
    QVERIFY(link->open(pty_));
    TWinApiV8 api(std::move(link));
    QString no, owner, reply;
    QByteArray rdev, rpc, key;
    QVERIFY(api.GetDeviceNo(no, owner));
    QVERIFY(api.ComVerify(no, TWinApiV8::DiverseKey(no), rdev, rpc, key));
    QVERIFY(api.SavePigeon(key, QStringLiteral("NL-2024-7"), QStringLiteral("Year:#2024%Sex:#1"), reply));
    sim_.write("quit\n");
    QVERIFY(sim_.waitForFinished(5000));
    QCOMPARE(sim_.exitCode(), 0);

    QFile f(state);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
    const QJsonObject clock = root.value(QStringLiteral("clocks")).toArray().at(0).toObject();
    const QJsonObject pigeon = clock.value(QStringLiteral("pigeons")).toArray().at(0).toObject();
    QCOMPARE(pigeon.value(QStringLiteral("AssocNum")).toString(), QStringLiteral("NL-2024-7"));
    QCOMPARE(pigeon.value(QStringLiteral("Sex")).toInt(), 1);
    QCOMPARE(root.value(QStringLiteral("connected")).toInt(), 1);
}

QTEST_GUILESS_MAIN(TstSimPty)
#include "tst_simpty.moc"
