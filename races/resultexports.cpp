#include "races/resultexports.h"

#include "office/memberlines.h"
#include "races/raceinfo.h"
#include "races/resulttext.h"
#include "office/savefile.h"
#include "store/operationsink.h"
#include "store/recordtable.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QFileInfo>
#include <QDir>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>

namespace ResultExports {

namespace {

// A stored moment without time-zone work: the stored ISO form is read directly (it is what every
// row holds, and a week of 20,000 entries is read in one go); other forms go the general way.
struct Moment
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
    bool valid = false;
    qint64 key() const
    {
        return ((((qint64(year) * 13 + month) * 32 + day) * 24 + hour) * 60 + minute) * 60000 + second * 1000 + ms;
    }
    static QString two(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }
    QString dayMonthTime() const { return two(day) + two(month) + two(hour) + two(minute) + two(second); }
    QString timeOnly() const { return two(hour) + two(minute) + two(second); }
};

Moment readMoment(const QVariant &stored)
{
    Moment m;
    const QString s = stored.toString();
    auto digits = [&](int from, int n, int *out) {
        int v = 0;
        for (int i = from; i < from + n; ++i) {
            const QChar c = s.at(i);
            if (!c.isDigit())
                return false;
            v = v * 10 + c.digitValue();
        }
        *out = v;
        return true;
    };
    if (s.size() == 10 && s.at(4) == QLatin1Char('-') && s.at(7) == QLatin1Char('-') && digits(0, 4, &m.year)
        && digits(5, 2, &m.month) && digits(8, 2, &m.day) && QDate::isValid(m.year, m.month, m.day)) {
        m.valid = true; // a date alone: midnight
        return m;
    }
    if (s.size() >= 19 && s.at(4) == QLatin1Char('-') && s.at(7) == QLatin1Char('-')
        && (s.at(10) == QLatin1Char(' ') || s.at(10) == QLatin1Char('T')) && s.at(13) == QLatin1Char(':')
        && s.at(16) == QLatin1Char(':') && digits(0, 4, &m.year) && digits(5, 2, &m.month) && digits(8, 2, &m.day)
        && digits(11, 2, &m.hour) && digits(14, 2, &m.minute) && digits(17, 2, &m.second)) {
        int ms = 0;
        const int frac = s.size() > 20 && s.at(19) == QLatin1Char('.') ? int(s.size()) - 20 : 0;
        if ((s.size() == 19 || (frac >= 1 && frac <= 3 && digits(20, frac, &ms))) && QDate::isValid(m.year, m.month, m.day)
            && QTime::isValid(m.hour, m.minute, m.second)) {
            for (int i = frac; i < 3; ++i)
                ms *= 10;
            m.ms = ms;
            m.valid = true;
            return m;
        }
    }
    const QDateTime t = ValueText::parseDateTime(stored);
    if (t.isValid()) {
        m = {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(),
             t.time().second(), t.time().msec(), true};
    }
    return m;
}

// The zero moment, 30 December 1899 00:00, for a missing one.
const Moment ZeroMomentParts{1899, 12, 30, 0, 0, 0, 0, true};

QString dayMonthTime(const QVariant &stored)
{
    const Moment m = readMoment(stored);
    return (m.valid ? m : ZeroMomentParts).dayMonthTime();
}

QString timeOnly(const QVariant &stored)
{
    const Moment m = readMoment(stored);
    return (m.valid ? m : ZeroMomentParts).timeOnly();
}

QString rightIn(const QString &s, int width)
{
    return s.rightJustified(width, QLatin1Char(' '));
}

bool wholeNumber(const QString &text, qint64 *value)
{
    bool ok = false;
    *value = text.trimmed().toLongLong(&ok);
    return ok;
}

struct Entry
{
    QString liberCode, ringNo, backTime, loftNo, sex, colour, loftName, raceCode, abbr;
    QString country, year, letters, number;
    QDate liberDate;
    Moment marked;
    bool arrived = false;
};
} // namespace

QString winSpeedFileName(const QDate &liberDate)
{
    return QStringLiteral("W00000%1.D00").arg(liberDate.weekNumber(), 2, 10, QLatin1Char('0'));
}

QString xmlFileName(const RaceInfo &race)
{
    return QStringLiteral("RO%1_%2_%3.xml")
        .arg(race.raceCode.right(4), race.liberCode, race.liberDate.toString(QStringLiteral("yyyy-MM-dd")));
}

