#include "setup/backuprestore.h"

#include "app/startup.h"
#include "store/operationsink.h"
#include "store/schema.h"
#include "store/tdmorvs.h"

#include <QFile>
#include <QFileInfo>
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
const QStringList SideFiles{QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};

void removeWithSideFiles(const QString &path)
{
    QFile::remove(path);
    for (const QString &side : SideFiles)
        QFile::remove(path + side);
}

// Renames a database file together with the side files SQLite may have left beside it.
bool renameWithSideFiles(const QString &from, const QString &to)
{
    if (!QFile::rename(from, to))
        return false;
    for (const QString &side : SideFiles)
        if (QFile::exists(from + side))
            QFile::rename(from + side, to + side);
    return true;
}
} // namespace

QString checkClubDatabase(const QString &path)
{
    if (!QFileInfo::exists(path))
        return QStringLiteral("the file does not exist");
    const QString name = QStringLiteral("restore_check_%1").arg(quintptr(&path));
    QString why;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            why = QStringLiteral("not an SQLite database");
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next() ||
                q.value(0).toString() != QLatin1String("ok")) {
                why = QStringLiteral("the database fails its integrity check");
            }
            for (const TableDef &t : schemaTables()) {
                if (!why.isEmpty())
                    break;
                // table_info takes no bound parameter; the names are our own constants.
                QStringList have;
                if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(t.name))))
                    while (q.next())
                        have << q.value(1).toString().toLower();
                if (have.isEmpty()) {
                    why = QStringLiteral("table %1 is missing").arg(QLatin1String(t.name));
                    break;
                }
                for (const ColumnDef &c : t.columns)
                    if (!have.contains(QString::fromLatin1(c.name).toLower())) {
                        why = QStringLiteral("column %1 of table %2 is missing")
                                  .arg(QLatin1String(c.name), QLatin1String(t.name));
                        break;
                    }
            }
            if (why.isEmpty() &&
                (!q.exec(QStringLiteral("SELECT COUNT(*) FROM ORV_ClubData")) || !q.next() || q.value(0).toInt() < 1))
                why = QStringLiteral("it holds no club record");
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return why;
}

bool restore(TdmORVS &dm, const QString &chosen, OperationSink &sink)
{
    if (chosen.isEmpty())
        return false;
    const QString target = dm.databasePath();
    const QString incoming = target + QStringLiteral(".restore");
    const QString previous = target + QStringLiteral(".previous");
    const QString staged = target + QStringLiteral(".replaced");
    removeWithSideFiles(incoming);
    const auto fail = [&](const QString &why) {
        removeWithSideFiles(incoming);
        if (!why.isEmpty())
            sink.failure(QStringLiteral("The file cannot be restored: %1.").arg(why));
        sink.failure(QStringLiteral("recovery failed, please try again!"));
        return false;
    };
    if (!QFile::copy(chosen, incoming))
        return fail(QStringLiteral("it cannot be copied"));
    QFile::setPermissions(incoming, QFile::permissions(incoming) | QFileDevice::WriteOwner);
    // Checked completely before anything of the live database is touched.
    if (const QString why = checkClubDatabase(incoming); !why.isEmpty())
        return fail(why);
    removeWithSideFiles(staged);
    dm.close(); // the last connection: SQLite folds its log into the file
    if (!renameWithSideFiles(target, staged)) {
        dm.reopen();
        return fail(QString());
    }
    const auto putBack = [&] {
        removeWithSideFiles(target);
        renameWithSideFiles(staged, target);
        dm.reopen();
    };
    if (!QFile::rename(incoming, target)) {
        putBack();
        return fail(QString());
    }
    // The live database stays (renamed) until the new one has been opened where it will be used.
    if (const QString why = checkClubDatabase(target); !why.isEmpty()) {
        putBack();
        return fail(why);
    }
    removeWithSideFiles(previous);
    renameWithSideFiles(staged, previous); // the database just replaced, kept beside the new one
    sink.info(QStringLiteral("successful recovery of data!"));
    return true;
}

} // namespace BackupRestore
