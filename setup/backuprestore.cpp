#include "setup/backuprestore.h"

#include "app/startup.h"
#include "store/backupfile.h"
#include "store/faulthook.h"
#include "store/operationsink.h"
#include "store/regularfile.h"
#include "store/schema.h"
#include "store/sqlitehandle.h"
#include "store/tdmorvs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <atomic>

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
    const QString target = backupName(chosen, today);
    // Copies of killed backups to this folder go first.
    BackupFile::removeUnfinished(QFileInfo(QDir().absoluteFilePath(target)).path());
    if (BackupFile::write(dm, target, &error)) {
        sink.info(QStringLiteral("backup was successful!"));
        return true;
    }
    sink.failure(QStringLiteral("backup failed, please retry! %1").arg(error));
    return false;
}

namespace {
std::atomic<int> connectionCounter{0};

const QStringList SideFiles{QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};

void removeWithSideFiles(const QString &path)
{
    for (const QString &p : QStringList{path} + [&] {
             QStringList l;
             for (const QString &s : SideFiles)
                 l << path + s;
             return l;
         }())
        if (QFileInfo::exists(p)) {
            FaultHook::step();
            QFile::remove(p);
        }
}

QStringList knownTables()
{
    QStringList names;
    for (const TableDef &t : schemaTables())
        names << QLatin1String(t.name);
    for (const TableDef &t : ownSchemaTables())
        names << QLatin1String(t.name);
    return names;
}

// Why the schema `schema` of the connection cannot serve as a club database; empty when it can.
// `own`: the columns each of our tables finds there (our own tables beside the 13 may be missing).
QString checkSchema(QSqlQuery &q, const QString &schema, QHash<QString, QStringList> *found)
{
    // Schema names and table names are our own constants: PRAGMA takes no bound parameters.
    if (!q.exec(QStringLiteral("PRAGMA %1.integrity_check").arg(schema)) || !q.next() ||
        q.value(0).toString() != QLatin1String("ok"))
        return QStringLiteral("the database fails its integrity check");
    const auto check = [&](const TableDef &t, bool required) -> QString {
        const QString name = QLatin1String(t.name);
        q.prepare(QStringLiteral("SELECT type, sql FROM %1.sqlite_master WHERE lower(name)=lower(?)").arg(schema));
        q.addBindValue(name);
        if (!q.exec() || !q.next())
            return required ? QStringLiteral("table %1 is missing").arg(name) : QString();
        const QString type = q.value(0).toString();
        if (type != QLatin1String("table"))
            return QStringLiteral("%1 is a %2, not a table").arg(name, type);
        if (q.value(1).toString().trimmed().startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive))
            return QStringLiteral("%1 is a virtual table, not a table").arg(name);
        QStringList have;
        if (q.exec(QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema, name)))
            while (q.next())
                have << q.value(1).toString().toLower();
        QStringList columns;
        for (const ColumnDef &c : t.columns) {
            const QString column = QString::fromLatin1(c.name);
            if (have.contains(column.toLower()))
                columns << column;
            else if (required)
                return QStringLiteral("column %1 of table %2 is missing").arg(column, name);
        }
        if (found)
            found->insert(name, columns);
        return {};
    };
    for (const TableDef &t : schemaTables())
        if (QString why = check(t, true); !why.isEmpty())
            return why;
    for (const TableDef &t : ownSchemaTables())
        if (QString why = check(t, false); !why.isEmpty())
            return why;
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM %1.ORV_ClubData").arg(schema)) || !q.next() ||
        q.value(0).toInt() < 1)
        return QStringLiteral("it holds no club record");
    return {};
}

