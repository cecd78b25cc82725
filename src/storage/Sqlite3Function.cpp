#include "storage/Sqlite3Function.h"

#include <sqlite3.h>

bool Sqlite3FunctionArgs::isNull(int index) const
{
    return sqlite3_value_type(m_values[index]) == SQLITE_NULL;
}

QString Sqlite3FunctionArgs::text(int index) const
{
    if (isNull(index))
        return {};
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(m_values[index]));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(m_values[index]));
}

qint64 Sqlite3FunctionArgs::int64(int index) const
{
    return sqlite3_value_int64(m_values[index]);
}
