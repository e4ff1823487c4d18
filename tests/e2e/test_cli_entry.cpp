// What pennavox-cli is given goes through the same checks as the forms: values too long for their
// column, characters a clock cannot carry, ranges and distances out of bounds are refused with a
// message naming the field, and nothing is stored.
#include "office/workbook.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestCliEntry : public QObject
{
    Q_OBJECT

    struct Run
    {
        int code = -1;
        QString output;
    };
    QTemporaryDir dir_;

    Run cli(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(CLI_EXE), QStringList{"--data", dir_.filePath("data")} + args);
        p.waitForFinished(30000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError())};
    }
    QString scalar(const QString &sql)
    {
        QString out;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "entry");
            db.setDatabaseName(dir_.filePath("data/Pennavox_Europe.mdb"));
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec(sql) && q.next())
                    out = q.value(0).toString();
            }
        }
        QSqlDatabase::removeDatabase("entry");
        return out;
    }
    void refused(const QStringList &args, const QString &message)
    {
        const Run r = cli(args);
        QVERIFY2(r.code != 0, qPrintable(r.output));
        QVERIFY2(r.output.contains(message), qPrintable(r.output));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QDir().mkpath(dir_.filePath("data"));
        QCOMPARE(cli({"schema"}).code, 0);
    }

    void membersAndRings()
    {
        refused({"member-save", "L1", "Adams%LoftNo:999", "--assoc", "BE"},
                "Name: the character \"%\" cannot be sent to a clock.");
        refused({"member-save", QString(100'000, '1'), "Adams", "--assoc", "BE"}, "Loft number: at most 10 characters.");
        QCOMPARE(scalar("SELECT COUNT(*) FROM ORV_LoftData"), QStringLiteral("0"));
        QCOMPARE(cli({"member-save", "L1", "Adams", "--assoc", "BE"}).code, 0);

        refused({"ring-add", "L1", "GB", "2024", "A", QString(100'000, '7')},
                "Registration number: at most 7 characters.");
        refused({"ring-add", "L1", "GB", "2024", "A", "1", "999999999"},
                "Upper registration number: at most 7 characters.");
        refused({"ring-add", "L1", "GB", "2024", "A", "1", "1000000"},
                "Upper registration number: a range holds at most 1000 rings (1 to 1000000 would be 1000000).");
        refused({"ring-add", "L1", "GB\nX", "2024", "A", "1"},
                "Country code: control characters (line breaks, tabs) are not allowed.");
        QCOMPARE(scalar("SELECT COUNT(*) FROM ORV_PigData"), QStringLiteral("0"));
        QCOMPARE(cli({"ring-add", "L1", "GB", "2024", "A", "1", "1000"}).code, 0);
        QCOMPARE(scalar("SELECT COUNT(*) FROM ORV_PigData"), QStringLiteral("1000"));
    }

    void importsCheckTheSameWay()
    {
        QFile distances(dir_.filePath("dist.txt"));
        QVERIFY(distances.open(QIODevice::WriteOnly));
        distances.write("1234,L1,410,500\r\n1234,L1,99999,0\r\n");
        distances.close();
        refused({"import-distances", distances.fileName()}, "Line 2: KM: a whole number from 0 to 5000.");
        QCOMPARE(scalar("SELECT Miles || '/' || Yards FROM ORV_LoftLibPointDist WHERE LiberCode='1234'"),
                 QStringLiteral("410/500")); // the line before stays

        WorkbookWriter w({"LoftNo", "RCountry", "RYear", "RRegLetter", "RRegNumber", "Sex", "ColorType"});
        w.addRow({"L1", "NL", "2024", "-", QString(40, '3'), "Hen", "BB"});
        w.addRow({"L1", "NL", "2024", "-", "1234567", "Hen", "BB%"});
        w.addRow({"L1", "NL", "2024", "-", "7654321", "Hen", "BB"});
        QString error;
        QVERIFY(w.save(dir_.filePath("pigeons.xlsx"), &error));
        const Run r = cli({"import", "pigeons", dir_.filePath("pigeons.xlsx")});
        QVERIFY2(r.output.contains("Row 2 skipped: Registration number: at most 7 characters."), qPrintable(r.output));
        QVERIFY2(r.output.contains("Row 3 skipped: Colour: the character \"%\" cannot be sent to a clock."),
                 qPrintable(r.output));
        QCOMPARE(scalar("SELECT COUNT(*) FROM ORV_PigData WHERE RCountry='NL'"), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestCliEntry)
#include "test_cli_entry.moc"
