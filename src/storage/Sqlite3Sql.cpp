#include "storage/Sqlite3Sql.h"

Sqlite3Sql::Sqlite3Sql(const char* sql) : m_sql(sql)
{
}

Sqlite3Sql::Sqlite3Sql(const QByteArray& sql) : m_sql(sql)
{
}

Sqlite3Sql::Sqlite3Sql(const QString& sql) : m_sql(sql.toUtf8())
{
}

Sqlite3Sql& Sqlite3Sql::appendSql(const QString& text)
{
    m_sql.append(text.toUtf8());
    return *this;
}

Sqlite3Sql& Sqlite3Sql::addTextParam(const QString& text)
{
    m_params.append(Sqlite3Param{text});
    return *this;
}

Sqlite3Sql& Sqlite3Sql::addIntParam(int value)
{
    m_params.append(Sqlite3Param{qint64(value)});
    return *this;
}

Sqlite3Sql& Sqlite3Sql::addInt64Param(qint64 value)
{
    m_params.append(Sqlite3Param{value});
    return *this;
}

Sqlite3Sql& Sqlite3Sql::addDoubleParam(double value)
{
    m_params.append(Sqlite3Param{value});
    return *this;
}

Sqlite3Sql& Sqlite3Sql::addBlobParam(const QByteArray& bytes)
{
    m_params.append(Sqlite3Param{Sqlite3Param::Blob{bytes}});
    return *this;
}

Sqlite3Sql& Sqlite3Sql::addTextBytesParam(const QByteArray& bytes)
{
    m_params.append(Sqlite3Param{Sqlite3Param::TextBytes{bytes}});
    return *this;
}

Sqlite3Sql& Sqlite3Sql::addNullParam()
{
    m_params.append(Sqlite3Param{Sqlite3Param::Null{}});
    return *this;
}

Sqlite3Sql& Sqlite3Sql::addParam(const Sqlite3Param& param)
{
    m_params.append(param);
    return *this;
}
