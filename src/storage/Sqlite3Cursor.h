#pragma once

#include "storage/Sqlite3Connection.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>

// The rows of one query, stepped one at a time. Getters take a column name (ignoring case) and read
// NULL or a missing column as the empty value of their type, so a store lacking a column reads as empty.
class Sqlite3Cursor
{
public:
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

private:
    int columnIndex(const QString& column) const;

    Sqlite3Connection::Statement m_statement;
    QHash<QString, int> m_columns; // lower-case name -> index
    bool m_onRow = false;
};
