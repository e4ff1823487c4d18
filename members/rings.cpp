#include "members/rings.h"

#include "members/colours.h"
#include "members/members.h"
#include "store/appclock.h"
#include "device/clockentry.h"
#include "store/entrycheck.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

namespace Rings {

namespace {
bool in(const QString &c, std::initializer_list<const char *> list)
{
    for (const char *x : list)
        if (c == QLatin1String(x))
            return true;
    return false;
}

bool isFourDigitGroup(const QString &c)
{
    return in(c, {"AU", "IF", "CU", "MX"});
}

// A registration number as an integer; digits only (the boxes accept nothing else).
bool readNumber(const QString &text, long long *out)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (QChar ch : text)
        if (!ch.isDigit() || ch.unicode() > 127)
            return false;
    *out = text.toLongLong();
    return true;
}

QString zeroFilled(long long n, int width)
{
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

QString yy(const QString &year)
{
    return year.mid(2, 2);
}

const QString NumberError = QStringLiteral("Registration number is empty or not a number !");
const QString UpperError = QStringLiteral("Upper registration number is not a number !");
} // namespace

CountryRule countryRule(const QString &c)
{
    CountryRule r;
    if (in(c, {"BELG", "NL", "FR"})) {
        r.setLetters = true;
        r.letters = QStringLiteral("-");
        r.numberLimit = c == QLatin1String("FR") ? 6 : 7;
        r.hint = QStringLiteral("Field value : '-' ");
    } else if (c == QLatin1String("IHU")) {
        r.unlockLetters = true;
        r.letterLimit = 1;
        r.numberLimit = 6;
        r.hint = QStringLiteral("Field value : 'N' Or 'S'");
    } else if (in(c, {"GB", "NWHU", "WHU", "SU"})) {
        r.unlockLetters = true;
        r.letterLimit = 1;
        r.numberLimit = 5;
        r.hint = QStringLiteral("Field value : 'A' ~ 'Z'");
    } else if (c == QLatin1String("NEHU")) {
        r.unlockLetters = true;
        r.letterLimit = 5;
        r.numberLimit = 5;
        r.hint = QStringLiteral("Field value : AP,BOR... ");
    } else if (c == QLatin1String("DV")) {
        r.numberLimit = 5;
    } else {
        r.unlockLetters = true;
        r.letterLimit = 5;
        r.numberLimit = 7;
    }
    return r;
}

bool letterKeyAllowed(const QString &c, QChar k)
{
    const bool letter = (k >= QLatin1Char('A') && k <= QLatin1Char('Z')) || (k >= QLatin1Char('a') && k <= QLatin1Char('z'));
    if (c == QLatin1String("IHU"))
        return QStringLiteral("NSns").contains(k);
    if (in(c, {"GB", "NEHU", "NWHU", "WHU"}))
        return letter;
    if (c == QLatin1String("SU"))
        return letter || k == QLatin1Char('-');
    return true;
}

bool compose(const RingEntry &e, const QString &selectedRing, QString *ring, QString *error)
{
    const QString &C = e.country, &Y = e.year, &L = e.letters, &N = e.number;
    if (in(C, {"NWHU", "NEHU", "MALTA"})) {
        *ring = C + Y + L + N;
    } else if (isFourDigitGroup(C)) {
        QString num = N;
        if (N.size() < 4) {
            long long n = 0;
            if (!readNumber(N, &n)) {
                if (error)
                    *error = NumberError;
                return false;
            }
            num = zeroFilled(n, 4);
        }
        *ring = C + yy(Y) + QLatin1Char('-') + L + QLatin1Char('-') + num;
    } else if (in(C, {"CZ", "SK"})) {
        *ring = C + QLatin1Char('-') + yy(Y) + QLatin1Char('-') + L + QLatin1Char('-') + N;
    } else if (in(C, {"PL", "DV"})) {
        *ring = C + L + QLatin1Char('-') + yy(Y) + QLatin1Char('-') + N;
    } else if (C == QLatin1String("FRANCE")) {
        *ring = C + QLatin1Char('-') + yy(Y) + QLatin1Char('-') + L + QLatin1Char('.') + N;
    } else {
        *ring = N.isEmpty() ? selectedRing : C + yy(Y) + L + N;
    }
    return true;
}

QString composeRange(const RingEntry &e, long long n, int width, QString *stored)
{
    const QString &C = e.country, &Y = e.year, &L = e.letters;
    const QString f = zeroFilled(n, width);
    *stored = f;
    if (in(C, {"NWHU", "NEHU", "MALTA"}))
        return C + Y + L + f;
    if (isFourDigitGroup(C)) {
        *stored = zeroFilled(n, 4);
        return C + yy(Y) + QLatin1Char('-') + L + QLatin1Char('-') + *stored;
    }
    if (in(C, {"CZ", "SK"}))
        return C + QLatin1Char('-') + yy(Y) + QLatin1Char('-') + L + QLatin1Char('-') + QString::number(n);
    if (in(C, {"PL", "DV"}))
        return C + L + QLatin1Char('-') + yy(Y) + QLatin1Char('-') + f;
    if (C == QLatin1String("FRANCE"))
        return C + QLatin1Char('-') + yy(Y) + QLatin1Char('-') + L + QLatin1Char('.') + f;
    return C + yy(Y) + L + f;
}

namespace {
const QString PigTable = QStringLiteral("ORV_PigData");

QString digitsOnly(const QString &field, const QString &value, const QString &column)
{
    if (const QString p = EntryCheck::text(field, value, PigTable, column); !p.isEmpty())
        return p;
    for (QChar ch : value)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return QStringLiteral("%1: digits only.").arg(field);
    return {};
}
} // namespace

QString checkParts(const QString &country, const QString &year, const QString &letters, const QString &number)
{
    // "FRANCE" has a composition of its own although it is longer than the column.
    const QString countryProblem =
        country == QLatin1String("FRANCE")
            ? QString()
            : ClockEntry::text(QStringLiteral("Country code"), country, PigTable, QStringLiteral("RCountry"), EntryCheck::NoComma);
    QString yearProblem = digitsOnly(QStringLiteral("Year"), year, QStringLiteral("RYear"));
    if (yearProblem.isEmpty() && year.size() != 0 && year.size() != 2 && year.size() != 4)
        yearProblem = QStringLiteral("Year: 2 or 4 digits.");
    return EntryCheck::first({
        countryProblem,
        yearProblem,
        ClockEntry::text(QStringLiteral("Registration letters"), letters, PigTable, QStringLiteral("RRegLetter"), EntryCheck::NoComma),
        digitsOnly(QStringLiteral("Registration number"), number, QStringLiteral("RRegNumber")),
    });
}

QString checkRing(const QString &ring)
{
    return ClockEntry::text(QStringLiteral("Ring number"), ring, PigTable, QStringLiteral("PRingNo"), EntryCheck::NoComma);
}

QString check(const RingEntry &e)
{
    if (const QString p = EntryCheck::first({
            checkParts(e.country, e.year, e.letters, e.number),
            digitsOnly(QStringLiteral("Upper registration number"), e.upper, QStringLiteral("RRegNumber")),
            EntryCheck::text(QStringLiteral("Comment"), e.comment, PigTable, QStringLiteral("Comment"), EntryCheck::MultiLine | EntryCheck::NoComma),
        });
        !p.isEmpty())
        return p;
    if (!e.upper.isEmpty() && !e.number.isEmpty()) {
        const long long count = e.upper.toLongLong() - e.number.toLongLong() + 1;
        if (count > MaxRangeRings)
            return QStringLiteral("Upper registration number: a range holds at most %1 rings (%2 to %3 would be %4).")
                .arg(QString::number(MaxRangeRings), e.number, e.upper, QString::number(count));
    }
    return {};
}

QString sexCode(const QString &t)
{
    if (t == QLatin1String("Hen"))
        return QStringLiteral("H");
    if (t == QLatin1String("Cock"))
        return QStringLiteral("C");
    return QStringLiteral("U");
}

QString sexText(const QString &code)
{
    if (code == QLatin1String("H"))
        return QStringLiteral("Hen");
    if (code == QLatin1String("C"))
        return QStringLiteral("Cock");
    return QStringLiteral("Unknown");
}

namespace {
// Removes the soft-deleted copies of a number. Live copies stay: they may be another loft's bird.
void purgeDeleted(TdmORVS &dm, const QString &ring)
{
    dm.exec(QStringLiteral("DELETE FROM ORV_PigData WHERE PRingNo=? AND COALESCE(DeleteMark,0)<>0"), {ring});
}

bool exists(TdmORVS &dm, const QString &ring)
{
    return dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo=?"), {ring}).toInt() > 0;
}

void insert(TdmORVS &dm, const QString &loftNo, const RingEntry &e, const QString &ring, const QString &number,
            const QString &sex, const QString &colour, const QString &comment)
{
    dm.exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo,PRingNo,RCountry,RYear,RRegLetter,RRegNumber,Sex,"
                           "ColorType,Comment,SynchFlag,CreateDate,Updatetime,DeleteMark) "
                           "VALUES (?,?,?,?,?,?,?,?,?,1,?,?,0)"),
            {loftNo, ring, e.country, e.year, e.letters, number, sex, colour, comment,
             ValueText::date(AppClock::today()), ValueText::dateTime(AppClock::now())});
}
} // namespace

