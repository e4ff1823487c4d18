#pragma once

#include <QDate>
#include <QString>

class TdmORVS;
class OperationSink;

// The secretary's own backups of the club database, and putting one back.
namespace BackupRestore {

inline const QString FileFilter = QStringLiteral("Access BackUp files (*.Bak)");

// The chosen name as the dialog gave it + "_" + yymmdd + ".Bak".
QString backupName(const QString &chosen, const QDate &day);

// A consistent copy of the live database under backupName(chosen, today), replacing a file of
// that name. Reports "backup was successful!" or "backup failed, please retry!".
bool backup(TdmORVS &dm, const QString &chosen, const QDate &today, OperationSink &sink);

// Why the file cannot serve as the club database (integrity check, every table with its columns,
// the club record); empty when it can. Leaves no file behind.
QString checkClubDatabase(const QString &path);

// Replaces the database by the chosen file. The current database stays until the copy is complete
// and has been checked as a club database; then the connection is closed and the files swapped.
// True ("successful recovery of data!"): the program must end, the connection is closed.
// False ("recovery failed, please try again!", after a line saying why): nothing changed.
// The replaced database is kept beside the new one as "<database>.previous".
bool restore(TdmORVS &dm, const QString &chosen, OperationSink &sink);

} // namespace BackupRestore
