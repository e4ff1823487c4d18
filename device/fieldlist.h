#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class TlkJSONobject;

// The field list through which pages hand values to device commands: name:value%name:#number%...
// Items are cut at each "%"; an empty rest after the last "%" is no item. The name is the text
// before the first ":"; a value starting with "#" is a 32-bit whole number.
namespace FieldList {
struct Item
{
    QString name;
    QString text; // the value as text (after the "$" replacement where it applies)
    bool isNumber = false;
    qint32 number = 0;
};

// Cuts a text at "%" (the common first step of field lists and query field lists).
QStringList cut(const QString &list);

// Parses a field list. With dollarAsColon the first "$" of each value stands for ":".
// Returns false with a message in *error when a "#" value is not a whole number.
bool parse(const QString &list, bool dollarAsColon, QList<Item> *items, QString *error);

// The names of a query field list, in order ("A%B%" gives A and B).
QStringList queryNames(const QString &list);

// Adds one member per item to obj: a number member for "#" values, a text member otherwise.
void addMembers(TlkJSONobject &obj, const QList<Item> &items);

// Why a text value cannot travel in a field list: "%" ends the field, "#" at the start makes it a
// number, "$" is read as ":" by the set commands. Nothing when it travels safely.
std::optional<QChar> breaker(const QString &value);
// The message for a value of `field` that cannot travel ("Name: the character "%" cannot be sent
// to a clock."); empty when it can.
QString valueProblem(const QString &field, const QString &value);

// Builds every field list sent to a device. A value that would break the list is refused, naming
// its field, whoever the caller and however old the stored value; the list must then not be sent.
// Characters the clock cannot show (outside Windows-1252) are sent as "?" and reported by field.
class Writer
{
public:
    // A text value; `field` names it in messages (the item's name when empty).
    Writer &text(const QString &name, const QString &value, const QString &field = {});
    Writer &number(const QString &name, qint64 value);
    // A number kept as text (a year, a setting): refused unless it is a whole 32-bit number.
    Writer &numberText(const QString &name, const QString &value, const QString &field = {});
    // "host:port" for the set commands, which read the first "$" of a value as ":".
    Writer &hostPort(const QString &name, const QString &host, int port, const QString &field = {});

    bool ok() const { return problem_.isEmpty(); }
    // The first refusal, naming the field; empty when the list may be sent.
    const QString &problem() const { return problem_; }
    // One text per field holding characters the clock cannot show.
    const QStringList &warnings() const { return warnings_; }
    const QString &list() const { return list_; }

private:
    void add(const QString &name, const QString &value);
    void refuse(const QString &problem);
    QString list_;
    QString problem_;
    QStringList warnings_;
};

// The club's record as the club and loft downloads write it into a device.
Writer clubList(const QString &clubId, const QString &clubName, const QString &street, const QString &city,
                const QString &postCode, const QString &associationCode);
} // namespace FieldList
