#include "testdb.h"

#include <QDir>

TestDb::TestDb()
{
    dm_ = std::make_unique<TdmORVS>(dataFolder());
}

QString TestDb::dataFolder() const
{
    return dir_.path() + QStringLiteral("/P");
}

void TestDb::reopen()
{
    dm_.reset();
    dm_ = std::make_unique<TdmORVS>(dataFolder());
}

void TestDb::insertClub(const QString &clubId, int mode, int language)
{
    dm_->exec(QStringLiteral("INSERT INTO ORV_ClubData (ClubID, ClubName, AssociationCode, Language, Mode, "
                             "DBBackupDays, PrintCount) VALUES (?,?,?,?,?,?,?)"),
              {clubId, QStringLiteral("Test Club"), QStringLiteral("BE"), language, mode, 0, 1});
    dm_->exec(QStringLiteral("INSERT INTO ORV_ClubMap (ClubID, ClubName) VALUES (?,?)"),
              {clubId, QStringLiteral("Test Club")});
}
