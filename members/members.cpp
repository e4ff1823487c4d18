#include "members/members.h"

#include "device/clockentry.h"
#include "store/coordinatemask.h"
#include "store/entrycheck.h"

#include "store/appclock.h"
#include "store/operationsink.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"
#include "store/valuetext.h"

namespace Members {

QString loftNoText(const QSqlRecord &row)
{
    const QString loft = row.value(QStringLiteral("LoftNo")).toString();
    if (loft.isEmpty())
        return {};
    return row.value(QStringLiteral("AssociationCode")).toString() + QLatin1Char(' ') + loft;
}

MemberForm blank(TdmORVS &dm)
{
    MemberForm f;
    f.associationCode = ClubSettings::load(dm).associationCode;
    return f;
}

std::optional<MemberForm> load(TdmORVS &dm, const QString &loftNo)
{
    const auto rec = TableObject(dm, QStringLiteral("ORV_LoftData")).locate({{QStringLiteral("LoftNo"), loftNo}});
    if (!rec)
        return std::nullopt;
    const auto v = [&rec](const char *c) { return rec->value(QLatin1String(c)).toString(); };
    MemberForm f;
    f.associationCode = v("AssociationCode");
    f.loftNo = v("LoftNo");
    f.name = v("LoftName");
    f.street = v("Street");
    f.city = v("City");
    f.postCode = v("PostCode");
    f.phone = v("PhoneNo");
    f.email = v("EMail");
    f.lon = v("LoftLon");
    f.lat = v("LoftLat");
    f.notes = v("Notes");
    return f;
}

namespace {
// The box's exit check once more, for a text in the box's form that reaches the save without
// leaving the box (Save pressed in it, or another way in).
QString maskCheck(const QString &text, bool longitude)
{
    const bool maskForm = text.size() >= 10 && text.at(4) == QLatin1Char('\'') && text.at(7) == QLatin1Char(':');
    return maskForm ? CoordinateMask::exitCheck(text, longitude) : QString();
}
} // namespace

bool save(TdmORVS &dm, const MemberForm &f, OperationSink &sink)
{
    if (f.associationCode.isEmpty() || f.loftNo.isEmpty() || f.name.isEmpty()) {
        sink.failure(QStringLiteral("Set new Member find data entry error !"));
        return false;
    }
    {
        const QString t = QStringLiteral("ORV_LoftData");
        const QString problems[] = {
            EntryCheck::text(QStringLiteral("Association code"), f.associationCode, t, QStringLiteral("AssociationCode"), EntryCheck::NoComma),
            ClockEntry::text(QStringLiteral("Loft number"), f.loftNo, t, QStringLiteral("LoftNo"), EntryCheck::NoComma),
            ClockEntry::text(QStringLiteral("Name"), f.name, t, QStringLiteral("LoftName"), EntryCheck::NoComma),
            ClockEntry::text(QStringLiteral("Street"), f.street, t, QStringLiteral("Street")),
            ClockEntry::text(QStringLiteral("City"), f.city, t, QStringLiteral("City")),
            ClockEntry::text(QStringLiteral("Post code"), f.postCode, t, QStringLiteral("PostCode")),
            ClockEntry::text(QStringLiteral("Phone"), f.phone, t, QStringLiteral("PhoneNo"), EntryCheck::NoComma),
            ClockEntry::text(QStringLiteral("E-mail"), f.email, t, QStringLiteral("EMail"), EntryCheck::NoComma),
            ClockEntry::text(QStringLiteral("Longitude"), f.lon, t, QStringLiteral("LoftLon"), EntryCheck::NoComma),
            ClockEntry::text(QStringLiteral("Latitude"), f.lat, t, QStringLiteral("LoftLat"), EntryCheck::NoComma),
            EntryCheck::text(QStringLiteral("Notes"), f.notes, t, QStringLiteral("Notes"), EntryCheck::MultiLine),
            maskCheck(f.lon, true),
            maskCheck(f.lat, false),
        };
        for (const QString &problem : problems)
            if (!problem.isEmpty()) {
                sink.failure(problem);
                return false;
            }
    }
    const QString now = ValueText::dateTime(AppClock::now());
    const QString notes = cleanNote(f.notes);
    const bool exists = dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_LoftData WHERE LoftNo=?"), {f.loftNo})
                            .toInt() > 0;
    Transaction tx(dm);
    if (!exists) {
        dm.exec(QStringLiteral("INSERT INTO ORV_LoftData (AssociationCode,LoftNo,LoftName,Street,City,PostCode,"
                               "PhoneNo,LoftLon,LoftLat,Notes,UpdateTime,SynchFlag,EMail) "
                               "VALUES (?,?,?,?,?,?,?,?,?,?,?,1,?)"),
                {f.associationCode, f.loftNo, f.name, f.street, f.city, f.postCode, f.phone, f.lon, f.lat, notes,
                 now, f.email});
        for (const auto &site : dm.rows(QStringLiteral("SELECT LiberCode FROM ORV_LiberateSite ORDER BY rowid")))
            dm.exec(QStringLiteral("INSERT INTO ORV_LoftLibPointDist (LiberCode,LoftNo,Miles,Yards) VALUES (?,?,0,0)"),
                    {site.value(0), f.loftNo});
    } else {
        // The update path has always turned the street's colons into blanks (the clock's field
        // lists use ":" as separator); an insert keeps them.
        QString street = f.street;
        street.replace(QLatin1Char(':'), QLatin1Char(' '));
        dm.exec(QStringLiteral("UPDATE ORV_LoftData SET AssociationCode=?,LoftName=?,Street=?,City=?,PostCode=?,"
                               "PhoneNo=?,LoftLon=?,LoftLat=?,Notes=?,UpdateTime=?,EMail=?,SynchFlag=1 "
                               "WHERE LoftNo=?"),
                {f.associationCode, f.name, street, f.city, f.postCode, f.phone, f.lon, f.lat, notes, now, f.email,
                 f.loftNo});
    }
    tx.commit();
    return true;
}

bool remove(TdmORVS &dm, const QString &loftNo, OperationSink &sink)
{
    if (!dm.scalar(QStringLiteral("SELECT 1 FROM ORV_LoftData WHERE LoftNo=? LIMIT 1"), {loftNo}).isValid()) {
        sink.failure(QStringLiteral("Member %1 not found ! Nothing was deleted.").arg(loftNo));
        return false;
    }
    const int live =
        dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_PigData WHERE LoftNo=? AND DeleteMark=0"), {loftNo})
            .toInt();
    if (live > 0 && sink.ask(QStringLiteral("This Loft has %1 pigeon records, Do you want delete all data ?")
                                 .arg(live)) != Answer::Yes)
        return false;
    Transaction tx(dm);
    if (live > 0)
        dm.exec(QStringLiteral("DELETE FROM ORV_PigData WHERE LoftNo=?"), {loftNo});
    dm.exec(QStringLiteral("DELETE FROM ORV_LoftData WHERE LoftNo=?"), {loftNo});
    dm.tryExec(QStringLiteral("DELETE FROM ORV_LoftLibPointDist WHERE LoftNo=?"), {loftNo});
    tx.commit();
    return true;
}

bool deleteClock(TdmORVS &dm, const QString &loftNo, const QString &clockId, OperationSink &sink)
{
    if (sink.ask(QStringLiteral("This will delete the data ?")) != Answer::Yes)
        return false;
    // One row, as a table object's delete removes the located row only.
    dm.exec(QStringLiteral("DELETE FROM ORV_LoftClocks WHERE rowid=(SELECT rowid FROM ORV_LoftClocks "
                           "WHERE LoftNo=? AND ClockID=? LIMIT 1)"),
            {loftNo, clockId});
    return true;
}

QString clockCountText(int n)
{
    return QStringLiteral("Number of clocks %1").arg(n);
}

QString cleanNote(QString text)
{
    text.remove(QStringLiteral("#10"));
    text.remove(QStringLiteral("#13"));
    return text;
}

} // namespace Members
