#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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
} // namespace FieldList
