#include "races/distances.h"

#include "races/coordinates.h"
#include "office/textfile.h"
#include "races/raceinfo.h"
#include "store/entrycheck.h"
#include "store/operationsink.h"
#include "store/regularfile.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"

#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QStringDecoder>

namespace Distances {

namespace {
// Single-byte text as the federations' files are written; UTF-8 is accepted when the file is.
QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString s = utf8.decode(bytes);
    if (!utf8.hasError())
        return s;
    return QString::fromLatin1(bytes);
}

// A whole number field; empty gives NULL.
bool integerField(const QString &field, QVariant *out)
{
    if (field.isEmpty()) {
        *out = QVariant(QMetaType::fromType<int>());
        return true;
    }
    bool ok = false;
    const int v = field.trimmed().toInt(&ok);
    if (!ok)
        return false;
    *out = v;
    return true;
}
} // namespace

QString checkStored(const QVariant &miles, const QVariant &yards, int mode)
{
    const bool km = mode == 0;
    const auto part = [](const QString &field, const QVariant &v, qint64 max) {
        return v.isNull() ? QString() : EntryCheck::range(field, v.toLongLong(), 0, max);
    };
    return EntryCheck::first({
        part(km ? QStringLiteral("KM") : QStringLiteral("Miles"), miles, km ? MaxKilometres : MaxMiles),
        part(km ? QStringLiteral("M") : QStringLiteral("Yards"), yards, km ? 999 : 1759),
    });
}

void store(TdmORVS &dm, const QString &liberCode, const QString &loftNo, long long metres, int mode)
{
    const Coordinates::Stored s = Coordinates::toStored(metres, mode);
    const int n =
        dm.exec(QStringLiteral("UPDATE ORV_LoftLibPointDist SET Miles=?, Yards=? WHERE rowid="
                               "(SELECT rowid FROM ORV_LoftLibPointDist WHERE LiberCode=? AND LoftNo=? "
                               "LIMIT 1)"),
                {s.miles, s.yards, liberCode, loftNo})
            .numRowsAffected();
    if (n == 0)
        dm.exec(QStringLiteral(
                    "INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) VALUES (?,?,?,?)"),
                {liberCode, loftNo, s.miles, s.yards});
}

namespace {
// Every loft with a longitude gets its distance to one liberation point, by the club's method.
int writeForPoint(TdmORVS &dm, const QString &liberCode, const QVariant &liberLon, const QVariant &liberLat,
                  OperationSink &sink)
{
    const int mode = Races::clubMode(dm);
    const Coordinates::DistanceMethod method = Races::clubDistanceMethod(dm);
    // A point stored without coordinates gives 0 without a message.
    const bool hasCoordinates = !liberLon.isNull() && !liberLat.isNull();
    const auto lofts = dm.rows(QStringLiteral("SELECT LoftNo, LoftLon, LoftLat FROM ORV_LoftData "
                                              "WHERE LoftLon IS NOT NULL ORDER BY rowid"));
    Transaction tx(dm);
    int written = 0;
    for (const auto &l : lofts) {
        long long metres = 0;
        if (hasCoordinates) {
            const Coordinates::Distance d =
                Coordinates::distance(liberLon.toString(), liberLat.toString(), l.value(1).toString(),
                                      l.value(2).toString(), method);
            if (!d.message.isEmpty())
                sink.failure(d.message);
            metres = d.metres;
        }
        store(dm, liberCode, l.value(0).toString(), metres, mode);
        ++written;
    }
    tx.commit();
    return written;
}
} // namespace

int updateFromCoordinates(TdmORVS &dm, const QString &raceCode, OperationSink &sink)
{
    const auto race = Races::findRace(dm, raceCode);
    if (!race) {
        sink.failure(QStringLiteral("Race %1 not found").arg(raceCode));
        return 0;
    }
    return writeForPoint(dm, race->liberCode, race->liberLon, race->liberLat, sink);
}

