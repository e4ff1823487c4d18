// The field-list parser: any text, both "$" modes, and the query-name split.

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
    return 0;
}
