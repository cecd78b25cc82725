#pragma once

#include <QString>
#include <stdexcept>

// Raised by every failing operation of the access layer. what() is UTF-8 text meant for the user.
class Sqlite3Error : public std::runtime_error
{
public:
    Sqlite3Error(int code, const QString& message);

    // SQLite's primary result code (SQLITE_BUSY, SQLITE_NOTADB, ...).
    int code() const { return m_code; }

private:
    int m_code;
};

// Words a user understands for SQLite's result codes; falls back to SQLite's own text.
QString sqliteErrorText(int code, const char* sqliteMessage);
