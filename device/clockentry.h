#pragma once

#include "store/entrycheck.h"

// Entry checks of values that go to a clock: the column's checks and nothing that would break a
// clock's field list ("%", "$", a leading "#"), so that the forms, the CLI and the imports refuse
// such a value where it is typed. The field-list writer refuses it again at send time.
namespace ClockEntry {
QString text(const QString &field, const QString &value, const QString &table, const QString &column,
             EntryCheck::Options options = EntryCheck::Plain);
QString textOfSize(const QString &field, const QString &value, int size,
                   EntryCheck::Options options = EntryCheck::Plain);
} // namespace ClockEntry
