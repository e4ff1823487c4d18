#include "device/clockentry.h"

#include "device/fieldlist.h"

namespace ClockEntry {

QString text(const QString &field, const QString &value, const QString &table, const QString &column,
             EntryCheck::Options options)
{
    return EntryCheck::first(
        {EntryCheck::text(field, value, table, column, options), FieldList::valueProblem(field, value)});
}

QString textOfSize(const QString &field, const QString &value, int size, EntryCheck::Options options)
{
    return EntryCheck::first(
        {EntryCheck::textOfSize(field, value, size, options), FieldList::valueProblem(field, value)});
}

} // namespace ClockEntry
