#pragma once

#include <QHash>
#include <QString>
#include <optional>

class Sqlite3DB;

// The entity numbers of a Core Data store, from its bookkeeping table Z_PRIMARYKEY (Z_NAME -> Z_ENT).
// Core Data names join tables and their columns after these numbers, so they differ between app versions.
class CoreDataEntities
{
public:
    // Replaces what was read before. A store without Z_PRIMARYKEY reads as having no entities; rows
    // without a number are skipped.
    void read(Sqlite3DB& db);
    void clear() { m_numbers.clear(); }

    // The number of the entity, looked up by entity name, then by table name.
    std::optional<int> find(const QString& entityName, const QString& tableName) const;
    // The same, or fallback when the store does not list the entity.
    int number(const QString& entityName, const QString& tableName, int fallback) const;
    bool isEmpty() const { return m_numbers.isEmpty(); }

private:
    QHash<QString, int> m_numbers;
};
