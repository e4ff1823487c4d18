#include "store/sqlitehandle.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>
#include <sqlite3.h>

namespace SqliteHandle {

namespace {
// Same library: the driver's version and source id equal ours. Checked once per process.
bool sameLibrary(const QSqlDatabase &db, QString *why)
{
    static int verdict = -1;
    static QString reason;
    if (verdict < 0) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT sqlite_version(), sqlite_source_id()")) && q.next()) {
            const bool same = q.value(0).toString() == QLatin1String(sqlite3_libversion()) &&
                              q.value(1).toString() == QLatin1String(sqlite3_sourceid());
            verdict = same ? 1 : 0;
            if (!same)
                reason = QStringLiteral("the database driver runs SQLite %1, the program %2")
                             .arg(q.value(0).toString(), QLatin1String(sqlite3_libversion()));
        } else {
            return false; // not decided: ask again next time
        }
    }
    if (!verdict && why)
        *why = reason;
    return verdict == 1;
}
} // namespace

sqlite3 *of(const QSqlDatabase &db, QString *why)
{
    if (!db.isOpen() || !db.driver()) {
        if (why)
            *why = QStringLiteral("the database is not open");
        return nullptr;
    }
    const QVariant h = db.driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0) {
        if (why)
            *why = QStringLiteral("the connection is no SQLite connection");
        return nullptr;
    }
    if (!sameLibrary(db, why))
        return nullptr;
    return *static_cast<sqlite3 *const *>(h.constData());
}

sqlite3 *open(const QString &path, bool readOnly, QString *why)
{
    // An absolute path never starts with "file:", so SQLite never takes it for a URI.
    const QByteArray name = QFile::encodeName(QDir::toNativeSeparators(QDir().absoluteFilePath(path)));
    sqlite3 *db = nullptr;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (why)
            *why = db ? lastError(db) : QStringLiteral("out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    return db;
}

void close(sqlite3 *db)
{
    sqlite3_close(db);
}

bool copy(sqlite3 *from, sqlite3 *to, QString *why)
{
    sqlite3_backup *b = sqlite3_backup_init(to, "main", from, "main");
    if (!b) {
        if (why)
            *why = lastError(to);
        return false;
    }
    const int step = sqlite3_backup_step(b, -1);
    // finish() leaves the step's error on the destination connection.
    const int rc = sqlite3_backup_finish(b);
    if (step == SQLITE_DONE && rc == SQLITE_OK)
        return true;
    if (why) {
        const int code = (rc != SQLITE_OK ? rc : step) & 0xff;
        const QString text = rc != SQLITE_OK ? lastError(to) : QString::fromUtf8(sqlite3_errstr(step));
        if (code == SQLITE_FULL)
            *why = QStringLiteral("the disk is full; free space on it and retry (%1)").arg(text);
        else if (code == SQLITE_IOERR)
            *why = QStringLiteral("the disk could not be read or written; if it is full, free space on it and retry "
                                  "(%1)")
                       .arg(text);
        else if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            *why = QStringLiteral("the club database is busy with another change; retry in a moment (%1)").arg(text);
        else
            *why = text;
    }
    return false;
}

QString lastError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

} // namespace SqliteHandle
