#include "storage/Sqlite3Cursor.h"

#include <sqlite3.h>

Sqlite3Cursor::Sqlite3Cursor(Sqlite3Connection::Statement statement) : m_statement(std::move(statement))
{
    const int count = sqlite3_column_count(m_statement.get());
    m_columns.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(m_statement.get(), i)).toLower();
        if (!m_columns.contains(name)) // the first of two equal names wins, as in "select c.*, u.Z_PK"
            m_columns.insert(name, i);
    }
}

bool Sqlite3Cursor::moveNext()
{
    if (!m_statement.get())
        return false;
    m_onRow = m_statement.stepThrow();
    if (!m_onRow)
        m_statement = {}; // done: give the statement back for reuse
    return m_onRow;
}

int Sqlite3Cursor::columnIndex(const QString& column) const
{
    if (!m_onRow)
        return -1;
    auto it = m_columns.constFind(column.toLower());
    return it == m_columns.cend() ? -1 : it.value();
}

bool Sqlite3Cursor::isNull(const QString& column) const
{
    const int index = columnIndex(column);
    return index < 0 || sqlite3_column_type(m_statement.get(), index) == SQLITE_NULL;
}

int Sqlite3Cursor::columnCount() const
{
    return m_statement.get() ? sqlite3_column_count(m_statement.get()) : 0;
}

QString Sqlite3Cursor::columnName(int index) const
{
    return m_statement.get() ? QString::fromUtf8(sqlite3_column_name(m_statement.get(), index)) : QString();
}

QString Sqlite3Cursor::getText(const QString& column) const
{
    return QString::fromUtf8(getTextBytes(column));
}

QByteArray Sqlite3Cursor::getTextBytes(const QString& column) const
{
    const int index = columnIndex(column);
    if (index < 0)
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement.get(), index));
    return QByteArray(text, sqlite3_column_bytes(m_statement.get(), index));
}

QByteArray Sqlite3Cursor::getBlob(const QString& column) const
{
    const int index = columnIndex(column);
    if (index < 0)
        return {};
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement.get(), index));
    return QByteArray(data, sqlite3_column_bytes(m_statement.get(), index));
}

int Sqlite3Cursor::getInt(const QString& column, int defaultValue) const
{
    return int(getInt64(column, defaultValue));
}

qint64 Sqlite3Cursor::getInt64(const QString& column, qint64 defaultValue) const
{
    const int index = columnIndex(column);
    if (index < 0 || sqlite3_column_type(m_statement.get(), index) == SQLITE_NULL)
        return defaultValue;
    return sqlite3_column_int64(m_statement.get(), index);
}

qint64 Sqlite3Cursor::getInt64(int index) const
{
    if (!m_onRow || index < 0 || index >= columnCount())
        return 0;
    return sqlite3_column_int64(m_statement.get(), index);
}

double Sqlite3Cursor::getDouble(const QString& column, double defaultValue) const
{
    const int index = columnIndex(column);
    if (index < 0 || sqlite3_column_type(m_statement.get(), index) == SQLITE_NULL)
        return defaultValue;
    return sqlite3_column_double(m_statement.get(), index);
}

QVariant Sqlite3Cursor::getValue(const QString& column) const
{
    const int index = columnIndex(column);
    if (index < 0)
        return {};
    switch (sqlite3_column_type(m_statement.get(), index)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(m_statement.get(), index));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement.get(), index);
    case SQLITE_TEXT:
        return getText(column);
    case SQLITE_BLOB:
        return getBlob(column);
    default:
        return {};
    }
}