// A connection of its own, removed with it.
class Connection
{
public:
    Connection(const QString &path, bool readOnly)
        : name_(QStringLiteral("restore_%1").arg(connectionCounter++))
    {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setDatabaseName(QDir().absoluteFilePath(path));
        if (readOnly)
            db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    ~Connection()
    {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase &db() { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
};

// Builds at `copy` a fresh database of our own schema with the rows of the known tables of
// `chosen`, read by SQLite in place (so a write-ahead log beside it counts). Views, triggers and
// tables of its own do not come along; *left names them. Empty when done, else why not.
QString buildCheckedCopy(const QString &chosen, const QString &copy, int pageSize, QStringList *left)
{
    removeWithSideFiles(copy);
    Connection c(copy, false);
    if (!c.db().open())
        return c.db().lastError().text();
    QSqlQuery q(c.db());
    // Nothing the chosen file defines may run functions while its rows are read.
    q.exec(QStringLiteral("PRAGMA trusted_schema=OFF"));
    q.exec(QStringLiteral("PRAGMA page_size=%1").arg(pageSize));
    // A scratch file, thrown away when anything fails: no journal of its own.
    q.exec(QStringLiteral("PRAGMA journal_mode=OFF"));
    // A mark that goes into the club database with the copy: a start that finds the copy still
    // there tells by it whether the restore had finished.
    q.exec(QStringLiteral("PRAGMA user_version=%1").arg(QRandomGenerator::global()->bounded(1, 0x7fffffff)));
    try {
        createSchema(c.db());
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    }
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS chosen"));
    q.addBindValue(QDir::toNativeSeparators(QDir().absoluteFilePath(chosen)));
    if (!q.exec())
        return QStringLiteral("not an SQLite database");
    QString why;
    QHash<QString, QStringList> columns;
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM chosen.sqlite_master")))
        why = QStringLiteral("not an SQLite database");
    else
        why = checkSchema(q, QStringLiteral("chosen"), &columns);
    if (why.isEmpty()) {
        const QStringList known = knownTables();
        if (q.exec(QStringLiteral("SELECT type, name, tbl_name FROM chosen.sqlite_master ORDER BY rowid")))
            while (q.next()) {
                const QString type = q.value(0).toString(), name = q.value(1).toString();
                const bool ours = (type == QLatin1String("table") || type == QLatin1String("index")) &&
                                  known.contains(q.value(2).toString(), Qt::CaseInsensitive);
                if (!ours && !name.startsWith(QLatin1String("sqlite_")))
                    *left << QStringLiteral("%1 %2").arg(type, name);
            }
        c.db().transaction();
        for (auto it = columns.cbegin(); it != columns.cend() && why.isEmpty(); ++it) {
            QStringList quoted;
            for (const QString &col : it.value())
                quoted << QLatin1Char('"') + col + QLatin1Char('"');
            const QString list = quoted.join(QLatin1Char(','));
            if (!q.exec(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM chosen.%1").arg(it.key(), list)))
                why = QStringLiteral("its table %1 cannot be read (%2)").arg(it.key(), q.lastError().text());
        }
        if (why.isEmpty() && !c.db().commit())
            why = c.db().lastError().text();
    }
    q.finish();
    q.exec(QStringLiteral("DETACH DATABASE chosen"));
    q.finish();
    return why;
}
} // namespace

QString checkClubDatabase(const QString &path)
{
    if (!QFileInfo::exists(path))
        return QStringLiteral("the file does not exist");
    if (const QString why = RegularFile::refusal(path); !why.isEmpty())
        return why;
    // Not read-only: reading a file kept with a write-ahead log would leave its -wal and -shm.
    Connection c(path, false);
    if (!c.db().open())
        return QStringLiteral("not an SQLite database");
    QSqlQuery q(c.db());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM main.sqlite_master")))
        return QStringLiteral("not an SQLite database");
    const QString why = checkSchema(q, QStringLiteral("main"), nullptr);
    q.finish();
    return why;
}

bool restore(TdmORVS &dm, const QString &chosen, OperationSink &sink)
{
    if (chosen.isEmpty())
        return false;
    const QString copy = dm.restoreCopyPath();
    const auto fail = [&](const QString &why) {
        removeWithSideFiles(copy);
        if (!why.isEmpty())
            sink.failure(QStringLiteral("The file cannot be restored: %1.").arg(why));
        sink.failure(QStringLiteral("recovery failed, please try again!"));
        return false;
    };
    if (dm.readOnly())
        return fail(dm.readOnlyReason());
    if (!QFileInfo::exists(chosen))
        return fail(QStringLiteral("the file does not exist"));
    if (const QString why = RegularFile::refusal(chosen); !why.isEmpty())
        return fail(why);
    if (QFileInfo(chosen).canonicalFilePath() == QFileInfo(dm.databasePath()).canonicalFilePath())
        return fail(QStringLiteral("it is the club database itself"));
    QString why;
    sqlite3 *live = SqliteHandle::of(dm.adocORVS(), &why);
    if (!live)
        return fail(why);
    const int pageSize = dm.scalar(QStringLiteral("PRAGMA page_size")).toInt();

    // 1. A fresh database of our own schema with the chosen file's rows, checked completely before
    //    anything of the club database is touched.
    QStringList left;
    if (const QString w = buildCheckedCopy(chosen, copy, pageSize, &left); !w.isEmpty())
        return fail(w);
    // The club as it was stays beside the restored one, should the wrong backup have been chosen.
    if (!BackupFile::write(dm, dm.databasePath() + QStringLiteral(".previous"), &why))
        return fail(QStringLiteral("the club database cannot be kept as %1: %2")
                        .arg(QDir::toNativeSeparators(dm.databasePath() + QStringLiteral(".previous")), why));
    // 2. Into the live database as one transaction: every connection to it, in this program or a
    //    reading one, sees the old club or the restored one, and the file never leaves its name.
    sqlite3 *incoming = SqliteHandle::open(copy, true, &why);
    if (!incoming)
        return fail(why);
    const bool copied = SqliteHandle::copy(incoming, live, &why);
    SqliteHandle::close(incoming);
    if (!copied)
        return fail(why);
    removeWithSideFiles(copy);
    if (!left.isEmpty())
        sink.info(QStringLiteral("Not restored, as no part of a club database: %1.").arg(left.join(QStringLiteral(", "))));
    // The program ends now; its next start opens the restored club.
    dm.close();
    sink.info(QStringLiteral("successful recovery of data!"));
    return true;
}

} // namespace BackupRestore
