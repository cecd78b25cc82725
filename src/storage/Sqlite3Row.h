#pragma once

#include "storage/Sqlite3Sql.h"

#include <QMap>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

// Column name -> value, turned into an INSERT statement. Values bind by their type: strings as text,
// integers and booleans as integers, doubles as reals, byte arrays as blobs, TypeTextBytes as text bytes.
class Sqlite3Row
{
public:
    // Bytes that bind as TEXT without re-encoding.
    struct TypeTextBytes
    {
        QByteArray bytes;
    };

    QVariant& operator[](const QString& column) { return m_values[column]; }
    QVariant value(const QString& column) const { return m_values.value(column); }
    bool contains(const QString& column) const { return m_values.contains(column); }
    void remove(const QString& column) { m_values.remove(column); }
    qsizetype size() const { return m_values.size(); }
    QStringList columns() const { return m_values.keys(); }

    // "insert into table(c1,c2) values(?,?)" with the row's values bound. A non-empty columns set keeps
    // only those columns. Columns are in name order, so equal column sets give equal statements.
    Sqlite3Sql insertSql(const QString& table, const QSet<QString>& columns = {}) const;

    static Sqlite3Param toParam(const QVariant& value);

private:
    QMap<QString, QVariant> m_values;
};

Q_DECLARE_METATYPE(Sqlite3Row::TypeTextBytes)
