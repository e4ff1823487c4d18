#include "clockops/clocklog.h"

#include "store/tdmorvs.h"

#include <QRegularExpression>
#include <QSqlRecord>

namespace ClockLog {

QString shortFailure(const QString &text)
{
    static const QRegularExpression tail(QStringLiteral("[\\s:!]+$"));
    return text.trimmed().remove(tail);
}

QString line(const Entry &e)
{
    if (e.outcome == PollOutcome::NoClock || e.outcome == PollOutcome::SameClock)
        return {};
    QString who = QStringLiteral("loft %1").arg(e.loftNo.isEmpty() ? QStringLiteral("?") : e.loftNo);
    if (!e.loftName.isEmpty())
        who += QLatin1Char(' ') + e.loftName;
    if (!e.deviceNo.isEmpty())
        who += QStringLiteral(", clock ") + e.deviceNo;
    QString what;
    if (e.outcome == PollOutcome::NotVerified) {
        what = QStringLiteral("refused, ") +
               (e.firstFailure.isEmpty() ? QStringLiteral("ComVerify Error") : shortFailure(e.firstFailure));
    } else {
        switch (e.stage) {
        case Stage::Sync:
            what = e.synced ? QStringLiteral("synchronised") : QStringLiteral("not synchronised");
            break;
        case Stage::Marked:
            what = e.count == 0 ? QStringLiteral("no birds marked")
                                : QStringLiteral("%1 bird%2 marked").arg(e.count).arg(e.count == 1 ? "" : "s");
            break;
        case Stage::Result:
        case Stage::Multi:
            what = e.count == 0 ? QStringLiteral("no arrivals")
                                : QStringLiteral("%1 arrival%2 read").arg(e.count).arg(e.count == 1 ? "" : "s");
            break;
        }
        // What went wrong on the way stays readable after the message area has moved on; an
        // empty upload already says so.
        if (!e.firstFailure.isEmpty() && !(e.count == 0 && e.stage != Stage::Sync))
            what += QStringLiteral(", ") + shortFailure(e.firstFailure);
    }
    return QStringLiteral("%1 %2: %3").arg(e.at.toString(QStringLiteral("HH:mm")), who, what);
}

QString loftName(TdmORVS &dm, const QString &loftNo)
{
    if (loftNo.isEmpty())
        return {};
    return dm.scalar(QStringLiteral("SELECT LoftName FROM ORV_LoftData WHERE LoftNo=? LIMIT 1"), {loftNo}).toString();
}

QStringList unreadLofts(TdmORVS &dm, const QString &raceCode, Stage stage)
{
    QString sql;
    if (stage == Stage::Marked) {
        // A clock read before its birds were basketed is not done: it stays on the list, marked so.
        QStringList out;
        const auto rows = dm.rows(
            QStringLiteral("SELECT a.LoftNo, d.LoftName, MAX(COALESCE(a.DLMarkedTime,'')) AS readAt, "
                           "(SELECT COUNT(*) FROM ORV_PigRaceData r JOIN ORV_PigData p ON p.PRingNo=r.PRingNo "
                           "WHERE r.RaceCode=? AND p.LoftNo=a.LoftNo AND COALESCE(r.MarkedTime,'')<>'') AS marked "
                           "FROM ORV_RaceClockTime a LEFT JOIN ORV_LoftData d ON d.LoftNo=a.LoftNo "
                           "WHERE a.RaceCode=? GROUP BY a.LoftNo HAVING readAt='' OR marked=0 ORDER BY a.LoftNo"),
            {raceCode, raceCode});
        for (const auto &r : rows) {
            const QString name = r.value(1).toString();
            QString text = name.isEmpty() ? r.value(0).toString() : r.value(0).toString() + QLatin1Char(' ') + name;
            if (!r.value(2).toString().isEmpty())
                text += QStringLiteral(" (read, no birds marked)");
            out << text;
        }
        return out;
    }
    if (stage == Stage::Result)
        sql = QStringLiteral("SELECT DISTINCT p.LoftNo, d.LoftName FROM ORV_PigRaceData r "
                             "JOIN ORV_PigData p ON p.PRingNo=r.PRingNo "
                             "LEFT JOIN ORV_LoftData d ON d.LoftNo=p.LoftNo "
                             "WHERE r.RaceCode=? AND COALESCE(r.MarkedTime,'')<>'' AND NOT EXISTS "
                             "(SELECT 1 FROM ORV_RaceClockTime c WHERE c.RaceCode=r.RaceCode "
                             "AND c.LoftNo=p.LoftNo AND COALESCE(c.ULMasterTime,'')<>'') "
                             "ORDER BY p.LoftNo");
    else
        return {};
    QStringList out;
    for (const auto &r : dm.rows(sql, {raceCode})) {
        const QString name = r.value(1).toString();
        out << (name.isEmpty() ? r.value(0).toString() : r.value(0).toString() + QLatin1Char(' ') + name);
    }
    return out;
}

} // namespace ClockLog
