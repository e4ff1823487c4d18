#pragma once

#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <vector>

// Steps that bring a database file up to what this program keeps beside the 13 tables: tables of
// our own, columns added later. `PRAGMA user_version` counts the steps a file has had; a new file
// goes through the same steps as an old one, so both end alike. Each step runs once, in one
// transaction with its version bump. Append new steps at the end; never reorder or edit old ones.
struct SchemaStep
{
    int version; // the file's user_version once the step is done (1, 2, 3, …)
    const char *what;
    std::function<void(QSqlDatabase &)> apply; // throws SqlError
};

namespace SchemaUpgrade {
const std::vector<SchemaStep> &steps();
int latestVersion();
int fileVersion(QSqlDatabase &db);
// Runs every step the file has not had yet. Throws SqlError (the failing step is rolled back).
void upgrade(QSqlDatabase &db);

// Helpers for steps: each does nothing when its object is already there.
void addColumnIfMissing(QSqlDatabase &db, const QString &table, const QString &column, const QString &sqlType);
void run(QSqlDatabase &db, const QString &sql);
} // namespace SchemaUpgrade
