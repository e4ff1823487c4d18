#include "races/sqlitecursor.h"

#include "store/sqlerror.h"
#include "store/sqlitehandle.h"
#include "store/tdmorvs.h"

#include <sqlite3.h>

namespace {
sqlite3 *handleOf(TdmORVS &dm)
{
    return SqliteHandle::of(dm.adocORVS());
}
} // namespace

SqliteCursor::SqliteCursor(TdmORVS &dm, const char *sql) : sql_(QString::fromUtf8(sql))
{
    sqlite3 *db = handleOf(dm);
    if (!db)
        throw SqlError(QStringLiteral("The database connection is not SQLite"), sql_);
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
        const QString err = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw SqlError(err, sql_);
    }
}

SqliteCursor::~SqliteCursor()
{
    sqlite3_finalize(stmt_);
}

void SqliteCursor::bind(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

bool SqliteCursor::next()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw SqlError(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt_))), sql_);
}

bool SqliteCursor::isNull(int column) const
{
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

qint64 SqliteCursor::int64(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

double SqliteCursor::real(int column) const
{
    return sqlite3_column_double(stmt_, column);
}

QString SqliteCursor::text(int column) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(stmt_, column)) : QString();
}

QVariant SqliteCursor::value(int column) const
{
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>()); // null, and an empty text
    case SQLITE_INTEGER:
        return int64(column);
    case SQLITE_FLOAT:
        return real(column);
    default:
        return text(column);
    }
}
