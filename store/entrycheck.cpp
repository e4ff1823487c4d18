#include "store/entrycheck.h"

#include <QHash>

namespace EntryCheck {

namespace {
// text(n) sizes of the club database's columns; every other text column holds 20.
const QHash<QString, int> &sizes()
{
    static const QHash<QString, int> s = {
        {"ORV_LoftData.AssociationCode", 10}, {"ORV_LoftData.LoftNo", 10},    {"ORV_LoftData.LoftName", 30},
        {"ORV_LoftData.Street", 50},          {"ORV_LoftData.City", 30},      {"ORV_LoftData.PostCode", 10},
        {"ORV_LoftData.PhoneNo", 15},         {"ORV_LoftData.EMail", 50},     {"ORV_LoftData.LoftLon", 15},
        {"ORV_LoftData.LoftLat", 15},         {"ORV_LoftData.Notes", 65535},  {"ORV_LoftClocks.LoftNo", 10},
        {"ORV_LoftClocks.ClockID", 10},       {"ORV_RaceData.ClubID", 10},    {"ORV_RaceData.LiberCode", 8},
        {"ORV_RaceData.LiberSite", 20},       {"ORV_RaceData.LiberSiteAbbr", 10},
        {"ORV_RaceData.LiberLon", 10},        {"ORV_RaceData.LiberLat", 10},  {"ORV_RaceData.RaceCode", 8},
        {"ORV_PigData.LoftNo", 10},           {"ORV_PigData.PRingNo", 20},    {"ORV_PigData.RCountry", 5},
        {"ORV_PigData.RYear", 4},             {"ORV_PigData.RRegLetter", 5},  {"ORV_PigData.RRegNumber", 7},
        {"ORV_PigData.Sex", 1},               {"ORV_PigData.E_Ring", 8},      {"ORV_PigData.UID", 8},
        {"ORV_PigData.ColorType", 10},        {"ORV_PigData.Comment", 65535}, {"ORV_PigRaceData.PRingNo", 20},
        {"ORV_PigRaceData.ClockID", 10},      {"ORV_PigRaceData.BackTime", 25},
        {"ORV_ClubData.ClubID", 10},          {"ORV_ClubData.ClubName", 50},  {"ORV_ClubData.Street", 50},
        {"ORV_ClubData.City", 30},            {"ORV_ClubData.PostCode", 10},  {"ORV_ClubData.AssociationCode", 10},
        {"ORV_ClubData.Logo", 100},
        {"ORV_LoftLibPointDist.LiberCode", 8}, {"ORV_LoftLibPointDist.LoftNo", 10},
        {"ORV_LoftLibPointDist.LoftName", 10},
    };
    return s;
}
} // namespace

int columnSize(const QString &table, const QString &column)
{
    return sizes().value(table + QLatin1Char('.') + column, 20);
}

std::optional<QChar> fieldListBreaker(const QString &value)
{
    if (value.contains(QLatin1Char('%')))
        return QLatin1Char('%');
    if (value.startsWith(QLatin1Char('#')))
        return QLatin1Char('#');
    return std::nullopt;
}

QString textOfSize(const QString &field, const QString &value, int size, bool toClock, bool multiLine)
{
    if (value.size() > size)
        return QStringLiteral("%1: at most %2 characters.").arg(field).arg(size);
    for (const QChar c : value) {
        if (multiLine && (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')))
            continue;
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return QStringLiteral("%1: control characters (line breaks, tabs) are not allowed.").arg(field);
    }
    if (toClock) {
        if (const auto bad = fieldListBreaker(value))
            return *bad == QLatin1Char('%')
                       ? QStringLiteral("%1: the character \"%\" cannot be sent to a clock.").arg(field)
                       : QStringLiteral("%1: a clock cannot take a text starting with \"#\".").arg(field);
    }
    return {};
}

QString text(const QString &field, const QString &value, const QString &table, const QString &column,
             bool toClock, bool multiLine)
{
    return textOfSize(field, value, columnSize(table, column), toClock, multiLine);
}

QString number(const QString &field, const QString &value, qint64 min, qint64 max, bool allowEmpty)
{
    const QString t = value.trimmed();
    if (t.isEmpty())
        return allowEmpty ? QString() : QStringLiteral("%1: a number is needed.").arg(field);
    bool ok = false;
    const qint64 n = t.size() <= 19 ? t.toLongLong(&ok) : 0;
    if (!ok || n < min || n > max)
        return QStringLiteral("%1: a whole number from %2 to %3.").arg(field).arg(min).arg(max);
    return {};
}

} // namespace EntryCheck
