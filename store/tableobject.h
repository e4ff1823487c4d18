#pragma once

#include <QSqlRecord>
#include <QHash>
#include <QString>
#include <QVariantMap>
#include <optional>
#include <vector>

class TdmORVS;

// A shared table object (`adotClubData`, `adotLoftData` …): locate, append, edit, filter and
// remove rows of one table by named columns. Column names are checked against the schema, values
// always bound.
class TableObject
{
public:
    TableObject(TdmORVS &dm, const QString &table);

    const QString &table() const { return table_; }

    std::optional<QSqlRecord> locate(const QVariantMap &keys) const;
    std::vector<QSqlRecord> filter(const QVariantMap &keys = {}, const QString &orderByColumn = {}) const;
    int count(const QVariantMap &keys = {}) const;
    void append(const QVariantMap &values);
    // Updates the rows matching keys; returns how many.
    int edit(const QVariantMap &keys, const QVariantMap &values);
    int remove(const QVariantMap &keys);

private:
    QString checked(const QString &column) const;
    QString where(const QVariantMap &keys, QVariantList &binds) const;

    TdmORVS &dm_;
    QString table_;
};

// The club-wide settings every page reads from the club record.
struct ClubSettings
{
    QString clubId;
    QString clubName;
    QString associationCode;
    QString street;
    QString city;
    QString postCode;
    int language = 0;
    int mode = 0; // 0 metres / MPM, 1 yards / Yds/Min
    int backupDays = 0;
    int printCount = 1;
    bool present = false;

    static ClubSettings load(TdmORVS &dm);
    QString speedTitle() const { return mode == 0 ? QStringLiteral("MPM") : QStringLiteral("Yds/Min"); }
};

// Display texts of the loft distance table's fields.
namespace LoftDistText {
QString milesOrYards(const QVariant &v); // NULL -> "", else grouped whole number
// The loft's current name; empty when no loft has that number; `current` when loftNo is NULL.
QString loftName(TdmORVS &dm, const QVariant &loftNo, const QString &current = {});
// Every loft's name by loft number (the first row of a number, as a look-up finds it): lists
// read it once instead of asking per row.
QHash<QString, QString> loftNames(TdmORVS &dm);
} // namespace LoftDistText
