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
// that name in one rename. Reports "backup was successful!" or "backup failed, please retry!"
// followed by the reason.
bool backup(TdmORVS &dm, const QString &chosen, const QDate &today, OperationSink &sink);

// Why the file cannot serve as the club database (integrity check, every table with its columns,
// the club record); empty when it can. Leaves no file behind.
QString checkClubDatabase(const QString &path);

// Replaces the club by the chosen file's. The known tables' rows of the chosen file (read by SQLite,
// with its write-ahead log) go into a fresh database of our own schema, checked completely; that
// is copied into the live database in one transaction, so the file keeps its name throughout and
// every open connection sees the old club or the new one. Views, triggers and tables of the file's
// own do not come along.
// True ("successful recovery of data!"): the program must end, the connection is closed.
// False ("recovery failed, please try again!", after a line saying why): nothing changed.
// The replaced club is kept beside the database as "<database>.previous".
bool restore(TdmORVS &dm, const QString &chosen, OperationSink &sink);

} // namespace BackupRestore
