#pragma once

#include "device/fieldlist.h"
#include "members/membersettings.h"

#include <QString>
#include <QStringList>
#include <vector>

class TdmORVS;
class OperationSink;
class TWinApiV8;

// Ties a clock to a member's loft and writes the owner's, the loft's and the club's data, the
// upload settings and the user mode into it.
class LoftDataDownload
{
public:
    // Host of the clocks' mobile data upload; port 80, path /SendGPRS.
    static inline const QString UploadHost = QStringLiteral("upload.pennavox-clubs.example");

    LoftDataDownload(TdmORVS &dm, TWinApiV8 &driver, OperationSink &sink,
                     const MemberSettings &settings = MemberSettings::current());

    // Asks whether to initialise the clock (Yes/No/Cancel), then runs the device sequence for the
    // member. True when all five lists were written. The success text is reported as a success
    // message (the page shows it in its notice) and on the clock's display.
    bool run(const QString &loftNo);

    // The five field lists in the order sent: four for SetLoftInfo, the last for SetParams, each
    // built by the device's writer. Empty when the member does not exist.
    std::vector<FieldList::Writer> lists(const QString &loftNo) const;
    // Their texts.
    QStringList fieldLists(const QString &loftNo) const;

private:

    TdmORVS &dm_;
    TWinApiV8 &driver_;
    OperationSink &sink_;
    MemberSettings settings_;
};
