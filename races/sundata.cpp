#include "races/sundata.h"

#include "store/operationsink.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

#include <QLocale>

namespace SunData {

namespace {
QDate readDate(const QString &text)
{
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("yyyy-M-d"));
    if (!d.isValid())
        d = QLocale::system().toDate(t, QLocale::ShortFormat);
    if (d.isValid() && d.year() < 1950)
        d = d.addYears(100); // a two-digit year of the short date
    return d;
}

// True when read; an empty text gives an invalid time (NULL).
bool readTime(const QString &text, QTime *out)
{
    const QString t = text.trimmed();
    *out = QTime();
    if (t.isEmpty())
        return true;
    for (const char *f : {"H:mm:ss", "H:mm", "H:mm:ss.zzz"}) {
        const QTime v = QTime::fromString(t, QLatin1String(f));
        if (v.isValid()) {
            *out = v;
            return true;
        }
    }
    return false;
}
} // namespace

std::vector<GridRow> load(TdmORVS &dm, const QString &key)
{
    std::vector<GridRow> out;
    for (const auto &r :
         dm.rows(QStringLiteral("SELECT RaceDate, Location, SunSet, SunRise FROM ORV_SunSet_SunRise "
                                "WHERE RaceCode=? ORDER BY rowid"),
                 {key}))
        out.push_back({ValueText::shortDate(r.value(0)), r.value(1).toString(),
                       ValueText::longTime(r.value(2)), ValueText::longTime(r.value(3))});
    return out;
}

bool save(TdmORVS &dm, const QString &key, const std::vector<GridRow> &rows, OperationSink &sink)
{
    Transaction tx(dm);
    dm.tryExec(QStringLiteral("DELETE FROM ORV_SunSet_SunRise WHERE RaceCode=?"), {key});
    for (size_t i = 0; i < rows.size() && i < static_cast<size_t>(MaxRows); ++i) {
        const GridRow &r = rows[i];
        if (r.date.isEmpty())
            continue;
        const QDate d = readDate(r.date);
        QTime set, rise;
        QString bad;
        if (!d.isValid())
            bad = QStringLiteral("'%1' is not a valid date").arg(r.date);
        else if (!readTime(r.sunSet, &set))
            bad = QStringLiteral("'%1' is not a valid time").arg(r.sunSet);
        else if (!readTime(r.sunRise, &rise))
            bad = QStringLiteral("'%1' is not a valid time").arg(r.sunRise);
        if (!bad.isEmpty()) {
            tx.commit();
            sink.failure(bad);
            return false;
        }
        const auto timeValue = [](const QTime &t) {
            return t.isValid() ? QVariant(ValueText::time(t)) : QVariant(QMetaType::fromType<QString>());
        };
        dm.exec(
            QStringLiteral("INSERT INTO ORV_SunSet_SunRise (RaceCode, RaceDate, SunSet, SunRise, Location) "
                           "VALUES (?,?,?,?,?)"),
            {key, ValueText::date(d), timeValue(set), timeValue(rise), r.location});
    }
    tx.commit();
    return true;
}

} // namespace SunData