SaveResult save(TdmORVS &dm, const QString &loftNo, const RingEntry &e, const QString &selectedRing,
                OperationSink &sink)
{
    SaveResult res;
    QString ring, error;
    if (!compose(e, selectedRing, &ring, &error)) {
        sink.failure(error);
        return res;
    }
    // Editing a stored ring changes its sex, colour and comment only: its number parts are the
    // stored ones, which may predate these checks and must stay editable.
    const bool editing =
        !selectedRing.isEmpty()
        && dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_PigData WHERE PRingNo=? AND COALESCE(DeleteMark,0)=0"),
                     {ring})
                   .toInt() > 0;
    const QString problem = editing ? EntryCheck::text(QStringLiteral("Comment"), e.comment, PigTable,
                                                       QStringLiteral("Comment"), EntryCheck::MultiLine | EntryCheck::NoComma)
                                    : EntryCheck::first({check(e), checkRing(ring)});
    if (!problem.isEmpty()) {
        sink.failure(problem);
        return res;
    }
    // Without a number a new ring is only its country, year and letters (or nothing at all).
    if (!editing && e.number.trimmed().isEmpty()) {
        sink.failure(NumberError);
        return res;
    }
    // Every number is read before anything is written, so a bad box leaves the store untouched.
    long long lower = 0, upper = 0;
    const bool isRange = !e.upper.isEmpty();
    if (isRange) {
        if (!readNumber(e.number, &lower)) {
            sink.failure(NumberError);
            return res;
        }
        if (!readNumber(e.upper, &upper)) {
            sink.failure(UpperError);
            return res;
        }
        // The upper ring is the longest of the range.
        QString stored;
        if (const QString tooLong = checkRing(composeRange(e, upper, int(e.number.size()), &stored));
            upper > lower && !tooLong.isEmpty()) {
            sink.failure(tooLong);
            return res;
        }
    }
    const QString sex = sexCode(e.sexText);
    const QString colour = FeatherColours::codeFor(dm, e.colourText);
    // A code typed into the box (one starting with a digit) is taken as it stands.
    if (const QString p = ClockEntry::text(QStringLiteral("Colour"), colour, PigTable, QStringLiteral("ColorType"));
        !p.isEmpty()) {
        sink.failure(p);
        return res;
    }
    const QString comment = Members::cleanNote(e.comment);

    Transaction tx(dm);
    purgeDeleted(dm, ring);
    res.lastRing = ring;
    if (exists(dm, ring)) {
        if (selectedRing.isEmpty()) {
            sink.failure(QStringLiteral("Ring %1 exists already !").arg(ring));
            return res;
        }
        dm.exec(QStringLiteral("UPDATE ORV_PigData SET Sex=?,ColorType=?,Comment=?,Updatetime=?,SynchFlag=1 "
                               "WHERE PRingNo=? AND LoftNo=?"),
                {sex, colour, comment, ValueText::dateTime(AppClock::now()), selectedRing, loftNo});
    } else if (!isRange || upper - lower < 1) {
        insert(dm, loftNo, e, ring, e.number, sex, colour, comment);
    } else {
        const int width = static_cast<int>(e.number.size());
        for (long long n = lower; n <= upper; ++n) {
            QString stored;
            const QString rn = composeRange(e, n, width, &stored);
            purgeDeleted(dm, rn);
            res.lastRing = rn;
            if (exists(dm, rn)) {
                res.skipped << rn;
                continue;
            }
            insert(dm, loftNo, e, rn, stored, sex, colour, comment);
        }
    }
    tx.commit();
    if (!res.skipped.isEmpty())
        sink.info(QStringLiteral("These ring numbers exist already and were not added: %1")
                      .arg(res.skipped.join(QStringLiteral(", "))));
    res.ok = true;
    return res;
}