bool winSpeedRing(const QString &country, const QString &year, const QString &letters, const QString &number,
                  const QString &ringNo, QString *field, QString *error)
{
    qint64 n = 0;
    if (!country.isEmpty()) {
        if (!wholeNumber(number, &n)) {
            *error = QStringLiteral("Ring %1: '%2' is not a valid integer value").arg(ringNo, number);
            return false;
        }
        const QString yy = year.size() == 2 ? year : year.mid(2, 2);
        *field = country + yy + rightIn(letters, 4) + QStringLiteral("%1").arg(n, 6, 10, QLatin1Char('0'));
        return true;
    }
    const QStringList parts = ringNo.split(QLatin1Char('-'));
    const QString third = parts.size() >= 3 ? parts.mid(2).join(QLatin1Char('-')) : QString();
    if (parts.size() < 3 || !wholeNumber(third, &n)) {
        *error = QStringLiteral("Ring %1: '%2' is not a valid integer value").arg(ringNo, third);
        return false;
    }
    *field = parts.at(0) + rightIn(parts.at(1), 4) + QStringLiteral("%1").arg(n, 6, 10, QLatin1Char('0'));
    return true;
}

bool buildWinSpeed(TdmORVS &dm, const RaceInfo &race, WinSpeed *out, QString *error)
{
    const QDate monday = race.liberDate.addDays(1 - race.liberDate.dayOfWeek());
    const QDate sunday = monday.addDays(6);
    const QVariantList week{ValueText::date(monday), ValueText::date(sunday)};

    // Live races of the week; arrived birds first in arrival order within a loft and race.
    QSqlQuery q = dm.exec(
        QStringLiteral(
            "SELECT a.rowid, a.LiberCode, a.LiberDate, a.PRingNo, a.BackTime, a.MarkedTime, b.LoftNo, b.Sex, "
            "b.ColorType, c.LoftName, b.RCountry, b.RYear, b.RRegLetter, b.RRegNumber, d.LiberSiteAbbr, a.RaceCode "
            "FROM ORV_PigRaceData a LEFT JOIN ORV_PigData b ON a.PRingNo=b.PRingNo "
            "LEFT JOIN ORV_LoftData c ON b.LoftNo=c.LoftNo "
            "JOIN ORV_RaceData d ON a.RaceCode=d.RaceCode AND d.DeleteMark=0 "
            "WHERE date(a.LiberDate) BETWEEN date(?) AND date(?) "
            "ORDER BY b.LoftNo, a.RaceCode, (a.BackTime IS NULL OR a.BackTime=''), a.BackTime, a.rowid"),
        week);
    std::vector<Entry> entries;
    QSet<qint64> seen; // an entry joined to two pigeon, loft or race rows is written once
    while (q.next()) {
        if (seen.contains(q.value(0).toLongLong()))
            continue;
        seen.insert(q.value(0).toLongLong());
        Entry e;
        e.liberCode = q.value(1).toString();
        const Moment day = readMoment(q.value(2));
        e.liberDate = day.valid ? QDate(day.year, day.month, day.day) : QDate();
        e.ringNo = q.value(3).toString();
        e.backTime = q.value(4).toString();
        e.arrived = !e.backTime.isEmpty();
        e.marked = readMoment(q.value(5));
        e.loftNo = q.value(6).toString();
        e.sex = q.value(7).toString();
        e.colour = q.value(8).toString();
        e.loftName = q.value(9).toString();
        e.country = q.value(10).toString();
        e.year = q.value(11).toString();
        e.letters = q.value(12).toString();
        e.number = q.value(13).toString();
        e.abbr = q.value(14).toString();
        e.raceCode = q.value(15).toString();
        entries.push_back(std::move(e));
    }
    if (entries.empty()) {
        *error = QStringLiteral("No race entries in week %1 (%2 to %3).")
                     .arg(race.liberDate.weekNumber())
                     .arg(ValueText::date(monday), ValueText::date(sunday));
        return false;
    }

    // Clock times of the week's lofts, by race and loft (the first row of a pair).
    QHash<QString, QSqlRecord> clockRows;
    for (const QSqlRecord &r : dm.rows(QStringLiteral("SELECT RaceCode, LoftNo, DLMarkedTime, ULMasterTime, ULClockTime "
                                                      "FROM ORV_RaceClockTime WHERE RaceCode IN (SELECT DISTINCT RaceCode "
                                                      "FROM ORV_PigRaceData WHERE date(LiberDate) BETWEEN date(?) AND "
                                                      "date(?)) ORDER BY rowid"),
                                       week)) {
        const QString key = r.value(0).toString() + QLatin1Char('\n') + r.value(1).toString();
        if (!clockRows.contains(key))
            clockRows.insert(key, r);
    }

    WinSpeed w;
    w.file.addLine(QLatin1Char('0') + entries.front().liberDate.toString(QStringLiteral("ddMMyy")));
    QStringList raceKeys, lofts;
    size_t i = 0;
    while (i < entries.size()) {
        size_t end = i;
        while (end < entries.size() && entries[end].loftNo == entries[i].loftNo
               && entries[end].raceCode == entries[i].raceCode)
            ++end;
        const Entry &first = entries[i];
        int arrived = 0;
        std::vector<qint64> markedSorted;
        for (size_t k = i; k < end; ++k) {
            arrived += entries[k].arrived ? 1 : 0;
            if (entries[k].marked.valid)
                markedSorted.push_back(entries[k].marked.key());
        }
        std::sort(markedSorted.begin(), markedSorted.end());

        w.file.addLine(QStringLiteral("1000000") + QStringLiteral("%1").arg(arrived, 3, 10, QLatin1Char('0'))
                       + first.loftName.leftJustified(20, QLatin1Char(' ')) + rightIn(first.liberCode, 2)
                       + QLatin1Char(' ') + first.liberDate.toString(QStringLiteral("MM/dd")) + QLatin1Char(' ')
                       + first.abbr.leftJustified(9, QLatin1Char(' ')) + QStringLiteral("1-1.55.6-3.34-1.5"));
        const QSqlRecord clock = clockRows.value(first.raceCode + QLatin1Char('\n') + first.loftNo);
        w.file.addLine(QStringLiteral("20000000") + dayMonthTime(clock.value(QStringLiteral("DLMarkedTime")))
                       + dayMonthTime(clock.value(QStringLiteral("ULMasterTime")))
                       + timeOnly(clock.value(QStringLiteral("ULClockTime"))));

        for (size_t k = i; k < end; ++k) {
            const Entry &e = entries[k];
            QString ring;
            if (!winSpeedRing(e.country, e.year, e.letters, e.number, e.ringNo, &ring, error))
                return false;
            QString arrival = QStringLiteral("0000000000");
            if (e.arrived) {
                const Moment t = readMoment(e.backTime);
                if (!t.valid) {
                    *error = QStringLiteral("Ring %1: '%2' is not a valid date and time").arg(e.ringNo, e.backTime);
                    return false;
                }
                arrival = t.dayMonthTime();
            }
            // Place in the loft's basketing order; only the first five keep it.
            int order = 0;
            if (e.marked.valid)
                order = int(std::upper_bound(markedSorted.begin(), markedSorted.end(), e.marked.key())
                            - markedSorted.begin());
            if (order > 5)
                order = 0;
            w.file.addLine(QStringLiteral("3000000") + ring + e.sex.left(1).leftJustified(1, QLatin1Char(' '))
                           + rightIn(e.liberCode, 2) + (e.arrived ? QLatin1Char('1') : QLatin1Char('0')) + arrival
                           + QString::number(order) + QString(27, QLatin1Char('0'))
                           + (e.colour.size() < 5 ? e.colour : e.colour.left(4)));
        }

        const QString raceKey = first.liberDate.toString(QStringLiteral("ddMMyy")) + QLatin1Char(',') + first.liberCode;
        if (!raceKeys.contains(raceKey))
            raceKeys << raceKey;
        if (!first.loftNo.isEmpty() && !lofts.contains(first.loftNo))
            lofts << first.loftNo;
        i = end;
    }
    for (int k = 0; k < raceKeys.size(); ++k)
        w.liberCodes.addLine(QStringLiteral("%1,").arg(k + 1, 2, 10, QLatin1Char('0')) + raceKeys.at(k));
    for (int k = 0; k < lofts.size(); ++k)
        w.lofts.addFields({QStringLiteral("%1").arg(k + 1, 2, 10, QLatin1Char('0')), lofts.at(k)});
    *out = std::move(w);
    return true;
}