int recalculatePoint(TdmORVS &dm, const QString &liberCode, OperationSink &sink)
{
    // The site's own coordinates; a code flown without a site record uses its latest live race.
    auto rows = dm.rows(QStringLiteral("SELECT LiberLon, LiberLat FROM ORV_LiberateSite WHERE LiberCode=? "
                                       "ORDER BY rowid LIMIT 1"),
                        {liberCode});
    if (rows.empty())
        rows = dm.rows(QStringLiteral("SELECT LiberLon, LiberLat FROM ORV_RaceData WHERE LiberCode=? "
                                      "ORDER BY DeleteMark, date(LiberDate) DESC, rowid DESC LIMIT 1"),
                       {liberCode});
    if (rows.empty()) {
        sink.failure(QStringLiteral("Liberation point %1 not found").arg(liberCode));
        return -1;
    }
    const int n = writeForPoint(dm, liberCode, rows.front().value(0), rows.front().value(1), sink);
    sink.success(QStringLiteral("%1 loft distances to %2 recalculated (%3)")
                     .arg(n)
                     .arg(liberCode, Coordinates::methodName(Races::clubDistanceMethod(dm))));
    return n;
}

bool LineReader::next(QByteArray *line)
{
    cut_ = false;
    if (in_.atEnd())
        return false;
    // At most one line's worth is held: the rest of a longer line is read in pieces and dropped,
    // so that a file of one huge line never sits in memory.
    *line = in_.readLine(MaxLineBytes + 2);
    ++number_;
    if (!line->endsWith('\n')) {
        while (!in_.atEnd()) {
            const QByteArray rest = in_.readLine(MaxLineBytes + 2);
            cut_ = cut_ || !rest.isEmpty();
            if (rest.endsWith('\n'))
                break;
        }
    }
    while (line->endsWith('\n') || line->endsWith('\r'))
        line->chop(1);
    if (line->size() > MaxLineBytes)
        cut_ = true;
    if (cut_)
        line->truncate(MaxLineBytes);
    return true;
}

DistanceLine parseLine(const QByteArray &raw)
{
    DistanceLine d;
    QStringList f = decode(raw).split(QLatin1Char(','));
    while (f.size() < 4)
        f << QString();
    d.liberCode = f[0];
    d.loftNo = f[1];
    d.milesText = f[2];
    d.yardsText = f[3];
    d.milesOk = integerField(f[2], &d.miles);
    d.yardsOk = integerField(f[3], &d.yards);
    const QString t = QStringLiteral("ORV_LoftLibPointDist");
    d.skip = EntryCheck::first({
        EntryCheck::text(QStringLiteral("Liberation code"), d.liberCode, t, QStringLiteral("LiberCode")),
        EntryCheck::text(QStringLiteral("Loft number"), d.loftNo, t, QStringLiteral("LoftNo")),
    });
    return d;
}

