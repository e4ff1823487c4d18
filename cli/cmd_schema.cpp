#include "cli/clicommand.h"

#include "store/tdmorvs.h"

#include <QSqlRecord>
#include <QTextStream>

namespace {
// Prints the columns as the database file really holds them, not as the code declares them.
int runSchema(CliContext &ctx)
{
    TdmORVS &dm = ctx.dm();
    QTextStream out(stdout);
    const auto tables = dm.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY rowid"));
    for (const auto &t : tables) {
        const QString table = t.value(0).toString();
        const QSqlRecord rec = dm.adocORVS().record(table);
        for (int i = 0; i < rec.count(); ++i)
            out << table << '.' << rec.fieldName(i) << '\n';
    }
    return 0;
}

CliRegistrar reg({QStringLiteral("schema"), QStringLiteral("schema"),
                  QStringLiteral("print every table column of the database, Table.Column"), runSchema});
} // namespace
