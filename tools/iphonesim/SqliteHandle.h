#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace iphonesim {

// A SQLite connection owned for its lifetime; failures throw SimError with SQLite's text.
class SqliteDb
{
public:
    // flags: SQLITE_OPEN_READONLY or SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE.
    SqliteDb(const std::string& path, int flags);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    sqlite3* handle() const { return m_db; }
    void execute(const char* sql);
    [[noreturn]] void fail(const std::string& what) const;

private:
    sqlite3* m_db = nullptr;
};

// A prepared statement, reset after each row set so that it can run many times.
class SqliteStatement
{
public:
    SqliteStatement(SqliteDb& db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bindBlob(int index, std::string_view bytes);
    SqliteStatement& bind(int index, int64_t value);
    // Steps once: true while there is a row.
    bool step();
    // Runs a statement that returns no rows, then resets it.
    void run();
    void reset();

    std::string text(int column) const;
    std::string blob(int column) const;
    // Size of a column's value, read before fetching it.
    size_t bytes(int column) const;
    int64_t integer(int column) const;
    bool isNull(int column) const;

private:
    SqliteDb& m_db;
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace iphonesim
