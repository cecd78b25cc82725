#pragma once

#include "storage/Sqlite3Sql.h"

#include <QHash>
#include <QString>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// One open SQLite connection and a small cache of prepared statements. Shared by the database object and
// the cursors it hands out, so a cursor can return its statement for reuse and never outlives its handle.
class Sqlite3Connection : public std::enable_shared_from_this<Sqlite3Connection>
{
public:
    class Statement;

    // shownPath: the file errors name instead of path (the user's file when path is a temporary one).
    Sqlite3Connection(sqlite3* db, const QString& path, const QString& shownPath = QString());
    ~Sqlite3Connection();
    Sqlite3Connection(const Sqlite3Connection&) = delete;
    Sqlite3Connection& operator=(const Sqlite3Connection&) = delete;

    sqlite3* db() const { return m_db; }
    const QString& path() const { return m_path; }

    // Prepares (or takes from the cache) a statement for sql and binds its parameters.
    Statement prepare(const Sqlite3Sql& sql);

    // Finalizes cached statements and closes the handle; statements still held by cursors close it last.
    void close();

    [[noreturn]] void throwError(int rc) const;

private:
    void release(sqlite3_stmt* stmt, const QByteArray& sql);
    void bind(sqlite3_stmt* stmt, const QList<Sqlite3Param>& params);

    // An idle statement and when it was last handed back, so that a full cache drops the one unused
    // longest: statements built with literal values come once each and must not crowd out those that
    // recur.
    struct Idle
    {
        sqlite3_stmt* stmt = nullptr;
        quint64 lastUse = 0;
    };

    sqlite3* m_db;
    QString m_path;
    QString m_shownPath;
    QHash<QByteArray, Idle> m_idle;
    quint64 m_useClock = 0;
};

// Owns one prepared statement; hands it back to the connection's cache when destroyed.
class Sqlite3Connection::Statement
{
public:
    Statement() = default;
    Statement(std::shared_ptr<Sqlite3Connection> connection, sqlite3_stmt* stmt, QByteArray sql);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    ~Statement();

    sqlite3_stmt* get() const { return m_stmt; }
    Sqlite3Connection* connection() const { return m_connection.get(); }
    // Steps once: true for a row, false when done; throws on error.
    bool step();

private:
    void reset();

    std::shared_ptr<Sqlite3Connection> m_connection;
    sqlite3_stmt* m_stmt = nullptr;
    QByteArray m_sql;
};
