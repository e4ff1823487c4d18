#include "device/fieldlist.h"

#include "device/ansitext.h"
#include "device/json.h"

#include <limits>

QStringList FieldList::cut(const QString &list)
{
    QStringList parts = list.split(QLatin1Char('%'));
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    return parts;
}

namespace {
// Optional sign and decimal digits only, within the range of a 32-bit signed integer.
bool wholeNumber(const QString &t, qint32 *out)
{
    if (t.isEmpty())
        return false;
    int i = (t.at(0) == QLatin1Char('+') || t.at(0) == QLatin1Char('-')) ? 1 : 0;
    if (i == t.size())
        return false;
    for (int j = i; j < t.size(); ++j)
        if (t.at(j) < QLatin1Char('0') || t.at(j) > QLatin1Char('9'))
            return false;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok || v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return false;
    *out = qint32(v);
    return true;
}
} // namespace

bool FieldList::parse(const QString &list, bool dollarAsColon, QList<Item> *items, QString *error)
{
    items->clear();
    for (const QString &part : cut(list)) {
        Item it;
        const int colon = int(part.indexOf(QLatin1Char(':')));
        if (colon >= 0) {
            it.name = part.left(colon);
            it.text = part.mid(colon + 1);
        } else {
            it.text = part;
        }
        if (dollarAsColon) {
            const int dollar = int(it.text.indexOf(QLatin1Char('$')));
            if (dollar >= 0)
                it.text[dollar] = QLatin1Char(':');
        }
        if (it.text.startsWith(QLatin1Char('#'))) {
            const QString digits = it.text.mid(1);
            if (!wholeNumber(digits, &it.number)) {
                if (error)
                    *error = QStringLiteral("'%1' is not a valid integer value (field \"%2\")")
                                 .arg(digits, it.name);
                items->clear();
                return false;
            }
            it.isNumber = true;
            it.text = digits;
        }
        items->append(it);
    }
    return true;
}

QStringList FieldList::queryNames(const QString &list)
{
    return cut(list);
}

void FieldList::addMembers(TlkJSONobject &obj, const QList<Item> &items)
{
    for (const Item &it : items) {
        if (it.isNumber)
            obj.Add(it.name, int(it.number));
        else
            obj.Add(it.name, it.text);
    }
}

std::optional<QChar> FieldList::breaker(const QString &value)
{
    if (value.contains(QLatin1Char('%')))
        return QLatin1Char('%');
    if (value.startsWith(QLatin1Char('#')))
        return QLatin1Char('#');
    if (value.contains(QLatin1Char('$')))
        return QLatin1Char('$');
    return std::nullopt;
}

QString FieldList::valueProblem(const QString &field, const QString &value)
{
    const auto bad = breaker(value);
    if (!bad)
        return {};
    if (*bad == QLatin1Char('#'))
        return QStringLiteral("%1: a clock cannot take a text starting with \"#\".").arg(field);
    return QStringLiteral("%1: the character \"%2\" cannot be sent to a clock.").arg(field, *bad);
}

void FieldList::Writer::add(const QString &name, const QString &value)
{
    if (!list_.isEmpty())
        list_ += QLatin1Char('%');
    list_ += name + QLatin1Char(':') + value;
}

void FieldList::Writer::refuse(const QString &problem)
{
    if (problem_.isEmpty())
        problem_ = problem;
}

FieldList::Writer &FieldList::Writer::text(const QString &name, const QString &value, const QString &field)
{
    const QString shown = field.isEmpty() ? name : field;
    if (const QString p = valueProblem(shown, value); !p.isEmpty())
        refuse(p);
    int lost = 0;
    AnsiText::encode(value, &lost);
    if (lost > 0)
        warnings_ << QStringLiteral("%1: %2 character(s) the clock cannot show are sent as \"?\".")
                         .arg(shown)
                         .arg(lost);
    add(name, value);
    return *this;
}

FieldList::Writer &FieldList::Writer::number(const QString &name, qint64 value)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        refuse(QStringLiteral("%1: %2 is too large for a clock.").arg(name).arg(value));
    add(name, QLatin1Char('#') + QString::number(value));
    return *this;
}

FieldList::Writer &FieldList::Writer::numberText(const QString &name, const QString &value, const QString &field)
{
    qint32 n = 0;
    if (!wholeNumber(value, &n)) {
        refuse(QStringLiteral("%1: '%2' is not a whole number.").arg(field.isEmpty() ? name : field, value));
        add(name, QLatin1Char('#') + value);
        return *this;
    }
    return number(name, n);
}

FieldList::Writer &FieldList::Writer::hostPort(const QString &name, const QString &host, int port,
                                               const QString &field)
{
    const QString shown = field.isEmpty() ? name : field;
    if (const QString p = valueProblem(shown, host); !p.isEmpty())
        refuse(p);
    else if (host.contains(QLatin1Char(':')))
        refuse(QStringLiteral("%1: a host name holds no \":\".").arg(shown));
    add(name, host + QLatin1Char('$') + QString::number(port));
    return *this;
}

FieldList::Writer FieldList::clubList(const QString &clubId, const QString &clubName, const QString &street,
                                      const QString &city, const QString &postCode,
                                      const QString &associationCode)
{
    Writer w;
    w.text(QStringLiteral("ClubCode"), clubId, QStringLiteral("Club record: Club ID"))
        .text(QStringLiteral("ClubName"), clubName, QStringLiteral("Club record: Club name"))
        .text(QStringLiteral("ClubStreet"), street, QStringLiteral("Club record: Street"))
        .text(QStringLiteral("ClubCity"), city, QStringLiteral("Club record: City"))
        .text(QStringLiteral("ClubPostCode"), postCode, QStringLiteral("Club record: Post code"))
        .text(QStringLiteral("AssocCode"), associationCode, QStringLiteral("Club record: Association code"));
    return w;
}
