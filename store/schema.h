#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <vector>

struct ColumnDef
{
    const char *name;
    const char *sqlType;
};

struct TableDef
{
    const char *name;
    std::vector<ColumnDef> columns;
    QStringList columnNames() const;
};

// The 13 tables of the club database, columns in stored order.
const std::vector<TableDef> &schemaTables();
const TableDef *findTable(const QString &name);
// Our own tables beside the 13 (season championships), columns in stored order.
const std::vector<TableDef> &ownSchemaTables();

// Creates every missing table (and its lookup indexes) and upgrades older ones. Throws SqlError.
void createSchema(QSqlDatabase &db);
// Appends the columns a database made by an earlier version lacks; returns how many were added.
int upgradeSchema(QSqlDatabase &db);
