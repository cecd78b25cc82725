#include "line/LineDbSchema.h"

#include "storage/Sqlite3DB.h"

void LineDbSchema::read(Sqlite3DB& db)
{
    QHash<QString, QSet<QString>> tables;
    QSet<QString> objects;
    QStringList tableNames;
    Sqlite3Cursor cursor = db.query(Sqlite3Sql("select * from sqlite_master"));
    while (cursor.moveNext()) {
        const QString name = cursor.getText(QStringLiteral("name"));
        objects.insert(name.toLower());
        if (cursor.getText(QStringLiteral("type")).compare(QLatin1String("table"), Qt::CaseInsensitive) == 0)
            tableNames << name;
    }
    for (const QString& table : std::as_const(tableNames)) {
        QSet<QString>& columns = tables[table.toLower()];
        for (const _SqliteCol& column : db.tbCols(table))
            columns.insert(column.name.toLower());
    }
    m_tables = std::move(tables);
    m_objects = std::move(objects);
}

void LineDbSchema::clear()
{
    m_tables.clear();
    m_objects.clear();
}

bool LineDbSchema::hasTable(const QString& table) const
{
    return m_tables.contains(table.toLower());
}

bool LineDbSchema::hasColumn(const QString& table, const QString& column) const
{
    const auto it = m_tables.constFind(table.toLower());
    return it != m_tables.cend() && it->contains(column.toLower());
}

bool LineDbSchema::hasObject(const QString& name) const
{
    return m_objects.contains(name.toLower());
}

QSet<QString> LineDbSchema::columns(const QString& table) const
{
    return m_tables.value(table.toLower());
}
