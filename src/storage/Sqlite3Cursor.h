#pragma once

#include "storage/Sqlite3Connection.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>

// The rows of one query, stepped one at a time. Getters take a column name (ignoring case) and read
// NULL or a missing column as the empty value of their type, so a store lacking a column reads as empty.
//
// Readers of many rows can look a name up once with columnIndexOf() and read by index; an index of -1
// (a missing column) reads as empty in the same way.
class Sqlite3Cursor
{
public:
    // A value's storage class, numbered as SQLite numbers them.
    enum class Type
    {
        Integer = 1,
        Float = 2,
        Text = 3,
        Blob = 4,
        Null = 5
    };

    Sqlite3Cursor() = default;
    explicit Sqlite3Cursor(Sqlite3Connection::Statement statement);
    Sqlite3Cursor(Sqlite3Cursor&&) noexcept = default;
    Sqlite3Cursor& operator=(Sqlite3Cursor&&) noexcept = default;

    // Steps to the next row; false after the last one. A database error throws Sqlite3Error.
    bool moveNext();

    QString getText(const QString& column) const;
    int getInt(const QString& column, int defaultValue = 0) const;
    qint64 getInt64(const QString& column, qint64 defaultValue = 0) const;
    qint64 getInt64(int index) const;
    double getDouble(const QString& column, double defaultValue = 0) const;
    QByteArray getBlob(const QString& column) const;
    QByteArray getTextBytes(const QString& column) const;
    QVariant getValue(const QString& column) const;

    bool hasColumn(const QString& column) const { return columnIndex(column) >= 0; }
    bool isNull(const QString& column) const;
    int columnCount() const;
    QString columnName(int index) const;

    // The index of a column of this query (the same for every row), or -1; -1 too once the last row
    // was passed, as columnCount() is then 0.
    int columnIndexOf(const QString& column) const;
    QString textAt(int index) const;
    QByteArray textBytesAt(int index) const;
    // The text bytes without a copy; valid until the cursor moves.
    QByteArrayView textViewAt(int index) const;
    QByteArray blobAt(int index) const;
    // The blob without a copy; valid until the cursor moves.
    QByteArrayView blobViewAt(int index) const;
    qint64 int64At(int index, qint64 defaultValue = 0) const;
    double doubleAt(int index, double defaultValue = 0) const;
    QVariant valueAt(int index) const;
    bool isNullAt(int index) const;
    // Null when not on a row or the column is missing.
    Type typeAt(int index) const;

private:
    // The index on the current row; -1 when not on a row or the column is missing.
    int columnIndex(const QString& column) const;
    bool readable(int index) const;
    // Most queries are read by index or by one or two names: the maps are made on the first look-up.
    void readColumnNames() const;

    Sqlite3Connection::Statement m_statement;
    mutable QHash<QString, int> m_columns;      // lower-case name -> index
    mutable QHash<QString, int> m_exactColumns; // name as SQLite reports it -> index
    mutable bool m_namesRead = false;
    int m_columnCount = 0;
    bool m_onRow = false;
};
