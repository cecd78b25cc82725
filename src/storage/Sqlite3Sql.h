#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <variant>

// A value bound to one '?' placeholder.
struct Sqlite3Param
{
    struct Null
    {
    };
    struct Blob
    {
        QByteArray bytes;
    };
    // Bytes bound as TEXT without re-encoding (LINE stores text that is not always valid UTF-8).
    struct TextBytes
    {
        QByteArray bytes;
    };
    std::variant<Null, qint64, double, QString, Blob, TextBytes> value;
};

// An SQL text with its parameters, copied by value. Parameters bind in the order added.
class Sqlite3Sql
{
public:
    Sqlite3Sql() = default;
    Sqlite3Sql(const char* sql);
    Sqlite3Sql(const QByteArray& sql);
    Sqlite3Sql(const QString& sql);

    Sqlite3Sql& appendSql(const QString& text);
    Sqlite3Sql& addTextParam(const QString& text);
    Sqlite3Sql& addIntParam(int value);
    Sqlite3Sql& addInt64Param(qint64 value);
    Sqlite3Sql& addDoubleParam(double value);
    Sqlite3Sql& addBlobParam(const QByteArray& bytes);
    Sqlite3Sql& addTextBytesParam(const QByteArray& bytes);
    Sqlite3Sql& addNullParam();
    Sqlite3Sql& addParam(const Sqlite3Param& param);

    const QByteArray& sql() const { return m_sql; }
    const QList<Sqlite3Param>& params() const { return m_params; }

private:
    QByteArray m_sql;
    QList<Sqlite3Param> m_params;
};
