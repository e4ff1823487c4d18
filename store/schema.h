#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <vector>

struct ColumnDef
{
    const char *name;
    const char *sqlType;
    int size = 0; // characters a text column holds; 0 where none is stated (20 by convention)
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
// Characters a text column of the 13 tables holds (a column without a stated size holds 20).
int columnSize(const QString &table, const QString &column);
// Our own tables beside the 13 (season championships), columns in stored order.
const std::vector<TableDef> &ownSchemaTables();

// Creates every missing table (and its lookup indexes) and upgrades older ones. Throws SqlError.
void createSchema(QSqlDatabase &db);
// Appends the columns a database made by an earlier version lacks; returns how many were added.
int upgradeSchema(QSqlDatabase &db);
