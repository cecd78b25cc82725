#include "line/CoreDataEntities.h"

#include "storage/Sqlite3DB.h"

void CoreDataEntities::read(Sqlite3DB& db)
{
    QHash<QString, int> numbers;
    const bool present =
        db.queryInt64("select count(*) from sqlite_master where type='table' and name='Z_PRIMARYKEY' "
                      "collate nocase",
                      0) > 0;
    if (present) {
        Sqlite3Cursor cursor = db.query("select * from Z_PRIMARYKEY");
        while (cursor.moveNext()) {
            if (cursor.isNull(QStringLiteral("Z_ENT")))
                continue;
            const QString name = cursor.getText(QStringLiteral("Z_NAME"));
            if (!name.isEmpty() && !numbers.contains(name))
                numbers.insert(name, cursor.getInt(QStringLiteral("Z_ENT")));
        }
    }
    m_numbers = std::move(numbers);
}

std::optional<int> CoreDataEntities::find(const QString& entityName, const QString& tableName) const
{
    auto it = m_numbers.constFind(entityName);
    if (it == m_numbers.cend())
        it = m_numbers.constFind(tableName);
    if (it == m_numbers.cend())
        return std::nullopt;
    return it.value();
}

int CoreDataEntities::number(const QString& entityName, const QString& tableName, int fallback) const
{
    return find(entityName, tableName).value_or(fallback);
}
