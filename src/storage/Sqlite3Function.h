#pragma once

#include "storage/Sqlite3Sql.h"

#include <QString>
#include <functional>

struct sqlite3_value;

// The arguments of one call of an SQL function added with Sqlite3DB::addFunction; valid during that call
// only. Conversions are SQLite's own.
class Sqlite3FunctionArgs
{
public:
    Sqlite3FunctionArgs(int count, sqlite3_value** values) : m_count(count), m_values(values) {}

    int count() const { return m_count; }
    bool isNull(int index) const;
    // The argument as text; empty for NULL.
    QString text(int index) const;
    // The argument as an integer; 0 for NULL.
    qint64 int64(int index) const;

private:
    int m_count;
    sqlite3_value** m_values;
};

// A scalar SQL function: the result of one call. An exception it throws fails the statement with its text.
using Sqlite3Function = std::function<Sqlite3Param(const Sqlite3FunctionArgs& args)>;