namespace {
// Date-times in the XML keep the stored form, so the file reads the same on every PC.
QString xmlMoment(const QVariant &stored)
{
    const QDateTime t = ValueText::parseDateTime(stored);
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

// (later - earlier) in whole seconds, halves away from zero; 0 when either is missing.
qint64 secondsBetween(const QVariant &later, const QVariant &earlier)
{
    const QDateTime a = ValueText::parseDateTime(later), b = ValueText::parseDateTime(earlier);
    if (!a.isValid() || !b.isValid())
        return 0;
    return qint64(std::round(double(b.msecsTo(a)) / 1000.0));
}
} // namespace

QByteArray buildXml(TdmORVS &dm, const RaceInfo &race)
{
    QByteArray bytes;
    QXmlStreamWriter x(&bytes);
    x.setAutoFormatting(true);
    x.writeStartDocument(QStringLiteral("1.0"));
    x.writeStartElement(QStringLiteral("ReadOutDataSet"));
    const int mode = Races::clubMode(dm);

    // The race's arrivals by loft, each loft's in arrival order (entries of unknown rings belong to
    // no loft). One query each for arrivals, names, distance rows and clock times: the race is read
    // in one pass, not loft by loft.
    QStringList lofts;
    QHash<QString, std::vector<QSqlRecord>> arrivals;
    for (QSqlRecord &r : dm.rows(QStringLiteral("SELECT b.LoftNo, a.PRingNo, b.E_Ring, a.BackTime, b.Sex, b.ColorType "
                                                 "FROM ORV_PigRaceData a JOIN ORV_PigData b ON a.PRingNo=b.PRingNo "
                                                 "WHERE a.RaceCode=? AND a.BackTime IS NOT NULL AND a.BackTime<>'' "
                                                 "AND b.LoftNo IS NOT NULL ORDER BY b.LoftNo, a.BackTime, a.rowid"),
                                  {race.raceCode})) {
        const QString loft = r.value(0).toString();
        if (lofts.isEmpty() || lofts.last() != loft)
            lofts << loft;
        arrivals[loft].push_back(std::move(r));
    }
    QHash<QString, QString> names; // the first row of each loft number, as a look-up finds it
    for (const QSqlRecord &r : dm.rows(QStringLiteral("SELECT LoftNo, LoftName FROM ORV_LoftData ORDER BY rowid")))
        if (!names.contains(r.value(0).toString()))
            names.insert(r.value(0).toString(), r.value(1).toString());
    // Lofts read through their distance row for the race's code.
    QHash<QString, QSqlRecord> fanciers;
    for (const QSqlRecord &r : dm.rows(QStringLiteral("SELECT a.LoftNo, a.LoftName, a.Street, a.City, a.PostCode, "
                                                      "a.LoftLon, a.LoftLat, b.Miles, b.Yards FROM ORV_LoftData a "
                                                      "JOIN ORV_LoftLibPointDist b ON a.LoftNo=b.LoftNo WHERE "
                                                      "b.LiberCode=? ORDER BY a.rowid, b.rowid"),
                                       {race.liberCode}))
        if (!fanciers.contains(r.value(0).toString()))
            fanciers.insert(r.value(0).toString(), r);
    QHash<QString, QSqlRecord> timers;
    for (const QSqlRecord &r : dm.rows(QStringLiteral("SELECT LoftNo, DLMarkedTime, ULMasterTime, ULClockTime, "
                                                      "DLMasterTime, ClockID FROM ORV_RaceClockTime WHERE RaceCode=? "
                                                      "ORDER BY rowid"),
                                       {race.raceCode}))
        if (!timers.contains(r.value(0).toString()))
            timers.insert(r.value(0).toString(), r);

    const QString libDateTime =
        race.liberDate.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ')
        + (race.liberTime.isValid() ? race.liberTime : QTime(0, 0)).toString(QStringLiteral("HH:mm:ss"));
    for (int k = 0; k < lofts.size(); ++k) {
        // Without a distance row the fancier's details stay empty.
        const bool hasRow = fanciers.contains(lofts.at(k));
        const QSqlRecord r = fanciers.value(lofts.at(k));
        const bool noCoordinates = r.value(5).toString().startsWith(QLatin1Char(' '));
        x.writeStartElement(QStringLiteral("Fancier"));
        x.writeTextElement(QStringLiteral("ID"), QString::number(k + 1));
        x.writeTextElement(QStringLiteral("LoftNumber"), r.value(0).toString());
        x.writeTextElement(QStringLiteral("MemberName"), r.value(1).toString());
        x.writeTextElement(QStringLiteral("Address"), r.value(2).toString());
        x.writeTextElement(QStringLiteral("City"), r.value(3).toString());
        x.writeTextElement(QStringLiteral("PostCode"), r.value(4).toString());
        x.writeTextElement(QStringLiteral("CoordX"), noCoordinates ? QString() : r.value(5).toString());
        x.writeTextElement(QStringLiteral("CoordY"), noCoordinates ? QString() : r.value(6).toString());
        x.writeTextElement(QStringLiteral("ClubID"), race.clubId);
        x.writeTextElement(QStringLiteral("LiberCode"), race.liberCode);
        x.writeTextElement(QStringLiteral("LiberSite"), race.liberSite);
        x.writeTextElement(QStringLiteral("LibDateTime"), libDateTime);
        x.writeTextElement(QStringLiteral("Distance"),
                           hasRow ? ResultText::distance(r.value(7), r.value(8), mode, QLatin1Char('-'))
                                  : QStringLiteral("0"));
        x.writeEndElement();
    }

    int id = 0;
    for (int k = 0; k < lofts.size(); ++k) {
        const QString name = names.value(lofts.at(k));
        for (const QSqlRecord &q : arrivals.value(lofts.at(k))) {
            x.writeStartElement(QStringLiteral("Pigeons"));
            x.writeTextElement(QStringLiteral("ID"), QString::number(++id));
            x.writeTextElement(QStringLiteral("FancierID"), QString::number(k + 1));
            x.writeTextElement(QStringLiteral("MemberName"), name);
            x.writeTextElement(QStringLiteral("ETSring"), q.value(2).toString());
            x.writeTextElement(QStringLiteral("RingNum"), q.value(1).toString());
            x.writeTextElement(QStringLiteral("Time"), q.value(3).toString());
            x.writeTextElement(QStringLiteral("Sex"), q.value(4).toString());
            x.writeTextElement(QStringLiteral("Colour"), q.value(5).toString());
            x.writeEndElement();
        }
    }

    for (int k = 0; k < lofts.size(); ++k) {
        const bool hasRow = timers.contains(lofts.at(k));
        const QSqlRecord r = timers.value(lofts.at(k));
        const QVariant dlMarked = r.value(1), ulMaster = r.value(2), ulClock = r.value(3), dlMaster = r.value(4);
        x.writeStartElement(QStringLiteral("Timers"));
        x.writeTextElement(QStringLiteral("ID"), QString::number(k + 1));
        x.writeTextElement(QStringLiteral("FancierID"), QString::number(k + 1));
        x.writeTextElement(QStringLiteral("MemberName"), hasRow ? names.value(lofts.at(k)) : QString());
        x.writeTextElement(QStringLiteral("ClubID"), race.clubId);
        x.writeTextElement(QStringLiteral("ClockNum"), r.value(5).toString());
        x.writeTextElement(QStringLiteral("LiberCode"), race.liberCode);
        x.writeTextElement(QStringLiteral("LiberSite"), race.liberSite);
        x.writeTextElement(QStringLiteral("BasketingMasterTime"), xmlMoment(dlMaster.isNull() ? dlMarked : dlMaster));
        x.writeTextElement(QStringLiteral("BasketingMemberTime"), xmlMoment(dlMarked));
        x.writeTextElement(QStringLiteral("BasketingDiff"), QString::number(secondsBetween(dlMarked, dlMaster)));
        x.writeTextElement(QStringLiteral("ReadOutMasterTime"), xmlMoment(ulMaster));
        x.writeTextElement(QStringLiteral("ReadOutMemberTime"), xmlMoment(ulClock));
        x.writeTextElement(QStringLiteral("ReadOutDiff"), QString::number(secondsBetween(ulClock, ulMaster)));
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndDocument();
    return bytes;
}

WorkbookWriter resultWorkbook(const RecordTable &list)
{
    static const QStringList fields{QStringLiteral("Pos"),      QStringLiteral("LiberCode"), QStringLiteral("PRingNo"),
                                    QStringLiteral("BackTime"), QStringLiteral("FlyTime"),   QStringLiteral("FlySpeed"),
                                    QStringLiteral("LoftNo"),   QStringLiteral("dist"),      QStringLiteral("sex"),
                                    QStringLiteral("ColorType"), QStringLiteral("TimeVari")};
    WorkbookWriter w(fields);
    for (int c : {2, 3, 4})
        w.setTextColumn(c);
    w.setNumberFormat(5, QStringLiteral("0.000"));
    const std::pair<int, double> widths[] = {{2, 20}, {3, 25}, {4, 15}, {5, 10}, {6, 10}, {7, 20}};
    for (const auto &[c, width] : widths)
        w.setWidth(c, width);
    for (int row = 0; row < list.rowCount(); ++row) {
        QVariantList values;
        for (const QString &f : fields) // "dist" is the Miles/Yards text the list holds as DistText
            values << list.value(row, f == QLatin1String("dist") ? QStringLiteral("DistText") : f);
        w.addRow(std::move(values));
    }
    return w;
}

TextFile smsMembers(TdmORVS &dm, const RaceInfo &race)
{
    TextFile f;
    QSqlQuery q = dm.exec(QStringLiteral("SELECT b.LoftNo, c.LoftName, c.PhoneNo, c.LoftLon, c.LoftLat, "
                                         "c.AssociationCode, c.EMail FROM ORV_PigRaceData a "
                                         "JOIN ORV_PigData b ON a.PRingNo=b.PRingNo "
                                         "LEFT JOIN ORV_LoftData c ON b.LoftNo=c.LoftNo WHERE a.RaceCode=? "
                                         "GROUP BY b.LoftNo, c.LoftName, c.PhoneNo, c.LoftLon, c.LoftLat, "
                                         "c.AssociationCode, c.EMail ORDER BY b.LoftNo"),
                          {race.raceCode});
    while (q.next()) {
        f.addFields(MemberLines::fieldsOfRow(dm, q, race.raceCode));
    }
    return f;
}

TextFile smsBirds(TdmORVS &dm, const RaceInfo &race)
{
    TextFile f;
    QSqlQuery q = dm.exec(QStringLiteral("SELECT a.PRingNo, b.E_Ring, b.UID, b.LoftNo, c.LoftName, c.AssociationCode, "
                                         "a.RaceCode, b.Comment FROM ORV_PigRaceData a "
                                         "LEFT JOIN ORV_PigData b ON a.PRingNo=b.PRingNo "
                                         "LEFT JOIN ORV_LoftData c ON b.LoftNo=c.LoftNo WHERE a.RaceCode=? "
                                         "ORDER BY b.LoftNo, a.PRingNo"),
                          {race.raceCode});
    while (q.next())
        f.addFields({q.value(3).toString(), q.value(4).toString(), q.value(0).toString(),
                     q.value(1).toString().left(8), q.value(2).toString().left(8), q.value(5).toString(),
                     q.value(6).toString(), q.value(7).toString()});
    return f;
}

bool saveWinSpeed(TdmORVS &dm, const RaceInfo &race, const QString &path, OperationSink &sink)
{
    WinSpeed w;
    QString error;
    if (!buildWinSpeed(dm, race, &w, &error)) {
        sink.failure(error);
        return false;
    }
    const QDir folder = QFileInfo(path).absoluteDir();
    if (!w.file.save(path, &error)) {
        sink.failure(QStringLiteral("%1: %2").arg(path, error));
        return false;
    }
    // The companion lists go beside the race file.
    for (const auto &[list, name] : {std::pair{&w.liberCodes, LiberCodeListName}, std::pair{&w.lofts, LoftListName}}) {
        if (!list->save(folder.filePath(name), &error)) {
            sink.failure(QStringLiteral("%1: %2").arg(folder.filePath(name), error));
            return false;
        }
        list->reportWarnings(name, sink);
    }
    w.file.reportWarnings(QFileInfo(path).fileName(), sink);
    sink.success(path);
    return true;
}

bool saveXml(TdmORVS &dm, const RaceInfo &race, const QString &path, OperationSink &sink)
{
    const QByteArray bytes = buildXml(dm, race);
    QString error;
    if (!SaveFile::write(path, bytes, &error)) {
        sink.failure(QStringLiteral("%1: %2").arg(path, error));
        return false;
    }
    sink.success(path);
    return true;
}

bool saveResultWorkbook(const RecordTable &list, const QString &path, OperationSink &sink)
{
    QString error;
    if (!resultWorkbook(list).save(path, &error)) {
        sink.failure(error);
        return false;
    }
    sink.success(path);
    return true;
}

bool saveSms(TdmORVS &dm, const RaceInfo &race, const QString &memberPath, const QString &birdPath,
             OperationSink &sink)
{
    bool ok = true;
    if (!memberPath.isEmpty())
        ok = smsMembers(dm, race).saveReporting(memberPath, sink) && ok;
    if (!birdPath.isEmpty())
        ok = smsBirds(dm, race).saveReporting(birdPath, sink) && ok;
    return ok;
}

} // namespace ResultExports
