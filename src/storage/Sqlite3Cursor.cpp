#include "storage/Sqlite3Cursor.h"

#include <sqlite3.h>

Sqlite3Cursor::Sqlite3Cursor(Sqlite3Connection::Statement statement) : m_statement(std::move(statement))
{
    m_columnCount = sqlite3_column_count(m_statement.get());
}

void Sqlite3Cursor::readColumnNames() const
{
    if (m_namesRead || !m_statement.get())
        return;
    m_namesRead = true;
    m_columns.reserve(m_columnCount);
    m_exactColumns.reserve(m_columnCount);
    for (int i = 0; i < m_columnCount; ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(m_statement.get(), i));
        // The first of two equal names wins, as in "select c.*, u.Z_PK".
        if (!m_columns.contains(name.toLower()))
            m_columns.insert(name.toLower(), i);
        if (!m_exactColumns.contains(name))
            m_exactColumns.insert(name, i);
    }
}

bool Sqlite3Cursor::moveNext()
{
    if (!m_statement.get())
        return false;
    m_onRow = m_statement.step();
    if (!m_onRow)
        m_statement = {}; // done: give the statement back for reuse
    return m_onRow;
}

int Sqlite3Cursor::columnIndexOf(const QString& column) const
{
    readColumnNames();
    // Most callers spell a column as the table does: found without making a lower-case copy.
    const auto exact = m_exactColumns.constFind(column);
    if (exact != m_exactColumns.cend())
        return exact.value();
    const auto it = m_columns.constFind(column.toLower());
    return it == m_columns.cend() ? -1 : it.value();
}

int Sqlite3Cursor::columnIndex(const QString& column) const
{
    return m_onRow ? columnIndexOf(column) : -1;
}

bool Sqlite3Cursor::readable(int index) const
{
    return m_onRow && index >= 0 && index < m_columnCount;
}

bool Sqlite3Cursor::isNullAt(int index) const
{
    return !readable(index) || sqlite3_column_type(m_statement.get(), index) == SQLITE_NULL;
}

Sqlite3Cursor::Type Sqlite3Cursor::typeAt(int index) const
{
    return readable(index) ? Type(sqlite3_column_type(m_statement.get(), index)) : Type::Null;
}

bool Sqlite3Cursor::isNull(const QString& column) const
{
    return isNullAt(columnIndex(column));
}

int Sqlite3Cursor::columnCount() const
{
    return m_statement.get() ? sqlite3_column_count(m_statement.get()) : 0;
}

QString Sqlite3Cursor::columnName(int index) const
{
    return m_statement.get() ? QString::fromUtf8(sqlite3_column_name(m_statement.get(), index)) : QString();
}

QByteArray Sqlite3Cursor::textBytesAt(int index) const
{
    if (!readable(index))
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement.get(), index));
    return QByteArray(text, sqlite3_column_bytes(m_statement.get(), index));
}

QByteArrayView Sqlite3Cursor::textViewAt(int index) const
{
    if (!readable(index))
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement.get(), index));
    return QByteArrayView(text, sqlite3_column_bytes(m_statement.get(), index));
}

QString Sqlite3Cursor::textAt(int index) const
{
    if (!readable(index))
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement.get(), index));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_statement.get(), index));
}

QByteArray Sqlite3Cursor::blobAt(int index) const
{
    if (!readable(index))
        return {};
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement.get(), index));
    return QByteArray(data, sqlite3_column_bytes(m_statement.get(), index));
}

qint64 Sqlite3Cursor::int64At(int index, qint64 defaultValue) const
{
    if (!readable(index))
        return defaultValue;
    // SQLite reads NULL as 0 itself: the type is asked only when another default is wanted.
    if (defaultValue != 0 && sqlite3_column_type(m_statement.get(), index) == SQLITE_NULL)
        return defaultValue;
    return sqlite3_column_int64(m_statement.get(), index);
}

double Sqlite3Cursor::doubleAt(int index, double defaultValue) const
{
    if (!readable(index))
        return defaultValue;
    if (defaultValue != 0 && sqlite3_column_type(m_statement.get(), index) == SQLITE_NULL)
        return defaultValue;
    return sqlite3_column_double(m_statement.get(), index);
}

QByteArrayView Sqlite3Cursor::blobViewAt(int index) const
{
    if (!readable(index))
        return {};
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement.get(), index));
    return QByteArrayView(data, sqlite3_column_bytes(m_statement.get(), index));
}

QVariant Sqlite3Cursor::valueAt(int index) const
{
    if (!readable(index))
        return {};
    switch (sqlite3_column_type(m_statement.get(), index)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(m_statement.get(), index));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement.get(), index);
    case SQLITE_TEXT:
        return textAt(index);
    case SQLITE_BLOB:
        return blobAt(index);
    default:
        return {};
    }
}

QString Sqlite3Cursor::getText(const QString& column) const
{
    return textAt(columnIndex(column));
}

QByteArray Sqlite3Cursor::getTextBytes(const QString& column) const
{
    return textBytesAt(columnIndex(column));
}

QByteArray Sqlite3Cursor::getBlob(const QString& column) const
{
    return blobAt(columnIndex(column));
}

int Sqlite3Cursor::getInt(const QString& column, int defaultValue) const
{
    return int(getInt64(column, defaultValue));
}

qint64 Sqlite3Cursor::getInt64(const QString& column, qint64 defaultValue) const
{
    return int64At(columnIndex(column), defaultValue);
}

qint64 Sqlite3Cursor::getInt64(int index) const
{
    if (!readable(index))
        return 0;
    return sqlite3_column_int64(m_statement.get(), index);
}

double Sqlite3Cursor::getDouble(const QString& column, double defaultValue) const
{
    return doubleAt(columnIndex(column), defaultValue);
}

QVariant Sqlite3Cursor::getValue(const QString& column) const
{
    return valueAt(columnIndex(column));
}
