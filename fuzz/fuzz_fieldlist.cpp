// The field-list parser: any text, both "$" modes, and the query-name split; and the writer: a list
// it accepts parses back to exactly the values written, in both modes.

#include "device/fieldlist.h"
#include "device/json.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const bool dollar : {false, true}) {
        QList<FieldList::Item> items;
        QString error;
        if (FieldList::parse(text, dollar, &items, &error)) {
            TlkJSONobject obj;
            FieldList::addMembers(obj, items);
            if (obj.Count() != items.size())
                std::abort();
        } else if (error.isEmpty()) {
            std::abort(); // a refusal always says why
        }
    }
    const QStringList names = FieldList::queryNames(text);
    for (const QString &n : names)
        if (n.contains(QLatin1Char('%')))
            std::abort();

    // The input's lines as values: a text item each, and a number item where one reads as a number.
    const QStringList values = text.split(QLatin1Char('\n'));
    FieldList::Writer w;
    for (int i = 0; i < values.size(); ++i) {
        const QString name = QStringLiteral("F%1").arg(i);
        if (i % 3 == 2)
            w.numberText(name, values.at(i));
        else
            w.text(name, values.at(i));
    }
    if (!w.ok()) {
        if (w.problem().isEmpty())
            std::abort();
        return 0;
    }
    for (const bool dollar : {false, true}) {
        QList<FieldList::Item> back;
        QString error;
        if (!FieldList::parse(w.list(), dollar, &back, &error))
            std::abort(); // an accepted list always parses
        // An empty last value leaves a trailing "name:" item, never a lost one.
        if (back.size() != values.size())
            std::abort();
        for (int i = 0; i < values.size(); ++i) {
            const FieldList::Item &it = back.at(i);
            if (it.name != QStringLiteral("F%1").arg(i))
                std::abort();
            if (i % 3 == 2) {
                if (!it.isNumber || it.number != values.at(i).toInt())
                    std::abort();
            } else if (it.isNumber || it.text != values.at(i)) {
                std::abort();
            }
        }
    }
    return 0;
}
