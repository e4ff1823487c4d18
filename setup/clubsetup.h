#pragma once

#include <QString>
#include <QStringList>

class TdmORVS;
class OperationSink;

// The club's own record as the setup page edits it.
struct ClubForm
{
    QString clubBoxText; // "Custom", a listed club's name, or typed text
    QString name;
    QString abbreviation;
    QString street;
    QString city;
    QString postCode;
    QString association;
    int language = 0;
    int mode = 0;
    int distanceMethod = 0; // 0 club formula, 1 WGS84 geodesic
    QString days = QStringLiteral("0");
    QString copies = QStringLiteral("1");
};

namespace ClubSetup {

inline const QString Custom = QStringLiteral("Custom");
// Items of the distance method box, by stored value.
inline const QStringList DistanceMethods{QStringLiteral("Club formula"), QStringLiteral("WGS84 geodesic")};

// Items of the club box: "Custom", then the club map's names by ClubID (the page draws a
// separator line between them; it is no choice).
QStringList clubBoxItems(TdmORVS &dm);
// The stored record, or the first-run defaults (language from ORVS.ini's "Language": "HU" gives
// Hungary). `present` tells whether a record exists.
ClubForm load(TdmORVS &dm, const QString &iniLanguage, bool *present);
// Name and id of a listed club; false when the name is not in the club map.
bool lookupClub(TdmORVS &dm, const QString &clubName, QString *name, QString *id);
// The record checked against its columns: every text fits and travels to a clock (the club
// download sends them), the backup age is 0 to 3650 days and the copies 0 to 100. Empty when fine.
QString check(const ClubForm &form);
// Stores the record at close. Returns ClubUpdateStat: 1 when the record was stored, else 0.
int save(TdmORVS &dm, const ClubForm &form, OperationSink &sink);

} // namespace ClubSetup
