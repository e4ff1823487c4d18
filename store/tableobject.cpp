#include "store/tableobject.h"


#include "store/schema.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QStringList>

TableObject::TableObject(TdmORVS &dm, const QString &table) : dm_(dm)
{
    const TableDef *def = findTable(table);
    if (!def)
        throw SqlError(QStringLiteral("Unknown table %1").arg(table), table);
    table_ = QString::fromLatin1(def->name);
}

QString TableObject::checked(const QString &column) const
{
    const TableDef *def = findTable(table_);
    for (const auto &c : def->columns)
        if (column.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(c.name);
    throw SqlError(QStringLiteral("Unknown column %1.%2").arg(table_, column), column);
}

QString TableObject::where(const QVariantMap &keys, QVariantList &binds) const
{
    if (keys.isEmpty())
        return {};
    QStringList parts;
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        if (it.value().isNull()) {
            parts << checked(it.key()) + QLatin1String(" IS NULL");
        } else {
            parts << checked(it.key()) + QLatin1String("=?");
            binds << it.value();
        }
    }
    return QLatin1String(" WHERE ") + parts.join(QLatin1String(" AND "));
}

std::optional<QSqlRecord> TableObject::locate(const QVariantMap &keys) const
{
    QVariantList binds;
    const auto rows = dm_.rows(QLatin1String("SELECT * FROM ") + table_ + where(keys, binds) +
                                   QLatin1String(" LIMIT 1"),
                               binds);
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}

std::vector<QSqlRecord> TableObject::filter(const QVariantMap &keys, const QString &orderByColumn) const
{
    QVariantList binds;
    QString sql = QLatin1String("SELECT * FROM ") + table_ + where(keys, binds);
    if (!orderByColumn.isEmpty())
        sql += QLatin1String(" ORDER BY ") + checked(orderByColumn);
    return dm_.rows(sql, binds);
}

int TableObject::count(const QVariantMap &keys) const
{
    QVariantList binds;
    return dm_.scalar(QLatin1String("SELECT COUNT(*) FROM ") + table_ + where(keys, binds), binds).toInt();
}

void TableObject::append(const QVariantMap &values)
{
    QStringList cols, marks;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        cols << checked(it.key());
        marks << QStringLiteral("?");
        binds << it.value();
    }
    dm_.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table_, cols.join(','), marks.join(',')), binds);
}

int TableObject::edit(const QVariantMap &keys, const QVariantMap &values)
{
    QStringList sets;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        sets << checked(it.key()) + QLatin1String("=?");
        binds << it.value();
    }
    const QString w = where(keys, binds);
    return dm_.exec(QStringLiteral("UPDATE %1 SET %2").arg(table_, sets.join(',')) + w, binds).numRowsAffected();
}

int TableObject::remove(const QVariantMap &keys)
{
    QVariantList binds;
    const QString w = where(keys, binds);
    return dm_.exec(QLatin1String("DELETE FROM ") + table_ + w, binds).numRowsAffected();
}

ClubSettings ClubSettings::load(TdmORVS &dm)
{
    ClubSettings s;
    const auto rows = dm.rows(QStringLiteral("SELECT * FROM ORV_ClubData LIMIT 1"));
    if (rows.empty())
        return s;
    const QSqlRecord &r = rows.front();
    s.present = true;
    s.clubId = r.value("ClubID").toString();
    s.clubName = r.value("ClubName").toString();
    s.associationCode = r.value("AssociationCode").toString();
    s.street = r.value("Street").toString();
    s.city = r.value("City").toString();
    s.postCode = r.value("PostCode").toString();
    s.language = r.value("Language").toInt();
    s.mode = r.value("Mode").toInt();
    s.backupDays = r.value("DBBackupDays").toInt();
    s.printCount = r.value("PrintCount").isNull() ? 1 : r.value("PrintCount").toInt();
    return s;
}

QString LoftDistText::milesOrYards(const QVariant &v)
{
    return ValueText::groupedInteger(v);
}

QString LoftDistText::loftName(TdmORVS &dm, const QVariant &loftNo, const QString &current)
{
    if (loftNo.isNull())
        return current;
    return dm.scalar(QStringLiteral("SELECT LoftName FROM ORV_LoftData WHERE LoftNo=? LIMIT 1"), {loftNo})
        .toString();
}

QHash<QString, QString> LoftDistText::loftNames(TdmORVS &dm)
{
    QHash<QString, QString> names;
    QSqlQuery q = dm.exec(QStringLiteral("SELECT LoftNo, LoftName FROM ORV_LoftData ORDER BY rowid"));
    while (q.next()) {
        const QString loft = q.value(0).toString();
        if (!names.contains(loft))
            names.insert(loft, q.value(1).toString());
    }
    return names;
}
