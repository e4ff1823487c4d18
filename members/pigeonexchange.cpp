#include "members/pigeonexchange.h"

#include "members/rings.h"
#include "office/memberlines.h"
#include "device/clockentry.h"
#include "store/entrycheck.h"
#include "store/appclock.h"
#include "store/operationsink.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

namespace PigeonExchange {

namespace {
// Longest cell text a pigeon field takes; anything longer is not a pigeon row.
constexpr int MaxCellText = 255;
constexpr int MaxRingText = 20;

bool shortYearCountry(const QString &c)
{
    return c == QLatin1String("AU") || c == QLatin1String("IF") || c == QLatin1String("CU")
           || c == QLatin1String("MX");
}

QString grouped(int n)
{
    QLocale l = QLocale::system();
    l.setNumberOptions(QLocale::DefaultNumberOptions); // keep the thousands separator
    return l.toString(n);
}
} // namespace

QStringList sheetHeadings()
{
    return {QStringLiteral("LoftNo"),     QStringLiteral("RCountry"), QStringLiteral("RYear"),
            QStringLiteral("RRegLetter"), QStringLiteral("RRegNumber"), QStringLiteral("Sex"),
            QStringLiteral("ColorType"),  QStringLiteral("PRingNo"),  QStringLiteral("E_Ring")};
}

WorkbookWriter pigeonWorkbook(TdmORVS &dm, const QString &loftNo)
{
    WorkbookWriter w(sheetHeadings());
    for (int c : {0, 2, 3, 4, 6, 7, 8})
        w.setTextColumn(c);
    QString sql = QStringLiteral("SELECT LoftNo, RCountry, RYear, RRegLetter, RRegNumber, "
                                 "CASE Sex WHEN 'C' THEN 'Cock' WHEN 'H' THEN 'Hen' ELSE 'Unknown' END, "
                                 "ColorType, PRingNo, E_Ring FROM ORV_PigData WHERE COALESCE(DeleteMark,0)=0");
    QVariantList binds;
    if (loftNo.isEmpty()) {
        sql += QStringLiteral(" ORDER BY LoftNo, PRingNo");
    } else {
        sql += QStringLiteral(" AND LoftNo=? ORDER BY PRingNo");
        binds << loftNo;
    }
    QSqlQuery q = dm.exec(sql, binds);
    while (q.next()) {
        const QString country = q.value(1).toString();
        QString year = q.value(2).toString();
        if (shortYearCountry(country) && year.size() == 4)
            year = year.right(2);
        w.addRow({q.value(0), q.value(1), year, q.value(3), q.value(4), q.value(5), q.value(6), q.value(7),
                  q.value(8)});
    }
    return w;
}

bool savePigeons(TdmORVS &dm, const QString &loftNo, const QString &path, OperationSink &sink)
{
    QString error;
    if (!pigeonWorkbook(dm, loftNo).save(path, &error)) {
        sink.failure(error);
        return false;
    }
    sink.success(path);
    return true;
}

TextFile memberList(TdmORVS &dm)
{
    TextFile f;
    QSqlQuery q = dm.exec(QStringLiteral("SELECT LoftNo, LoftName, PhoneNo, LoftLon, LoftLat, AssociationCode, EMail "
                                         "FROM ORV_LoftData ORDER BY LoftNo"));
    while (q.next()) {
        f.addFields(MemberLines::fieldsOfRow(dm, q, QString()));
    }
    return f;
}

bool saveMemberList(TdmORVS &dm, const QString &path, OperationSink &sink)
{
    return memberList(dm).saveReporting(path, sink);
}

QString composeRing(const QString &country, const QString &year, const QString &letters, const QString &number)
{
    // A two-digit year is already the short year.
    const QString yy = year.size() == 2 ? year : year.mid(2, 2);
    static const QStringList plain{QStringLiteral("NWHU"), QStringLiteral("NEHU"), QStringLiteral("MALTA")};
    static const QStringList dashed{QStringLiteral("AU"), QStringLiteral("IF"), QStringLiteral("CZ"),
                                    QStringLiteral("SK"), QStringLiteral("CU"), QStringLiteral("MX")};
    if (plain.contains(country))
        return country + year + letters + number;
    if (dashed.contains(country))
        return country + yy + QLatin1Char('-') + letters + QLatin1Char('-')
               + number.rightJustified(4, QLatin1Char('0'));
    if (country == QLatin1String("PL"))
        return country + letters + yy + number;
    return country + yy + letters + number;
}

QString ImportOutcome::summary() const
{
    return QStringLiteral("%1 inserted, %2 updated, %3 skipped").arg(inserted).arg(updated).arg(skipped);
}

ImportOutcome importPigeons(TdmORVS &dm, const QString &path, OperationSink &sink)
{
    WorkbookSheet sheet;
    QString error;
    if (!readFirstSheet(path, &sheet, &error)) {
        sink.failure(error);
        return {};
    }
    return importSheet(dm, sheet, sink);
}

SheetRow readRow(const WorkbookSheet &sheet, int row, bool wide)
{
    SheetRow r;
    int tooLong = 0;
    for (int c = 1; c <= 9; ++c) {
        // Empty cells give empty texts (not NULL), as ring entry stores its parts.
        QString t = (c <= 7 || wide) ? sheet.text(row, c).trimmed() : QString();
        if (t.isNull())
            t = QStringLiteral("");
        if (!t.isEmpty())
            r.empty = false;
        if (t.size() > MaxCellText && tooLong == 0)
            tooLong = c;
        r.cells << t;
    }
    if (r.empty)
        return r;
    if (tooLong) {
        r.skip = QStringLiteral("cell in column %1 is longer than %2 characters").arg(tooLong).arg(MaxCellText);
        return r;
    }
    const QStringList &cell = r.cells;
    r.loft = cell.at(0);
    if (r.loft.isEmpty()) {
        r.skip = QStringLiteral("no loft number");
        return r;
    }
    const QString pig = QStringLiteral("ORV_PigData");
    if (const QString p = EntryCheck::first({
            ClockEntry::text(QStringLiteral("Loft number"), r.loft, pig, QStringLiteral("LoftNo"), EntryCheck::NoComma),
            Rings::checkParts(cell.at(1), cell.at(2), cell.at(3), cell.at(4)),
            ClockEntry::text(QStringLiteral("Colour"), cell.at(6), pig, QStringLiteral("ColorType")),
            // Electronic rings longer than their column exist in older stores; an exported sheet
            // must import back, so only what would break the clock is refused.
            ClockEntry::textOfSize(QStringLiteral("Electronic ring"), cell.at(8), MaxCellText, EntryCheck::NoComma),
        });
        !p.isEmpty()) {
        r.skip = p;
        return r;
    }
    const bool composed = !wide || cell.at(7).isEmpty();
    // Composed without its number a ring is only country and year ("BELG24", "CZ24-A-0000").
    if (composed && cell.at(4).isEmpty()) {
        r.skip = QStringLiteral("no registration number (column E) and no ring number (column H)");
        return r;
    }
    r.ring = composed ? composeRing(cell.at(1), cell.at(2), cell.at(3), cell.at(4)) : cell.at(7);
    if (r.ring.isEmpty()) {
        r.skip = QStringLiteral("no ring number");
        return r;
    }
    if (const QString p = Rings::checkRing(r.ring); !p.isEmpty()) {
        r.skip = QStringLiteral("ring %1: %2").arg(r.ring.left(MaxRingText), p);
        return r;
    }
    const QString &sexText = cell.at(5);
    r.sex = sexText == QLatin1String("Hen")    ? QStringLiteral("H")
            : sexText == QLatin1String("Cock") ? QStringLiteral("C")
                                               : QStringLiteral("U");
    return r;
}

ImportOutcome importSheet(TdmORVS &dm, const WorkbookSheet &sheet, OperationSink &sink)
{
    ImportOutcome out;
    const int rows = sheet.rowCount();
    const int columns = sheet.columnCount();
    const bool wide = columns != 7; // ring and electronic ring read from the sheet
    if (rows < 2) {
        sink.failure(QStringLiteral("The first worksheet holds no rows below its heading row: nothing was imported."));
        return out;
    }

    // The pigeon table as it is before the import: ring -> rows (loft, live).
    struct Held
    {
        QString loft;
        bool live;
    };
    QHash<QString, QList<Held>> held;
    {
        QSqlQuery q = dm.exec(QStringLiteral("SELECT PRingNo, LoftNo, COALESCE(DeleteMark,0) FROM ORV_PigData"));
        while (q.next())
            held[q.value(0).toString()].append({q.value(1).toString(), q.value(2).toInt() == 0});
    }
    QSet<QString> members;
    {
        QSqlQuery q = dm.exec(QStringLiteral("SELECT LoftNo FROM ORV_LoftData"));
        while (q.next())
            members.insert(q.value(0).toString());
    }

    auto skip = [&](int row, const QString &reason) {
        ++out.skipped;
        sink.info(QStringLiteral("Row %1 skipped: %2").arg(row).arg(reason));
    };

    const QDateTime now = AppClock::now();
    const QString stamp = ValueText::dateTime(now);
    const QString today = ValueText::date(now.date());
    QHash<QString, int> rowOfRing; // ring -> first sheet row that took it
    const auto electronic = [](const QString &t) { return t.isEmpty() ? QVariant() : QVariant(t); };
    int row = 2;
    try {
        Transaction tx(dm);
        for (; row <= rows; ++row) {
            if ((row - 1) % 100 == 0 || row == rows)
                sink.progress(row - 1, rows - 1,
                              QStringLiteral("row %1 of %2").arg(grouped(row - 1), grouped(rows - 1)));
            const SheetRow r = readRow(sheet, row, wide);
            if (r.empty)
                continue; // a blank line in the used range is no pigeon
            if (!r.skip.isEmpty()) {
                skip(row, r.skip);
                continue;
            }
            const QStringList &cell = r.cells;
            const QString &loft = r.loft;
            const QString &ring = r.ring;
            if (!members.contains(loft)) {
                skip(row, QStringLiteral("loft %1 is not a member of the club").arg(loft));
                continue;
            }
            if (rowOfRing.contains(ring)) {
                skip(row, QStringLiteral("ring %1 repeats row %2").arg(ring).arg(rowOfRing.value(ring)));
                continue;
            }
            bool own = false;
            QString otherLoft;
            for (const Held &h : held.value(ring)) {
                if (h.loft == loft)
                    own = true;
                else if (h.live && otherLoft.isEmpty())
                    otherLoft = h.loft;
            }
            if (!own && !otherLoft.isEmpty()) {
                skip(row, QStringLiteral("ring %1 belongs to loft %2").arg(ring, otherLoft));
                continue;
            }
            rowOfRing.insert(ring, row);

            const QString &sex = r.sex;
            const QString colour = cell.at(6);
            if (own) {
                // Only this loft's row of the ring: a row of the ring under another loft stays as it is.
                if (wide)
                    dm.exec(QStringLiteral("UPDATE ORV_PigData SET Sex=?, ColorType=?, E_Ring=?, Updatetime=?, "
                                           "DeleteMark=0 WHERE LoftNo=? AND PRingNo=?"),
                            {sex, colour, electronic(cell.at(8)), stamp, loft, ring});
                else
                    dm.exec(QStringLiteral("UPDATE ORV_PigData SET Sex=?, ColorType=?, Updatetime=?, DeleteMark=0 "
                                           "WHERE LoftNo=? AND PRingNo=?"),
                            {sex, colour, stamp, loft, ring});
                ++out.updated;
            } else {
                dm.exec(QStringLiteral("INSERT INTO ORV_PigData (LoftNo, PRingNo, RCountry, RYear, RRegLetter, "
                                       "RRegNumber, Sex, ColorType, Comment, SynchFlag, CreateDate, Updatetime, "
                                       "E_Ring, DeleteMark) VALUES (?,?,?,?,?,?,?,?,NULL,1,?,?,?,0)"),
                        {loft, ring, cell.at(1), cell.at(2), cell.at(3), cell.at(4), sex, colour, today, stamp,
                         electronic(cell.at(8))});
                ++out.inserted;
            }
        }
        tx.commit();
    } catch (const SqlError &e) {
        sink.failure(QStringLiteral("Import stopped at row %1: %2. Nothing was imported.").arg(row).arg(e.message()));
        return ImportOutcome{};
    }
    out.ok = true;
    sink.success(QStringLiteral("Pigeon import: ") + out.summary());
    return out;
}

} // namespace PigeonExchange
