#pragma once

#include "office/textfile.h"
#include "office/workbook.h"
#include "races/raceinfo.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class RecordTable;
class TdmORVS;
class OperationSink;

// The files a race's results leave the club in: the WinSpeed race file of the race's week with its
// two companion lists, the XML read-out data set, the result spreadsheet and the two files of the
// text-message service. Builders fill memory (tests compare it); the save functions write through
// SaveFile and report through the sink.
namespace ResultExports {

// "W00000" + ISO week as two digits + ".D00".
QString winSpeedFileName(const QDate &liberDate);
// "RO" + last 4 of the race code + "_" + code + "_" + yyyy-mm-dd + ".xml".
QString xmlFileName(const RaceInfo &race);
inline const QString SmsMemberFileName = QStringLiteral("COTE.txt");
inline const QString SmsBirdFileName = QStringLiteral("RING.txt");
inline const QString LiberCodeListName = QStringLiteral("LiberCode_List.txt");
inline const QString LoftListName = QStringLiteral("Loft_List.txt");

struct WinSpeed
{
    TextFile file;
    TextFile liberCodes; // "01,ddmmyy,CODE" per race of the file, in file order
    TextFile lofts;      // "01,LOFTNO" per loft of the file, in file order
};
// Every entry of every live race of the race's week, Monday to Sunday. False with *error when a
// ring cannot be written (nothing is to be saved then) or the week has no entries.
bool buildWinSpeed(TdmORVS &dm, const RaceInfo &race, WinSpeed *out, QString *error);

// The ring field of a bird record.
bool winSpeedRing(const QString &country, const QString &year, const QString &letters, const QString &number,
                  const QString &ringNo, QString *field, QString *error);

QByteArray buildXml(TdmORVS &dm, const RaceInfo &race);

// The result list (`RaceResultList`) in its current order.
WorkbookWriter resultWorkbook(const RecordTable &list);

TextFile smsMembers(TdmORVS &dm, const RaceInfo &race);
TextFile smsBirds(TdmORVS &dm, const RaceInfo &race);

// Writing to disk, each reporting success (the path), warnings and failures through the sink.
// WinSpeed writes its companion lists into the folder of `path`.
bool saveWinSpeed(TdmORVS &dm, const RaceInfo &race, const QString &path, OperationSink &sink);
bool saveXml(TdmORVS &dm, const RaceInfo &race, const QString &path, OperationSink &sink);
bool saveResultWorkbook(const RecordTable &list, const QString &path, OperationSink &sink);
// Either path may be empty (its dialog was cancelled): that file is skipped.
bool saveSms(TdmORVS &dm, const RaceInfo &race, const QString &memberPath, const QString &birdPath,
             OperationSink &sink);

} // namespace ResultExports
