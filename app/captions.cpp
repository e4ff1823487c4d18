#include "app/captions.h"

#include "store/sqlerror.h"
#include "store/tdmorvs.h"

#include <QObject>
#include <QStringList>

namespace Captions {

Kind kindOf(const QString &objectCode)
{
    const QString p = objectCode.left(2);
    if (p == QLatin1String("To"))
        return Kind::ToolBar;
    if (p == QLatin1String("DB") || p == QLatin1String("db"))
        return Kind::Grid;
    if (p == QLatin1String("pm"))
        return Kind::PopupMenu;
    if (p == QLatin1String("pa") || p == QLatin1String("Pa"))
        return Kind::PageControl;
    if (p == QLatin1String("rg"))
        return Kind::RadioGroup;
    if (p == QLatin1String("La") || p == QLatin1String("lb"))
        return Kind::Label;
    if (p == QLatin1String("bt") || p == QLatin1String("bu") || p == QLatin1String("Bu"))
        return Kind::Button;
    if (p == QLatin1String("gr") || p == QLatin1String("Gr"))
        return Kind::GroupBox;
    if (p == QLatin1String("ch"))
        return Kind::CheckBox;
    if (p == QLatin1String("QR") || p == QLatin1String("qr"))
        return Kind::ReportLabel;
    return Kind::None;
}

QString languageName(int language)
{
    static const char *const names[] = {"", "Czech", "Spanish", "Romania", "Deutsch", "French", "Hungary"};
    if (language < 1 || language > 6)
        return {};
    return QLatin1String(names[language]);
}

std::vector<Row> rowsFor(TdmORVS &dm, const QString &formName, int language)
{
    std::vector<Row> out;
    try {
        if (dm.rows(QStringLiteral("SELECT LangCode FROM ORV_Object_Caption LIMIT 1")).empty())
            return out;
        const auto rows = dm.rows(QStringLiteral("SELECT objectCode, caption FROM ORV_Object_Caption "
                                                 "WHERE LangCode=? AND formName=? ORDER BY objectCode, property"),
                                  {languageName(language), formName});
        QString previous;
        int position = 0;
        for (const auto &r : rows) {
            const QString code = r.value(0).toString();
            position = (code == previous) ? position + 1 : 0;
            previous = code;
            out.push_back({code, r.value(1).toString(), kindOf(code), position});
        }
    } catch (const SqlError &) {
        // A missing caption table means no translation, and no message.
        out.clear();
    }
    return out;
}

void markFixed(QObject *control)
{
    control->setProperty("pnxFixedCaption", true);
}

bool isFixed(const QObject *control)
{
    return control->property("pnxFixedCaption").toBool();
}

bool isUnitTitle(const QString &text)
{
    static const QStringList units = {QStringLiteral("MPM"),   QStringLiteral("Yds/Min"), QStringLiteral("Yds/min"),
                                      QStringLiteral("m/min"), QStringLiteral("yds/min"), QStringLiteral("KM"),
                                      QStringLiteral("M"),     QStringLiteral("Miles"),   QStringLiteral("Yards")};
    return units.contains(text.trimmed());
}

} // namespace Captions
