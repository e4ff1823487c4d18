#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class TdmORVS;
class OperationSink;

// Feather colours: a short code stored with each pigeon, shown by its name.
namespace FeatherColours {

inline const QString Other = QStringLiteral("Other");

// The colour box's items: "Other", then the colour names in name order.
QStringList boxItems(TdmORVS &dm);
// Adds a colour; a code that exists already is refused (a ring's colour must resolve to one
// name). Returns true when added.
bool add(TdmORVS &dm, const QString &code, const QString &name, OperationSink &sink);
// Deletes every colour with that name (the text the box shows); "Other" matches nothing unless a
// colour carries that name. Returns how many were deleted.
int removeByName(TdmORVS &dm, const QString &name);

// The code stored for the box's text: the text itself when it begins with a digit, else the
// code of the colour with that name, else empty.
QString codeFor(TdmORVS &dm, const QString &boxText);
// All codes with their names, for the grid's display texts.
QHash<QString, QString> names(TdmORVS &dm);
// The shown name of a code: the code itself when it begins with a digit, else its name, else
// "Other".
QString shownName(const QHash<QString, QString> &names, const QString &code);

} // namespace FeatherColours
