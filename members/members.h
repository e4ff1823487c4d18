#pragma once

#include <QSqlRecord>
#include <QString>
#include <optional>

class TdmORVS;
class OperationSink;

// The member entry form's values.
struct MemberForm
{
    QString associationCode;
    QString loftNo;
    QString name;
    QString street;
    QString city;
    QString postCode;
    QString phone;
    QString email;
    QString lon; // coordinate text as typed through the mask
    QString lat;
    QString notes;
};

namespace Members {

// The member list's LoftNo cell: association code, a blank, loft number; empty without number.
QString loftNoText(const QSqlRecord &row);

// A new member's form: empty, with the club's association code.
MemberForm blank(TdmORVS &dm);
std::optional<MemberForm> load(TdmORVS &dm, const QString &loftNo);

// Inserts a new member (with a zero distance row per liberation point) or updates the member
// with that number. Returns false when the form is refused.
bool save(TdmORVS &dm, const MemberForm &form, OperationSink &sink);

// Deletes the member with its distance rows; when it has live pigeons, only after Yes, and then
// with all its pigeons. Returns true when the member was deleted.
bool remove(TdmORVS &dm, const QString &loftNo, OperationSink &sink);

// Deletes one clock of the member after Yes; true when deleted.
bool deleteClock(TdmORVS &dm, const QString &loftNo, const QString &clockId, OperationSink &sink);
QString clockCountText(int n); // "Number of clocks 2"

// Notes and ring comments lose the texts "#10" and "#13"; line breaks stay.
QString cleanNote(QString text);

} // namespace Members
