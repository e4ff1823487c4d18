#pragma once

#include <QString>

class QSqlDatabase;
struct sqlite3;

// The one place that takes SQLite's own handle out of Qt's driver (for the online backup and the
// fast cursors). The handle is only given when the SQLite this program calls is the one the driver
// runs: two copies of the library would each keep their own locks.
namespace SqliteHandle {

// The open connection's handle, or nullptr (with why) when it is no SQLite connection or the
// libraries differ.
sqlite3 *of(const QSqlDatabase &db, QString *why = nullptr);

// Opens a database file of our own (never read as an SQLite URI, whatever its name).
// readOnly: nothing is written, not even a journal. nullptr with why when it cannot be opened.
sqlite3 *open(const QString &path, bool readOnly, QString *why);
void close(sqlite3 *db);

// Copies the whole of `from` over `to` with SQLite's online backup, as one transaction of `to`:
// every connection to `to` sees either the old or the new content. False with why.
bool copy(sqlite3 *from, sqlite3 *to, QString *why);

// SQLite's reason for the last failure on db.
QString lastError(sqlite3 *db);

} // namespace SqliteHandle