QString shownRingNo(const QSqlRecord &r)
{
    const QVariant ring = r.value(QStringLiteral("PRingNo"));
    if (ring.isNull())
        return {};
    const QString c = r.value(QStringLiteral("RCountry")).toString();
    const QString year = r.value(QStringLiteral("RYear")).toString();
    const QString letters = r.value(QStringLiteral("RRegLetter")).toString();
    const QVariant number = r.value(QStringLiteral("RRegNumber"));
    const QLatin1Char sp(' ');
    if (c == QLatin1String("NWHU") || c == QLatin1String("NEHU"))
        return c + sp + year + sp + letters + sp + number.toString();
    if (number.isNull())
        return ring.toString();
    return c + sp + yy(year) + sp + letters + sp + number.toString();
}

QString shownColour(const QHash<QString, QString> &colourNames, const QSqlRecord &r)
{
    return FeatherColours::shownName(colourNames, r.value(QStringLiteral("ColorType")).toString());
}

QString shownSex(const QSqlRecord &r)
{
    return sexText(r.value(QStringLiteral("Sex")).toString());
}

std::optional<RingEntry> load(TdmORVS &dm, const QString &loftNo, const QString &ring)
{
    const auto rows = dm.rows(QStringLiteral("SELECT * FROM ORV_PigData WHERE LoftNo=? AND PRingNo=? LIMIT 1"),
                              {loftNo, ring});
    if (rows.empty())
        return std::nullopt;
    const QSqlRecord &r = rows.front();
    RingEntry e;
    e.country = r.value(QStringLiteral("RCountry")).toString();
    e.year = r.value(QStringLiteral("RYear")).toString();
    e.letters = r.value(QStringLiteral("RRegLetter")).toString();
    e.number = r.value(QStringLiteral("RRegNumber")).toString();
    e.sexText = shownSex(r);
    e.colourText = shownColour(FeatherColours::names(dm), r);
    e.comment = r.value(QStringLiteral("Comment")).toString();
    return e;
}

