#include "store/tdmorvs.h"

#include "store/schema.h"
#include "store/sqlerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QTextStream>
#include <atomic>

namespace {
TdmORVS *globalInstance = nullptr;
std::atomic<int> connectionCounter{0};

void writeDefaultDataLink(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&f);
    out << "[Pennavox Data Link]\n";
    out << "; The club database this program opens; a relative name is taken from this folder.\n";
    out << "Database=" << TdmORVS::DatabaseFileName << "\n";
}
} // namespace

QString TdmORVS::databaseFromDataLink(const QString &udlPath)
{
    QFile f(udlPath);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('[')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed().compare(QLatin1String("Database"), Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

TdmORVS::TdmORVS(const QString &dataFolder) : folder_(QDir(dataFolder).absolutePath())
{
    QDir().mkpath(folder_);
    const QString udl = QDir(folder_).filePath(QLatin1String(DataLinkFileName));
    if (!QFileInfo::exists(udl))
        writeDefaultDataLink(udl);
    QString name = databaseFromDataLink(udl);
    if (name.isEmpty())
        name = QLatin1String(DatabaseFileName);
    dbPath_ = QDir(folder_).absoluteFilePath(name);
    createdNow_ = !QFileInfo::exists(dbPath_);

    // The first instance keeps the system's name; further ones (tests, tools) get their own.
    const int n = connectionCounter++;
    connection_ = n == 0 ? QString::fromLatin1(ConnectionName)
                         : QStringLiteral("%1_%2").arg(QLatin1String(ConnectionName)).arg(n);
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(dbPath_);
    if (!db_.open())
        throw SqlError(db_.lastError().text(), dbPath_);
    QSqlQuery pragma(db_);
    pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    createSchema(db_);
}

TdmORVS::~TdmORVS()
{
    if (globalInstance == this)
        globalInstance = nullptr;
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

QSqlQuery TdmORVS::exec(const QString &sql, const QVariantList &binds)
{
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw SqlError(q.lastError().text(), sql);
    for (const QVariant &v : binds)
        q.addBindValue(v);
    if (!q.exec())
        throw SqlError(q.lastError().text(), sql);
    return q;
}

bool TdmORVS::tryExec(const QString &sql, const QVariantList &binds)
{
    try {
        exec(sql, binds);
        return true;
    } catch (const SqlError &) {
        return false;
    }
}

bool TdmORVS::tryExec(const QString &sql, const QVariantList &binds, QString *why)
{
    try {
        exec(sql, binds);
        return true;
    } catch (const SqlError &e) {
        if (why)
            *why = e.message();
        return false;
    }
}

std::vector<QSqlRecord> TdmORVS::rows(const QString &sql, const QVariantList &binds)
{
    QSqlQuery q = exec(sql, binds);
    std::vector<QSqlRecord> out;
    while (q.next())
        out.push_back(q.record());
    return out;
}

QVariant TdmORVS::scalar(const QString &sql, const QVariantList &binds)
{
    QSqlQuery q = exec(sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

void TdmORVS::close()
{
    db_.close();
}

bool TdmORVS::reopen()
{
    if (db_.isOpen())
        return true;
    if (!db_.open())
        return false;
    // The file may have been replaced meanwhile (a restore of an older backup).
    try {
        createSchema(db_);
    } catch (const SqlError &) {
        return false;
    }
    return true;
}

void TdmORVS::begin()
{
    if (!db_.transaction())
        throw SqlError(db_.lastError().text(), QStringLiteral("BEGIN"));
}

void TdmORVS::commit()
{
    if (!db_.commit())
        throw SqlError(db_.lastError().text(), QStringLiteral("COMMIT"));
}

void TdmORVS::rollback()
{
    db_.rollback();
}

TdmORVS *TdmORVS::instance()
{
    return globalInstance;
}

void TdmORVS::setInstance(TdmORVS *dm)
{
    globalInstance = dm;
}
