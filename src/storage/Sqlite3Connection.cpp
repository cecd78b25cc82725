#include "storage/Sqlite3Connection.h"

#include "storage/Sqlite3Error.h"

#include <QFileInfo>
#include <QtDebug>
#include <sqlite3.h>

namespace {
constexpr int kMaxCachedStatements = 64;
}

Sqlite3Connection::Sqlite3Connection(sqlite3* db, const QString& path, const QString& shownPath)
    : m_db(db), m_path(path), m_shownPath(shownPath.isEmpty() ? path : shownPath)
{
}

Sqlite3Connection::~Sqlite3Connection()
{
    close();
}

void Sqlite3Connection::close()
{
    for (const Idle& idle : std::as_const(m_idle))
        sqlite3_finalize(idle.stmt);
    m_idle.clear();
    if (m_db) {
        // close_v2 defers the real close until the last statement held elsewhere is finalized.
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Sqlite3Connection::throwError(int rc) const
{
    const char* message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    QString text = sqliteErrorText(rc, message);
    if (!m_shownPath.isEmpty())
        text += QStringLiteral(" [%1]").arg(QFileInfo(m_shownPath).fileName());
    throw Sqlite3Error(rc, text);
}

Sqlite3Connection::Statement Sqlite3Connection::prepare(const Sqlite3Sql& sql)
{
    if (!m_db)
        throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("The database is not open."));
    sqlite3_stmt* stmt = m_idle.take(sql.sql()).stmt;
    if (!stmt) {
        const int rc = sqlite3_prepare_v2(m_db, sql.sql().constData(), int(sql.sql().size()), &stmt, nullptr);
        if (rc != SQLITE_OK) {
            qWarning("sqlite prepare failed: %s in: %s", sqlite3_errmsg(m_db), sql.sql().constData());
            sqlite3_finalize(stmt);
            throwError(rc);
        }
        if (!stmt) // only white space or a comment
            throw Sqlite3Error(SQLITE_MISUSE, QStringLiteral("Empty SQL statement."));
    }
    Statement statement(shared_from_this(), stmt, sql.sql());
    bind(stmt, sql.params());
    return statement;
}

void Sqlite3Connection::bind(sqlite3_stmt* stmt, const QList<Sqlite3Param>& params)
{
    const int expected = sqlite3_bind_parameter_count(stmt);
    if (expected != params.size())
        throw Sqlite3Error(
            SQLITE_RANGE,
            QStringLiteral("The statement takes %1 parameters, %2 given.").arg(expected).arg(params.size()));
    for (int i = 0; i < params.size(); ++i) {
        const int index = i + 1;
        int rc = SQLITE_OK;
        std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, Sqlite3Param::Null>) {
                    rc = sqlite3_bind_null(stmt, index);
                } else if constexpr (std::is_same_v<T, qint64>) {
                    rc = sqlite3_bind_int64(stmt, index, value);
                } else if constexpr (std::is_same_v<T, double>) {
                    rc = sqlite3_bind_double(stmt, index, value);
                } else if constexpr (std::is_same_v<T, QString>) {
                    const QByteArray utf8 = value.toUtf8();
                    rc = sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
                } else if constexpr (std::is_same_v<T, Sqlite3Param::Blob>) {
                    // A null pointer would bind NULL; an empty blob must stay an empty blob.
                    rc = sqlite3_bind_blob(stmt, index, value.bytes.constData(), int(value.bytes.size()),
                                           SQLITE_TRANSIENT);
                } else {
                    rc = sqlite3_bind_text(stmt, index, value.bytes.constData(), int(value.bytes.size()),
                                           SQLITE_TRANSIENT);
                }
            },
            params[i].value);
        if (rc != SQLITE_OK)
            throwError(rc);
    }
}

void Sqlite3Connection::release(sqlite3_stmt* stmt, const QByteArray& sql)
{
    if (!m_db || m_idle.contains(sql)) {
        sqlite3_finalize(stmt);
        return;
    }
    if (m_idle.size() >= kMaxCachedStatements) {
        auto oldest = m_idle.begin();
        for (auto it = m_idle.begin(); it != m_idle.end(); ++it) {
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        }
        sqlite3_finalize(oldest->stmt);
        m_idle.erase(oldest);
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    m_idle.insert(sql, Idle{stmt, ++m_useClock});
}

Sqlite3Connection::Statement::Statement(std::shared_ptr<Sqlite3Connection> connection, sqlite3_stmt* stmt,
                                        QByteArray sql)
    : m_connection(std::move(connection)), m_stmt(stmt), m_sql(std::move(sql))
{
}

Sqlite3Connection::Statement::Statement(Statement&& other) noexcept
    : m_connection(std::move(other.m_connection)), m_stmt(std::exchange(other.m_stmt, nullptr)),
      m_sql(std::move(other.m_sql))
{
}

Sqlite3Connection::Statement& Sqlite3Connection::Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        reset();
        m_connection = std::move(other.m_connection);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_sql = std::move(other.m_sql);
    }
    return *this;
}

Sqlite3Connection::Statement::~Statement()
{
    reset();
}

void Sqlite3Connection::Statement::reset()
{
    if (m_stmt)
        m_connection->release(std::exchange(m_stmt, nullptr), m_sql);
    m_connection.reset();
}

bool Sqlite3Connection::Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_connection->throwError(rc);
}
