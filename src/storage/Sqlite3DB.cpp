#include "storage/Sqlite3DB.h"

#include "storage/Sqlite3Error.h"

#include <QFile>
#include <QFileInfo>
#include <QtDebug>
#include <sqlite3.h>

namespace {
constexpr int kBusyTimeoutMs = 3000;

int sqliteOpenFlags(int flags)
{
    switch (flags) {
    case Sqlite3DB::OpenReadOnly:
        return SQLITE_OPEN_READONLY;
    case Sqlite3DB::OpenReadWriteCreate:
        return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    default:
        return SQLITE_OPEN_READWRITE;
    }
}

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

Sqlite3DB::~Sqlite3DB()
{
    close();
}

sqlite3* Sqlite3DB::handle() const
{
    return m_connection ? m_connection->db() : nullptr;
}

QString Sqlite3DB::path() const
{
    return m_connection ? m_connection->path() : QString();
}

void Sqlite3DB::openFile(const QString& path, int flags, const QString& shownPath)
{
    close();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, sqliteOpenFlags(flags), nullptr);
    auto connection = std::make_shared<Sqlite3Connection>(db, path, shownPath);
    if (rc != SQLITE_OK)
        connection->throwError(rc);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // SQLite reads the header lazily; touch the schema so a foreign file fails now.
    connection->prepare(Sqlite3Sql("select count(*) from sqlite_master")).step();
    m_connection = std::move(connection);
}

void Sqlite3DB::close()
{
    if (!m_connection)
        return;
    if (m_tranDepth > 0 && handle())
        sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    m_tranDepth = 0;
    m_connection->close();
    m_connection.reset();
}

void Sqlite3DB::execute(const Sqlite3Sql& sql)
{
    if (!m_connection)
        throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("The database is not open."));
    auto statement = m_connection->prepare(sql);
    while (statement.step()) {
    }
}

Sqlite3Cursor Sqlite3DB::query(const Sqlite3Sql& sql)
{
    if (!m_connection)
        throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("The database is not open."));
    return Sqlite3Cursor(m_connection->prepare(sql));
}

qint64 Sqlite3DB::queryInt64(const Sqlite3Sql& sql, qint64 defaultValue)
{
    Sqlite3Cursor cursor = query(sql);
    return cursor.moveNext() ? cursor.getInt64(0) : defaultValue;
}

void Sqlite3DB::beginTran()
{
    if (m_tranDepth == 0)
        execute(Sqlite3Sql("BEGIN"));
    ++m_tranDepth;
}

void Sqlite3DB::commitTran()
{
    if (m_tranDepth <= 0)
        return;
    if (m_tranDepth == 1)
        execute(Sqlite3Sql("COMMIT"));
    --m_tranDepth;
}

void Sqlite3DB::rollbackTran()
{
    if (m_tranDepth <= 0)
        return;
    m_tranDepth = 0;
    if (handle() && !sqlite3_get_autocommit(handle()))
        sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

qint64 Sqlite3DB::lastInsertId() const
{
    return handle() ? sqlite3_last_insert_rowid(handle()) : 0;
}

int Sqlite3DB::changes() const
{
    return handle() ? sqlite3_changes(handle()) : 0;
}

QList<_SqliteCol> Sqlite3DB::tbCols(const QString& table)
{
    QList<_SqliteCol> columns;
    Sqlite3Cursor cursor =
        query(Sqlite3Sql(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(table))));
    while (cursor.moveNext()) {
        _SqliteCol col;
        col.cid = cursor.getInt(QStringLiteral("cid"));
        col.name = cursor.getText(QStringLiteral("name"));
        col.type = cursor.getText(QStringLiteral("type"));
        col.notNull = cursor.getInt(QStringLiteral("notnull")) != 0;
        col.defaultValue = cursor.getText(QStringLiteral("dflt_value"));
        col.primaryKey = cursor.getInt(QStringLiteral("pk"));
        columns << col;
    }
    return columns;
}

int Sqlite3DB::exec(const QString& text, QString* error)
{
    if (!handle()) {
        if (error)
            *error = QStringLiteral("The database is not open.");
        return SQLITE_MISUSE;
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(handle(), text.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK && error)
        *error = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
    sqlite3_free(message);
    return rc;
}

Sqlite3Transaction::Sqlite3Transaction(Sqlite3DB& db) : m_db(db)
{
    m_db.beginTran();
}

Sqlite3Transaction::~Sqlite3Transaction()
{
    if (!m_done)
        m_db.rollbackTran();
}

void Sqlite3Transaction::commit()
{
    m_db.commitTran();
    m_done = true;
}
