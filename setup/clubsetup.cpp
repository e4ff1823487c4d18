#include "setup/clubsetup.h"

#include "device/clockentry.h"
#include "store/entrycheck.h"
#include "store/operationsink.h"
#include "store/sqlerror.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"

namespace ClubSetup {

QStringList clubBoxItems(TdmORVS &dm)
{
    QStringList items{Custom};
    for (const auto &r : dm.rows(QStringLiteral("SELECT ClubName FROM ORV_ClubMap ORDER BY ClubID")))
        items << r.value(0).toString();
    return items;
}

ClubForm load(TdmORVS &dm, const QString &iniLanguage, bool *present)
{
    ClubForm f;
    f.language = iniLanguage == QLatin1String("HU") ? 6 : 0;
    const auto rows = dm.rows(QStringLiteral("SELECT * FROM ORV_ClubData LIMIT 1"));
    if (present)
        *present = !rows.empty();
    if (rows.empty())
        return f;
    const QSqlRecord &r = rows.front();
    f.name = r.value("ClubName").toString();
    f.clubBoxText = f.name;
    f.abbreviation = r.value("ClubID").toString();
    f.street = r.value("Street").toString();
    f.city = r.value("City").toString();
    f.postCode = r.value("PostCode").toString();
    f.association = r.value("AssociationCode").toString();
    f.language = r.value("Language").toInt();
    f.mode = r.value("Mode").toInt();
    f.days = r.value("DBBackupDays").toString();
    f.copies = r.value("PrintCount").toString();
    f.distanceMethod = r.value("DistanceMethod").toInt() == 1 ? 1 : 0;
    return f;
}

bool lookupClub(TdmORVS &dm, const QString &clubName, QString *name, QString *id)
{
    const auto rec = TableObject(dm, QStringLiteral("ORV_ClubMap")).locate({{QStringLiteral("ClubName"), clubName}});
    if (!rec)
        return false;
    *name = rec->value("ClubName").toString();
    *id = rec->value("ClubID").toString();
    return true;
}

namespace {
bool toNumber(const QString &text, int *out, OperationSink &sink)
{
    bool ok = false;
    *out = text.trimmed().toInt(&ok);
    if (!ok)
        sink.failure(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return ok;
}
} // namespace

QString check(const ClubForm &f)
{
    const QString t = QStringLiteral("ORV_ClubData");
    return EntryCheck::first({
        ClockEntry::text(QStringLiteral("Club name"), f.name, t, QStringLiteral("ClubName")),
        ClockEntry::text(QStringLiteral("Club abbreviation"), f.abbreviation, t, QStringLiteral("ClubID")),
        ClockEntry::text(QStringLiteral("Street"), f.street, t, QStringLiteral("Street")),
        ClockEntry::text(QStringLiteral("City"), f.city, t, QStringLiteral("City")),
        ClockEntry::text(QStringLiteral("Post code"), f.postCode, t, QStringLiteral("PostCode")),
        ClockEntry::text(QStringLiteral("Association code"), f.association, t, QStringLiteral("AssociationCode")),
        EntryCheck::number(QStringLiteral("Backup age (days)"), f.days, 0, 3650),
        EntryCheck::number(QStringLiteral("Copies to print"), f.copies, 0, 100),
    });
}

int save(TdmORVS &dm, const ClubForm &f, OperationSink &sink)
{
    int days = 0, copies = 0;
    if (!toNumber(f.days, &days, sink) || !toNumber(f.copies, &copies, sink))
        return 0;
    if (const QString problem = check(f); !problem.isEmpty()) {
        sink.failure(problem);
        return 0;
    }

    TableObject clubMap(dm, QStringLiteral("ORV_ClubMap"));
    TableObject clubData(dm, QStringLiteral("ORV_ClubData"));
    const QVariantMap mapRow{{QStringLiteral("ClubID"), f.abbreviation}, {QStringLiteral("ClubName"), f.name}};
    const bool custom = f.clubBoxText == Custom;
    if (custom && clubMap.locate({{QStringLiteral("ClubID"), f.abbreviation}})) {
        sink.info(QStringLiteral("Club Abbrivation duplicate ! Club data setup fail !"));
        return 0;
    }
    const QVariantMap identity{{QStringLiteral("AssociationCode"), f.association},
                               {QStringLiteral("ClubID"), f.abbreviation}};
    const bool found = clubData.locate(identity).has_value();
    // Checked before anything is written, so a refused close leaves the stored record as it was.
    if (!found && (f.association.isEmpty() || f.abbreviation.isEmpty())) {
        sink.info(QStringLiteral("Association and Club Abbreviation must be filled !"));
        return 0;
    }

    Transaction tx(dm);
    if (custom)
        clubMap.append(mapRow);
    if (found) {
        clubData.edit(identity, {{QStringLiteral("Street"), f.street},
                                 {QStringLiteral("City"), f.city},
                                 {QStringLiteral("PostCode"), f.postCode},
                                 {QStringLiteral("Language"), f.language},
                                 {QStringLiteral("Mode"), f.mode},
                                 {QStringLiteral("DBBackupDays"), days},
                                 {QStringLiteral("PrintCount"), copies},
                                 {QStringLiteral("DistanceMethod"), f.distanceMethod}});
    } else {
        dm.exec(QStringLiteral("DELETE FROM ORV_ClubData"));
        // The club may be listed already; it is listed once.
        if (!clubMap.locate({{QStringLiteral("ClubID"), f.abbreviation}}))
            clubMap.append(mapRow);
        clubData.append({{QStringLiteral("ClubID"), f.abbreviation},
                         {QStringLiteral("ClubName"), f.name},
                         {QStringLiteral("Street"), f.street},
                         {QStringLiteral("City"), f.city},
                         {QStringLiteral("PostCode"), f.postCode},
                         {QStringLiteral("Language"), f.language},
                         {QStringLiteral("Mode"), f.mode},
                         {QStringLiteral("AssociationCode"), f.association},
                         {QStringLiteral("DBBackupDays"), days},
                         {QStringLiteral("PrintCount"), copies},
                         {QStringLiteral("DistanceMethod"), f.distanceMethod}});
    }
    tx.commit();
    return 1;
}

} // namespace ClubSetup
