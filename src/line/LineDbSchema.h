#pragma once

#include <QHash>
#include <QSet>
#include <QString>

class Sqlite3DB;

// The tables of one database with their columns, and the names of all its other objects (indexes, views,
// triggers), as sqlite_master lists them. Names are kept and looked up in lower case, because SQLite
// compares them without regard to case.
class LineDbSchema
{
public:
    // Replaces what was read before. Errors of the access layer propagate.
    void read(Sqlite3DB& db);
    void clear();

    bool hasTable(const QString& table) const;
    bool hasColumn(const QString& table, const QString& column) const;
    // Any object: table, index, view or trigger.
    bool hasObject(const QString& name) const;
    // The column names of a table, lower case; empty when the table is missing.
    QSet<QString> columns(const QString& table) const;

private:
    QHash<QString, QSet<QString>> m_tables;
    QSet<QString> m_objects;
};
