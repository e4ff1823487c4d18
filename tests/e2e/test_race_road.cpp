#include "clockops/clockstamp.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

// Create a race, enter a pigeon, synchronise the clock, read the marking, read the arrival and
// rank it: each step a separate pennavox-cli run on the serial port of the simulator program.
class TestRaceRoad : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void raceFromClubToRanking();

private:
    bool startSim(const QString &devices);
    void stopSim();
    struct Run
    {
        int code;
        QString out;
    };
    Run cli(const QStringList &args);
    void sql(const QString &statement);

    QTemporaryDir dir_;
    QProcess sim_;
    QString pty_;
};

void TestRaceRoad::cleanup()
{
    stopSim();
}

bool TestRaceRoad::startSim(const QString &devices)
{
    sim_.setProgram(QStringLiteral(SIM_EXE));
    sim_.setArguments({"--devices", devices, "--state-out", dir_.filePath("state.json")});
    sim_.start();
    if (!sim_.waitForStarted(5000))
        return false;
    QElapsedTimer t;
    t.start();
    while (!sim_.canReadLine() && t.elapsed() < 5000)
        sim_.waitForReadyRead(100);
    pty_ = QString::fromLocal8Bit(sim_.readLine()).trimmed();
    return pty_.startsWith('/');
}

void TestRaceRoad::stopSim()
{
    if (sim_.state() == QProcess::NotRunning)
        return;
    sim_.write("quit\n");
    if (!sim_.waitForFinished(5000)) {
        sim_.kill();
        sim_.waitForFinished(3000);
    }
}

TestRaceRoad::Run TestRaceRoad::cli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(CLI_EXE), QStringList{"--data", dir_.filePath("data"), "--port", pty_} + args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError())};
}

void TestRaceRoad::sql(const QString &statement)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "road");
        db.setDatabaseName(dir_.filePath("data/Pennavox_Europe.mdb"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY2(q.exec(statement), qPrintable(statement));
    }
    QSqlDatabase::removeDatabase("road");
}

void TestRaceRoad::raceFromClubToRanking()
{
    QVERIFY(dir_.isValid());
    // The club's database, created by the CLI itself, then a club, a member, a pigeon and a race.
    QCOMPARE(cli({"schema"}).code, 0);
    const QDate today = QDate::currentDate();
    const QString race = "1234" + today.toString("MMdd");
    sql("INSERT INTO ORV_ClubData (ClubID, ClubName, AssociationCode, Language, Mode, DBBackupDays, PrintCount) "
        "VALUES ('NC','North Club','BE',0,0,0,1)");
    sql("INSERT INTO ORV_LoftData (LoftNo, LoftName, SynchFlag) VALUES ('001','Adams',1)");
    sql("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegNumber, Sex, E_Ring, SynchFlag, DeleteMark) "
        "VALUES ('001','BELG26-3001001','BELG','26','3001001','H','E7001',1,0)");
    sql(QString("INSERT INTO ORV_RaceData (ClubID, LiberCode, LiberSite, LiberSiteAbbr, LiberDate, LiberTime, "
                "Updatetime, SynchFlag, RaceCode, DeleteMark) VALUES ('NC','1234','Quievrain','QUIEV','%1',"
                "'07:00:00','%1 06:00:00',1,'%2',0)")
            .arg(today.toString("yyyy-MM-dd"), race));
    sql("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES ('1234','001',400,0)");

    QFile devices(dir_.filePath("devices.json"));
    QVERIFY(devices.open(QIODevice::WriteOnly));
    devices.write(R"({"clocks":[{"deviceNo":"1A2B3C4D","owner":"001"}]})");
    devices.close();

    // Synchronise: the race and the pigeon go into the empty clock.
    QVERIFY(startSim(dir_.filePath("devices.json")));
    Run r = cli({"sync"});
    QVERIFY2(r.code == 0 && r.out.contains("success: Clock Synchornize Success !"), qPrintable(r.out));
    stopSim();

    // On the clock: basketing, the flight (the clock 3 s ahead of the master) and the race's stop.
    QFile stateFile(dir_.filePath("state.json"));
    QVERIFY(stateFile.open(QIODevice::ReadOnly));
    QJsonObject state = QJsonDocument::fromJson(stateFile.readAll()).object();
    stateFile.close();
    QJsonArray clocks = state["clocks"].toArray();
    QJsonObject clock = clocks[0].toObject();
    QJsonArray races = clock["races"].toArray();
    QCOMPARE(races.size(), 1);
    QCOMPARE(clock["pigeons"].toArray().size(), 1);
    const qint64 lib = ClockStamp::fromLocal(QDateTime(today, QTime(7, 0)));
    const qint64 basket = lib - 12 * 3600 * 1000;
    QJsonObject rc = races[0].toObject();
    rc["MarkDeviceTime"] = double(basket + 3000);
    rc["MarkReaderTime"] = double(basket);
    rc["RaceStopDeviceTIme"] = double(lib + 10 * 3600 * 1000 + 3000);
    rc["RaceStopReaderTIme"] = double(lib + 10 * 3600 * 1000);
    races[0] = rc;
    clock["races"] = races;
    const qint64 arrival = lib + 16215250 + 3000;
    clock["records"] = QJsonArray{QJsonObject{{"AssocNum", "BELG26-3001001"},
                                              {"RaceCode", race},
                                              {"markTime", double(basket + 60000)},
                                              {"RandNumMarked", 171},
                                              {"RandNumberBack", 18},
                                              {"UidBack", "UID1"},
                                              {"GpsValid", true},
                                              {"BackOrder", 1},
                                              {"BackTimeEring", double(arrival)},
                                              {"BackTimeUid", double(arrival)},
                                              {"BackHomeLat", -183600000.0},
                                              {"BackHomeLon", 4527005.0}}};
    clocks[0] = clock;
    state["clocks"] = clocks;
    QFile next(dir_.filePath("devices2.json"));
    QVERIFY(next.open(QIODevice::WriteOnly));
    next.write(QJsonDocument(state).toJson());
    next.close();

    QVERIFY(startSim(dir_.filePath("devices2.json")));
    r = cli({"marked-upload", race});
    QVERIFY2(r.code == 0 && r.out.contains("success: Marked data upload Success !"), qPrintable(r.out));
    r = cli({"result-upload", race});
    QVERIFY2(r.code == 0 && r.out.contains("success: Race Result upload Success !"), qPrintable(r.out));
    r = cli({"results", race});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains("Pos.,Name,Ring,S,C,Clocked,FlyiTime,MPM,Var,Dist"), qPrintable(r.out));
    QVERIFY2(r.out.contains(",04:30:15,1480.088,+3,"), qPrintable(r.out));
    r = cli({"results", race, "--raw"});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(",04:30:15.250,1480.088,3,"), qPrintable(r.out));
}

QTEST_GUILESS_MAIN(TestRaceRoad)
#include "test_race_road.moc"
