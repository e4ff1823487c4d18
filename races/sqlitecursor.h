#pragma once

#include <QString>
#include <QVariant>

class TdmORVS;
struct sqlite3_stmt;

// A forward-only statement run straight on the store's SQLite connection, for the few hot
// queries over a whole race where Qt SQL's per-row value copies dominate. Throws SqlError.
class SqliteCursor
{
public:
    SqliteCursor(TdmORVS &dm, const char *sql);
    ~SqliteCursor();
    SqliteCursor(const SqliteCursor &) = delete;
    SqliteCursor &operator=(const SqliteCursor &) = delete;

    void bind(int index, const QString &text); // 1-based, as SQLite counts
    bool next();

    bool isNull(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    QVariant value(int column) const; // NULL, integer, real or text

private:
    sqlite3_stmt *stmt_ = nullptr;
    QString sql_;
};