bool deleteRing(TdmORVS &dm, const QString &loftNo, const QString &ring, OperationSink &sink)
{
    if (sink.ask(QStringLiteral("This will delete the data ?")) != Answer::Yes)
        return false;
    dm.exec(QStringLiteral("UPDATE ORV_PigData SET DeleteMark=1,SynchFlag=1,Updatetime=? WHERE LoftNo=? AND PRingNo=?"),
            {ValueText::dateTime(AppClock::now()), loftNo, ring});
    return true;
}

bool toggleDeleteMark(TdmORVS &dm, const QString &loftNo, const QString &ring, bool currentMark)
{
    const bool mark = !currentMark;
    dm.exec(QStringLiteral("UPDATE ORV_PigData SET DeleteMark=?,SynchFlag=1,Updatetime=? WHERE LoftNo=? AND PRingNo=?"),
            {mark ? 1 : 0, ValueText::dateTime(AppClock::now()), loftNo, ring});
    return mark;
}

bool deleteAll(TdmORVS &dm, const QString &loftNo, OperationSink &sink)
{
    if (sink.ask(QStringLiteral("This will delete all pigeons data ?")) != Answer::Yes)
        return false;
    dm.exec(QStringLiteral("UPDATE ORV_PigData SET DeleteMark=1 WHERE LoftNo=?"), {loftNo});
    return true;
}

} // namespace Rings
