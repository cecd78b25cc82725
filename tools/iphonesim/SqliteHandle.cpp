#include "SqliteHandle.h"

#include "SimError.h"

namespace iphonesim {

SqliteDb::SqliteDb(const std::string& path, int flags)
{
    if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        const std::string text = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        m_db = nullptr;
        throw SimError("cannot open " + path + ": " + text);
    }
    sqlite3_busy_timeout(m_db, 5000);
}

SqliteDb::~SqliteDb()
{
    sqlite3_close_v2(m_db);
}

void SqliteDb::execute(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : "unknown error";
        sqlite3_free(error);
        throw SimError(std::string("SQL failed: ") + text + " in: " + sql);
    }
}

void SqliteDb::fail(const std::string& what) const
{
    throw SimError(what + ": " + sqlite3_errmsg(m_db));
}

SqliteStatement::SqliteStatement(SqliteDb& db, const char* sql) : m_db(db)
{
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &m_statement, nullptr) != SQLITE_OK)
        db.fail(std::string("cannot prepare ") + sql);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text)
{
    sqlite3_bind_text(m_statement, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bindBlob(int index, std::string_view bytes)
{
    sqlite3_bind_blob(m_statement, index, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, int64_t value)
{
    sqlite3_bind_int64(m_statement, index, value);
    return *this;
}

bool SqliteStatement::step()
{
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    m_db.fail("SQL step failed");
}

void SqliteStatement::run()
{
    step();
    reset();
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

std::string SqliteStatement::text(int column) const
{
    const unsigned char* text = sqlite3_column_text(m_statement, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              size_t(sqlite3_column_bytes(m_statement, column)))
                : std::string();
}

std::string SqliteStatement::blob(int column) const
{
    const void* data = sqlite3_column_blob(m_statement, column);
    return data ? std::string(static_cast<const char*>(data),
                              size_t(sqlite3_column_bytes(m_statement, column)))
                : std::string();
}

size_t SqliteStatement::bytes(int column) const
{
    return size_t(sqlite3_column_bytes(m_statement, column));
}

int64_t SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

} // namespace iphonesim
