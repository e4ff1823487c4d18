#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class FolderLock;
class QSqlError;

// The data module: owns the one connection `adocORVS` to the club database named by ORVS.udl
// in the data folder. Every statement goes through exec()/rows() with bound parameters.
class TdmORVS
{
public:
    static constexpr const char *ConnectionName = "adocORVS";
    static constexpr const char *DatabaseFileName = "Pennavox_Europe.mdb";
    static constexpr const char *DataLinkFileName = "ORVS.udl";

    // Opens (creating when missing) the data link file, the database and the schema.
    // Throws SqlError when the database cannot be opened. While another program writes the folder,
    // or where the folder is read-only, the club is opened for reading only (see readOnlyReason).
    explicit TdmORVS(const QString &dataFolder);
    ~TdmORVS();
    TdmORVS(const TdmORVS &) = delete;
    TdmORVS &operator=(const TdmORVS &) = delete;

    QSqlDatabase &adocORVS() { return db_; }
    QString dataFolder() const { return folder_; }
    QString databasePath() const { return dbPath_; }
    // True when this opening created the database file (a first run, a new data folder).
    bool createdNow() const { return createdNow_; }
    // Why nothing can be stored (another program writes the club, the folder is read-only);
    // empty when this program may write.
    QString readOnlyReason() const { return readOnlyReason_; }
    bool readOnly() const { return !readOnlyReason_.isEmpty(); }
    // What this opening found and mended (the leftovers of an interrupted restore); empty mostly.
    QString startNotice() const { return startNotice_; }
    // The database's failure in words a secretary can act on, with the database's own text after.
    QString explain(const QSqlError &error) const;

    // Runs one statement with positional ("?") bound values. Throws SqlError on failure.
    QSqlQuery exec(const QString &sql, const QVariantList &binds = {});
    // Same, but a failure is ignored (statements whose failure the program tolerates).
    bool tryExec(const QString &sql, const QVariantList &binds = {});
    // The same, giving the database's reason for a failure in *why.
    bool tryExec(const QString &sql, const QVariantList &binds, QString *why);
    // The checked copy a restore builds beside the database before it copies it in.
    QString restoreCopyPath() const;

    // All rows of a query.
    std::vector<QSqlRecord> rows(const QString &sql, const QVariantList &binds = {});
    // First column of the first row, or an invalid QVariant when there is no row.
    QVariant scalar(const QString &sql, const QVariantList &binds = {});

    // Closes the connection for good (before the database file is replaced); statements fail after.
    void close();
    // Opens the closed connection again and brings the file's schema up to date (the file may be a
    // restored older one). False when it cannot be opened or upgraded.
    bool reopen();

    void begin();
    void commit();
    void rollback();

    // The process-wide instance (`dmORVS`) the GUI program creates first.
    static TdmORVS *instance();
    static void setInstance(TdmORVS *dm);

    // Reads the database file name out of a data link file; empty when it names none.
    static QString databaseFromDataLink(const QString &udlPath);

private:
    void mendInterruptedRestore();

    QString folder_;
    QString dbPath_;
    QString connection_;
    QSqlDatabase db_;
    bool createdNow_ = false;
    QString readOnlyReason_;
    QString startNotice_;
    std::shared_ptr<FolderLock> lock_;
};

// Runs a group of writes in one transaction; rolls back unless commit() was called.
class Transaction
{
public:
    explicit Transaction(TdmORVS &dm) : dm_(dm) { dm_.begin(); }
    ~Transaction()
    {
        if (!done_)
            dm_.rollback();
    }
    void commit()
    {
        dm_.commit();
        done_ = true;
    }

private:
    TdmORVS &dm_;
    bool done_ = false;
};
