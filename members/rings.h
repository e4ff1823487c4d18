#pragma once

#include <QHash>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <optional>

class TdmORVS;
class OperationSink;

// The ring entry's parts as typed: country C, year Y, registration letters L, number N and, for a
// range, the upper number U.
struct RingEntry
{
    QString country;
    QString year;
    QString letters;
    QString number;
    QString upper; // empty: a single ring
    QString sexText = QStringLiteral("Cock"); // "Hen", "Cock", "Unknown"
    QString colourText = QStringLiteral("Other");
    QString comment;
};

// What choosing a country from the list does to the letters box and the number boxes.
struct CountryRule
{
    bool setLetters = false;   // letters set to `letters` and locked
    bool unlockLetters = false;
    QString letters;
    int letterLimit = -1;      // -1: unchanged
    int numberLimit = -1;
    std::optional<QString> hint; // unset: unchanged
};

namespace Rings {

CountryRule countryRule(const QString &country);
// Whether a key typed into the letters box is kept, by country; a refused key becomes a backspace.
bool letterKeyAllowed(const QString &country, QChar key);

// The ring number of a single entry. `selectedRing` is taken unchanged by the general rule when
// the number is empty. Returns false with *error set when a number must be read and is not one.
bool compose(const RingEntry &e, const QString &selectedRing, QString *ring, QString *error = nullptr);
// The ring number of range member n and the registration number stored for it; `width` is the
// number of digits the lower number was typed with.
QString composeRange(const RingEntry &e, long long n, int width, QString *storedNumber);

// Most rings one range may add: a secretary enters a box of rings, not a million.
constexpr long long MaxRangeRings = 1000;

// The ring-number parts checked against their columns: country, year (empty, 2 or 4 digits, sent
// to the clock as a number), letters, number (digits); nothing a clock's field list cannot carry.
// Empty when fine, else a message naming the field. Serves the entry form, the CLI and the import.
QString checkParts(const QString &country, const QString &year, const QString &letters, const QString &number);
// A composed ring number: fits its column and travels to a clock.
QString checkRing(const QString &ring);
// The whole entry: its parts, the upper number, the size of the range and the comment.
QString check(const RingEntry &e);

QString sexCode(const QString &sexText);   // "Hen" H, "Cock" C, else U
QString sexText(const QString &code);      // H Hen, C Cock, else Unknown

struct SaveResult
{
    bool ok = false;
    QString lastRing;     // the last composed number: the list moves to it
    QStringList skipped;  // range numbers already held by a live ring
};
// Stores the entry for the member: a new ring, a range of new rings, or, when the composed number
// exists, an edit of the ring selected in the list (sex, colour, comment). Soft-deleted copies of a
// number are removed before it is inserted again. All or nothing.
SaveResult save(TdmORVS &dm, const QString &loftNo, const RingEntry &e, const QString &selectedRing,
                OperationSink &sink);

// The ring list's display texts (also used by the printed ring list).
QString shownRingNo(const QSqlRecord &row);
QString shownColour(const QHash<QString, QString> &colourNames, const QSqlRecord &row);
QString shownSex(const QSqlRecord &row);

// The entry form filled from a stored ring (Edit Ring, a click on a ring row).
std::optional<RingEntry> load(TdmORVS &dm, const QString &loftNo, const QString &ring);

// Soft-deletes one ring after "This will delete the data ?"; true on Yes.
bool deleteRing(TdmORVS &dm, const QString &loftNo, const QString &ring, OperationSink &sink);
// Inverts the ring's delete mark (Mult_Del) from `currentMark`; returns the new mark.
bool toggleDeleteMark(TdmORVS &dm, const QString &loftNo, const QString &ring, bool currentMark);
// Soft-deletes every pigeon of the loft after "This will delete all pigeons data ?"; the sync flag
// and update time stay. True on Yes.
bool deleteAll(TdmORVS &dm, const QString &loftNo, OperationSink &sink);

} // namespace Rings
