#pragma once

#include "store/tdmorvs.h"

#include <QTemporaryDir>
#include <memory>

// A temporary data folder (inside a temporary parent, so that "../Backup" stays private) with a
// fresh club database.
class TestDb
{
public:
    TestDb();
    TdmORVS &dm() { return *dm_; }
    QString dataFolder() const;
    QString root() const { return dir_.path(); }
    // Closes and reopens the database (to test what survives a restart).
    void reopen();
    // Closes the database and gives up the folder, so that another program may write it.
    void close() { dm_.reset(); }
    // A club record with the given unit mode.
    void insertClub(const QString &clubId = QStringLiteral("NC"), int mode = 0, int language = 0);

private:
    QTemporaryDir dir_;
    std::unique_ptr<TdmORVS> dm_;
};
