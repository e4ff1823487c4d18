#include "setup/backuprestore.h"

#include "app/startup.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace BackupRestore {

QString backupName(const QString &chosen, const QDate &day)
{
    return chosen + QLatin1Char('_') + day.toString(QStringLiteral("yyMMdd")) + QStringLiteral(".Bak");
}

bool backup(TdmORVS &dm, const QString &chosen, const QDate &today, OperationSink &sink)
{
    if (chosen.isEmpty())
        return false;
    QString error;
    if (Startup::copyDatabase(dm, backupName(chosen, today), &error)) {
        sink.info(QStringLiteral("backup was successful!"));
        return true;
    }
    sink.failure(QStringLiteral("backup failed, please retry!"));
    return false;
}

namespace {
// An SQLite file that passes its own check and holds the club table.
bool isClubDatabase(const QString &path)
{
    const QString name = QStringLiteral("restore_check");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("PRAGMA quick_check")) && q.next() &&
                 q.value(0).toString() == QLatin1String("ok") &&
                 q.exec(QStringLiteral("SELECT COUNT(*) FROM ORV_ClubData")) && q.next();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
} // namespace

bool restore(TdmORVS &dm, const QString &chosen, OperationSink &sink)
{
    if (chosen.isEmpty())
        return false;
    const QString target = dm.databasePath();
    const QString incoming = target + QStringLiteral(".restore");
    const QString previous = target + QStringLiteral(".previous");
    QFile::remove(incoming);
    const auto fail = [&] {
        QFile::remove(incoming);
        sink.failure(QStringLiteral("recovery failed, please try again!"));
        return false;
    };
    if (!QFile::copy(chosen, incoming) || !isClubDatabase(incoming))
        return fail();
    dm.close();
    QFile::remove(target + QStringLiteral("-wal"));
    QFile::remove(target + QStringLiteral("-shm"));
    QFile::remove(previous);
    if (!QFile::rename(target, previous)) {
        dm.reopen();
        return fail();
    }
    if (!QFile::rename(incoming, target)) {
        QFile::rename(previous, target);
        dm.reopen();
        return fail();
    }
    QFile::remove(previous);
    sink.info(QStringLiteral("successful recovery of data!"));
    return true;
}

} // namespace BackupRestore
