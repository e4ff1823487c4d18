#include "device/fieldlist.h"

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
