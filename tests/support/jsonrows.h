#pragma once

#include "store/tdmorvs.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

// Inserts the rows of a JSON file {"Table": [{"Column": value, ...}, ...], ...} with bound values,
// so test input stays a data file beside its expected output.
inline bool loadJsonRows(TdmORVS &dm, const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject tables = QJsonDocument::fromJson(f.readAll()).object();
    for (auto t = tables.begin(); t != tables.end(); ++t) {
        for (const auto &rowValue : t.value().toArray()) {
            const QJsonObject row = rowValue.toObject();
            QStringList columns, marks;
            QVariantList values;
            for (auto c = row.begin(); c != row.end(); ++c) {
                columns << c.key();
                marks << QStringLiteral("?");
                values << c.value().toVariant();
            }
            dm.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(t.key(), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                    values);
        }
    }
    return true;
}
