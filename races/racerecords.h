#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <optional>
#include <vector>

class TdmORVS;
class OperationSink;

// Races, liberation sites and the club map as the race editor keeps them.
namespace RaceRecords {

inline const QString EntryError = QStringLiteral("Set new liberate point find data entry error !");

// The race code: code + "mmdd" for the first race of a club from this code on this date; with
// n earlier races that day, code + the letter 64 + n + the month as one hex digit + "dd".
QString formRaceCode(const QString &liberCode, const QDate &date, int earlierRaces);
// Races of the club from this code on this date, soft-deleted ones included.
int earlierRaces(TdmORVS &dm, const QString &clubId, const QString &liberCode, const QDate &date);

enum class Mode
{
    None,
    Add,
    Edit
};

// The editing area's fields.
struct RaceForm
{
    QString clubName; // text of the club box
    QString site;
    QString abbreviation;
    QString lon; // mask text, "    '  :  " when untouched
    QString lat;
    QDate date;
    QTime time;
    QString liberCode;
};

struct SaveOutcome
{
    bool ok = false;  // false: the save stopped with a message
    QString raceCode; // the race written (empty when none)
    bool raceWritten = false;
    bool siteCreated = false;
};

// The editing area checked against the columns: site, abbreviation and code fit and travel to a
// clock, coordinates are blank or readable, the date is one a race can have. Empty when fine.
QString check(const RaceForm &form);
// A club of the club map: its id and name fit and travel to a clock.
QString checkClub(const QString &id, const QString &name);

// Saves the editing area: in edit mode updates the loaded race (its code never changes), in add
// mode inserts a new race with a freshly formed code; then makes sure the liberation point exists
// (a new one gets zero distance rows for every loft).
SaveOutcome save(TdmORVS &dm, const RaceForm &form, Mode mode, const QString &loadedRaceCode,
                 OperationSink &sink);

// Soft-deletes a race (kept until the purge at close) and removes its sun rows.
void softDelete(TdmORVS &dm, const QString &clubId, const QString &raceCode);

struct Site
{
    QString code;
    QString name;
    QString abbreviation;
    QVariant lon;
    QVariant lat;
};
std::vector<Site> sitesByName(TdmORVS &dm);
std::optional<Site> siteByAbbreviation(TdmORVS &dm, const QString &abbreviation);
// Deletes a liberation point and its distance rows; its races stay.
void deleteSite(TdmORVS &dm, const QString &liberCode);

struct Club
{
    QString id;
    QString name;
};
std::vector<Club> clubs(TdmORVS &dm); // by ClubID
QStringList clubNamesInTableOrder(TdmORVS &dm);
std::optional<QString> clubIdOf(TdmORVS &dm, const QString &clubName);
QString clubNameOf(TdmORVS &dm, const QString &clubId);
// Adds a club to the club map; throws SqlError, and refuses (with the reason) what checkClub refuses.
QString addClub(TdmORVS &dm, const QString &id, const QString &name);
void deleteClub(TdmORVS &dm, const QString &name);

} // namespace RaceRecords
