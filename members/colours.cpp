#include "members/colours.h"

#include "device/clockentry.h"
#include "store/operationsink.h"
#include "store/tdmorvs.h"

namespace FeatherColours {

namespace {
bool startsWithDigit(const QString &s)
{
    return !s.isEmpty() && s.at(0).isDigit();
}
} // namespace

QStringList boxItems(TdmORVS &dm)
{
    QStringList items{Other};
    for (const auto &r : dm.rows(QStringLiteral("SELECT FeathColor FROM ORV_FeatherColor ORDER BY FeathColor")))
        items << r.value(0).toString();
    return items;
}

bool add(TdmORVS &dm, const QString &code, const QString &name, OperationSink &sink)
{
    // The code goes to the clocks in every pigeon's field list.
    const QString t = QStringLiteral("ORV_FeatherColor");
    if (const QString p = EntryCheck::first({
            ClockEntry::text(QStringLiteral("Colour code"), code, t, QStringLiteral("ColorType")),
            EntryCheck::text(QStringLiteral("Colour name"), name, t, QStringLiteral("FeathColor")),
        });
        !p.isEmpty()) {
        sink.failure(p);
        return false;
    }
    if (dm.scalar(QStringLiteral("SELECT COUNT(*) FROM ORV_FeatherColor WHERE ColorType=?"), {code}).toInt() > 0) {
        sink.failure(QStringLiteral("Color Code %1 exists already !").arg(code));
        return false;
    }
    dm.exec(QStringLiteral("INSERT INTO ORV_FeatherColor (ColorType, FeathColor) VALUES (?,?)"), {code, name});
    return true;
}

int removeByName(TdmORVS &dm, const QString &name)
{
    return dm.exec(QStringLiteral("DELETE FROM ORV_FeatherColor WHERE FeathColor=?"), {name}).numRowsAffected();
}

QString codeFor(TdmORVS &dm, const QString &boxText)
{
    if (startsWithDigit(boxText))
        return boxText;
    const QVariant v = dm.scalar(QStringLiteral("SELECT ColorType FROM ORV_FeatherColor WHERE FeathColor=? "
                                                "ORDER BY rowid LIMIT 1"),
                                 {boxText});
    return v.isValid() ? v.toString() : QString();
}

QHash<QString, QString> names(TdmORVS &dm)
{
    QHash<QString, QString> out;
    // The first row of a code wins, as a look-up by code finds it first.
    for (const auto &r : dm.rows(QStringLiteral("SELECT ColorType, FeathColor FROM ORV_FeatherColor ORDER BY rowid")))
        if (!out.contains(r.value(0).toString()))
            out.insert(r.value(0).toString(), r.value(1).toString());
    return out;
}

QString shownName(const QHash<QString, QString> &names, const QString &code)
{
    if (startsWithDigit(code))
        return code;
    if (code.isEmpty())
        return Other;
    const auto it = names.constFind(code);
    return it == names.constEnd() ? Other : it.value();
}

} // namespace FeatherColours
