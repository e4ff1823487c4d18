#include "store/tdmorvs.h"

#include "store/faulthook.h"
#include "store/folderlock.h"
#include "store/regularfile.h"
#include "store/schema.h"
#include "store/sqlerror.h"
#include "store/sqlitehandle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QTextStream>
#include <QUrl>
#include <atomic>
#include <sqlite3.h>
#include <utility>

namespace {
TdmORVS *globalInstance = nullptr;
std::atomic<int> connectionCounter{0};

void writeDefaultDataLink(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&f);
    out << "[Pennavox Data Link]\n";
    out << "; The club database this program opens; a relative name is taken from this folder.\n";
    out << "Database=" << TdmORVS::DatabaseFileName << "\n";
}
} // namespace

QString TdmORVS::databaseFromDataLink(const QString &udlPath)
{
    QFile f(udlPath);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('[')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed().compare(QLatin1String("Database"), Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

TdmORVS::TdmORVS(const QString &dataFolder) : folder_(QDir(dataFolder).absolutePath())
{
    FaultHook::installFromEnvironment();
    QDir().mkpath(folder_);
    const QString udl = QDir(folder_).filePath(QLatin1String(DataLinkFileName));
    if (!QFileInfo::exists(udl))
        writeDefaultDataLink(udl);
    QString name = databaseFromDataLink(udl);
    if (name.isEmpty())
        name = QLatin1String(DatabaseFileName);
    dbPath_ = QDir(folder_).absoluteFilePath(name);
    if (const QString why = RegularFile::refusal(dbPath_); !why.isEmpty())
        throw SqlError(why, dbPath_);

    const QString shown = QDir::toNativeSeparators(folder_);
    if (!QFileInfo(folder_).isWritable()) {
        readOnlyReason_ = QStringLiteral("The data folder %1 is read-only: the club is open for reading only. "
                                         "Lists, reports, exports and backups work; nothing can be stored.")
                              .arg(shown);
    } else if (QFileInfo::exists(dbPath_) && !QFileInfo(dbPath_).isWritable()) {
        readOnlyReason_ = QStringLiteral("The club database %1 is read-only: the club is open for reading only. "
                                         "Lists, reports, exports and backups work; nothing can be stored.")
                              .arg(QDir::toNativeSeparators(dbPath_));
    } else {
        QString holder;
        lock_ = FolderLock::acquire(folder_, &holder);
        if (!lock_)
            readOnlyReason_ = QStringLiteral("The club in %1 is open for writing in %2: this program can only read "
                                             "it. Close the other program, then start this one again.")
                                  .arg(shown, holder);
    }
    if (lock_)
        mendInterruptedRestore();
    createdNow_ = !QFileInfo::exists(dbPath_);
    if (createdNow_ && readOnly())
        throw SqlError(QStringLiteral("The club database %1 does not exist and cannot be created. %2")
                           .arg(QDir::toNativeSeparators(dbPath_), readOnlyReason_),
                       dbPath_);

    // The first instance keeps the system's name; further ones (tests, tools) get their own.
    const int n = connectionCounter++;
    connection_ = n == 0 ? QString::fromLatin1(ConnectionName)
                         : QStringLiteral("%1_%2").arg(QLatin1String(ConnectionName)).arg(n);
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(dbPath_);
    if (readOnly()) {
        db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        // SQLite reads a database kept with a write-ahead log only where it can make the -shm, or
        // where the -wal and -shm of a writer exist; in a read-only folder without them nothing
        // changes the file, and it is read as it stands.
        const bool writerFiles = QFileInfo::exists(dbPath_ + QStringLiteral("-wal")) &&
                                 QFileInfo::exists(dbPath_ + QStringLiteral("-shm"));
        if (!QFileInfo(folder_).isWritable() && !writerFiles) {
            db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
            db_.setDatabaseName(QUrl::fromLocalFile(dbPath_).toString(QUrl::FullyEncoded) +
                                QStringLiteral("?immutable=1"));
        }
    }
    if (!db_.open())
        throw SqlError(explain(db_.lastError()), dbPath_);
    if (readOnly())
        return;
    QSqlQuery pragma(db_);
    pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    createSchema(db_);
}

QString TdmORVS::restoreCopyPath() const
{
    return dbPath_ + QStringLiteral(".restore");
}

void TdmORVS::mendInterruptedRestore()
{
    static const QStringList sides{QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};
    QStringList notes;
    // The checked copy a restore builds before it copies it into the database: while it exists,
    // the database has not been touched.
    const QString copy = restoreCopyPath();
    bool found = false;
    bool finished = false;
    if (QFileInfo::exists(copy) && QFileInfo::exists(dbPath_)) {
        // The copy carries a mark of its own in user_version; the database has it only once the
        // copy went into it.
        const auto mark = [](const QString &path) {
            QString why;
            sqlite3 *db = SqliteHandle::open(path, true, &why);
            qint64 v = 0;
            sqlite3_stmt *st = nullptr;
            if (db && sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK &&
                sqlite3_step(st) == SQLITE_ROW)
                v = sqlite3_column_int64(st, 0);
            sqlite3_finalize(st);
            SqliteHandle::close(db);
            return v;
        };
        const qint64 copied = mark(copy);
        finished = copied != 0 && copied == mark(dbPath_);
    }
    for (const QString &side : sides)
        if (QFileInfo::exists(copy + side)) {
            FaultHook::step();
            QFile::remove(copy + side);
            found = true;
        }
    // The copy of the replaced club a restore keeps, when it was cut off while being written.
    for (const QString &side : {QStringLiteral(".previous.part"), QStringLiteral(".previous.part-journal"),
                                QStringLiteral(".previous.part-wal"), QStringLiteral(".previous.part-shm")})
        if (QFileInfo::exists(dbPath_ + side)) {
            FaultHook::step();
            QFile::remove(dbPath_ + side);
            found = true;
        }
    if (finished)
        notes << QStringLiteral("A restore was interrupted after it had put the backup in place: the club is the "
                                "restored one; its leftover copy was removed.");
    else if (found)
        notes << QStringLiteral("A restore was interrupted before it changed the club database; the club is as it "
                                "was before it, and its unfinished copy was removed. Restore the backup again.");
    // Earlier versions renamed the database aside while they swapped the files.
    const QString aside = dbPath_ + QStringLiteral(".replaced");
    if (QFileInfo::exists(aside)) {
        if (!QFileInfo::exists(dbPath_)) {
            for (const QString &side : sides)
                if (QFileInfo::exists(aside + side))
                    QFile::rename(aside + side, dbPath_ + side);
            notes << QStringLiteral("A restore was interrupted while the club database was set aside as %1; "
                                    "it was put back. Restore the backup again.")
                         .arg(QDir::toNativeSeparators(aside));
        } else {
            const QString previous = dbPath_ + QStringLiteral(".previous");
            QFile::remove(previous);
            QFile::rename(aside, previous);
            notes << QStringLiteral("A restore had finished but not tidied up; the database it replaced is kept "
                                    "as %1.")
                         .arg(QDir::toNativeSeparators(previous));
        }
    }
    startNotice_ = notes.join(QLatin1Char(' '));
}

QString TdmORVS::explain(const QSqlError &error) const
{
    const QString text = error.text().trimmed();
    bool ok = false;
    int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (!ok) {
        // Some of the driver's errors carry SQLite's text only.
        static const std::pair<const char *, int> byText[] = {
            {"database or disk is full", 13}, {"disk I/O error", 10},        {"database is locked", 5},
            {"readonly database", 8},         {"unable to open database", 14}, {"malformed", 11}};
        code = 0;
        for (const auto &[part, c] : byText)
            if (text.contains(QLatin1String(part), Qt::CaseInsensitive)) {
                code = c;
                break;
            }
    }
    const QString folder = QDir::toNativeSeparators(folder_);
    switch (code) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("The club database is busy: another window, program or database tool is "
                              "changing it right now. Retry in a moment; if it stays busy, close the other "
                              "program. (%1)")
            .arg(text);
    case 8: // SQLITE_READONLY
        if (readOnly())
            return QStringLiteral("Not stored: %1 (%2)").arg(readOnlyReason_, text);
        return QStringLiteral("Not stored: the club database cannot be written. Check that the data folder %1 "
                              "and its files may be written. (%2)")
            .arg(folder, text);
    case 13: // SQLITE_FULL
        return QStringLiteral("The disk is full: the change was not stored and the club database is as it was. "
                              "Free space on the disk of %1 and retry. (%2)")
            .arg(folder, text);
    case 10: // SQLITE_IOERR
        return QStringLiteral("The disk could not read or write the club database; if the disk is full, free "
                              "space on it, then retry. (%1)")
            .arg(text);
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("The club database cannot be opened: check that the data folder %1 exists and "
                              "may be read. (%2)")
            .arg(folder, text);
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return QStringLiteral("The club database is damaged; restore a backup on the setup page. (%1)").arg(text);
    default:
        return text;
    }
}

TdmORVS::~TdmORVS()
{
    if (globalInstance == this)
        globalInstance = nullptr;
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

QSqlQuery TdmORVS::exec(const QString &sql, const QVariantList &binds)
{
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw SqlError(explain(q.lastError()), sql);
    for (const QVariant &v : binds)
        q.addBindValue(v);
    if (!q.exec())
        throw SqlError(explain(q.lastError()), sql);
    return q;
}

bool TdmORVS::tryExec(const QString &sql, const QVariantList &binds)
{
    try {
        exec(sql, binds);
        return true;
    } catch (const SqlError &) {
        return false;
    }
}

bool TdmORVS::tryExec(const QString &sql, const QVariantList &binds, QString *why)
{
    try {
        exec(sql, binds);
        return true;
    } catch (const SqlError &e) {
        if (why)
            *why = e.message();
        return false;
    }
}

std::vector<QSqlRecord> TdmORVS::rows(const QString &sql, const QVariantList &binds)
{
    QSqlQuery q = exec(sql, binds);
    std::vector<QSqlRecord> out;
    while (q.next())
        out.push_back(q.record());
    return out;
}

QVariant TdmORVS::scalar(const QString &sql, const QVariantList &binds)
{
    QSqlQuery q = exec(sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

void TdmORVS::close()
{
    db_.close();
}

bool TdmORVS::reopen()
{
    if (db_.isOpen())
        return true;
    if (!db_.open())
        return false;
    if (readOnly())
        return true;
    // The file may have been replaced meanwhile (a restore of an older backup).
    try {
        createSchema(db_);
    } catch (const SqlError &) {
        return false;
    }
    return true;
}

void TdmORVS::begin()
{
    if (!db_.transaction())
        throw SqlError(explain(db_.lastError()), QStringLiteral("BEGIN"));
}

void TdmORVS::commit()
{
    // Through a statement of our own: the driver's commit() drops SQLite's error code.
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("COMMIT")))
        throw SqlError(explain(q.lastError()), QStringLiteral("COMMIT"));
}

void TdmORVS::rollback()
{
    db_.rollback();
}

TdmORVS *TdmORVS::instance()
{
    return globalInstance;
}

void TdmORVS::setInstance(TdmORVS *dm)
{
    globalInstance = dm;
}