bool importFile(TdmORVS &dm, QIODevice &in, OperationSink &sink)
{
    const int mode = Races::clubMode(dm);
    Transaction tx(dm);
    LineReader reader(in);
    QByteArray raw;
    int stored = 0, skipped = 0;
    while (reader.next(&raw)) {
        if (reader.lineWasCut()) {
            ++skipped;
            sink.failure(QStringLiteral("Line %1 skipped: longer than %2 characters")
                             .arg(reader.lineNumber())
                             .arg(LineReader::MaxLineBytes));
            continue;
        }
        const DistanceLine d = parseLine(raw);
        const auto pair =
            dm.rows(QStringLiteral("SELECT rowid FROM ORV_LoftLibPointDist WHERE LiberCode=? AND "
                                   "LoftNo=? LIMIT 1"),
                    {d.liberCode, d.loftNo});
        if (pair.empty() && d.liberCode.isEmpty())
            continue;
        if (!d.skip.isEmpty()) {
            ++skipped;
            sink.failure(QStringLiteral("Line %1 skipped: %2").arg(reader.lineNumber()).arg(d.skip));
            continue;
        }
        if (!d.milesOk || !d.yardsOk) {
            tx.commit(); // the lines before stay imported
            sink.failure(QStringLiteral("Line %1: '%2' is not a valid integer value (field %3, a whole number "
                                        "is needed). The lines before it were stored, the rest not.")
                             .arg(reader.lineNumber())
                             .arg(d.milesOk ? d.yardsText : d.milesText)
                             .arg(d.milesOk ? 4 : 3));
            return false;
        }
        if ((!d.miles.isNull() && d.miles.toLongLong() < 0) || (!d.yards.isNull() && d.yards.toLongLong() < 0)) {
            tx.commit();
            sink.failure(QStringLiteral("Line %1: a distance cannot be negative").arg(reader.lineNumber()));
            return false;
        }
        if (const QString problem = checkStored(d.miles, d.yards, mode); !problem.isEmpty()) {
            tx.commit(); // the lines before stay imported
            sink.failure(QStringLiteral("Line %1: %2").arg(reader.lineNumber()).arg(problem));
            return false;
        }
        QString why;
        const bool written =
            !pair.empty()
                ? dm.tryExec(QStringLiteral("UPDATE ORV_LoftLibPointDist SET Miles=?, Yards=? WHERE rowid=?"),
                             {d.miles, d.yards, pair.front().value(0)}, &why)
                : dm.tryExec(QStringLiteral("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) "
                                            "VALUES (?,?,?,?)"),
                             {d.liberCode, d.loftNo, d.miles, d.yards}, &why);
        if (!written) {
            tx.commit(); // what was written before stays
            sink.failure(QStringLiteral("Line %1: the distance could not be stored: %2")
                             .arg(reader.lineNumber())
                             .arg(why));
            return false;
        }
        ++stored;
    }
    tx.commit();
    if (skipped > 0) {
        // Success would hide the lines that were not stored.
        sink.failure(QStringLiteral("Race distance download: %1 line(s) stored, %2 skipped (see above).")
                         .arg(stored)
                         .arg(skipped));
        return false;
    }
    sink.success(QStringLiteral("Race Distance download success ") + QString(QChar(0xFF01)) + QChar(0xFF01));
    return true;
}

bool importFile(TdmORVS &dm, const QString &path, OperationSink &sink)
{
    if (const QString refused = RegularFile::refusal(path); !refused.isEmpty()) {
        sink.failure(refused);
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        sink.failure(QStringLiteral("Cannot open %1: %2").arg(path, f.errorString()));
        return false;
    }
    return importFile(dm, f, sink);
}

namespace {
TextFile requestFile(TdmORVS &dm, int *count)
{
    const auto rows = dm.rows(QStringLiteral("SELECT DISTINCT b.LiberCode, a.LoftNo FROM ORV_LoftData a, "
                                             "ORV_LiberateSite b ORDER BY a.LoftNo, b.LiberCode"));
    TextFile file;
    for (const auto &r : rows)
        file.addFields({r.value(0).toString(), r.value(1).toString()});
    *count = static_cast<int>(rows.size());
    return file;
}
} // namespace

int writeRequestFile(TdmORVS &dm, QIODevice &out)
{
    int n = 0;
    QString error;
    return requestFile(dm, &n).write(out, &error) ? n : 0;
}

int writeRequestFile(TdmORVS &dm, const QString &path, OperationSink &sink)
{
    int n = 0;
    const TextFile file = requestFile(dm, &n);
    QString error;
    if (!file.save(path, &error)) {
        sink.failure(QStringLiteral("Cannot write %1: %2").arg(path, error));
        return 0;
    }
    file.reportWarnings(QFileInfo(path).fileName(), sink);
    return n;
}

void addZeroRows(TdmORVS &dm, const QString &liberCode)
{
    dm.exec(
        QStringLiteral("INSERT INTO ORV_LoftLibPointDist (LiberCode, LoftNo, Miles, Yards) "
                       "SELECT ?, l.LoftNo, 0, 0 FROM ORV_LoftData l WHERE NOT EXISTS (SELECT 1 FROM "
                       "ORV_LoftLibPointDist d WHERE d.LiberCode=? AND d.LoftNo=l.LoftNo) ORDER BY l.rowid"),
        {liberCode, liberCode});
}

} // namespace Distances
