#pragma once

#include "line/CoreDataEntities.h"
#include "line/LineDbSchema.h"
#include "storage/Sqlite3DB.h"

#include <QString>

// LINE's separate group store "UnifiedGroup.sqlite": groups (ZUNIFIEDGROUP), their member users
// (ZUNIFIEDGROUPUSER) and the Core Data join table between them, named from the entity numbers.
class IOSLineGroupDb : public Sqlite3DB
{
public:
    // Opens the store read-write and reads its schema, entity numbers and join names.
    void openStore(const QString& path);

    const LineDbSchema& schema() const { return m_schema; }
    const CoreDataEntities& entities() const { return m_entities; }
    // Entity numbers of "UnifiedGroup" and "UnifiedGroupUser"; 0 when the store does not list them.
    int groupEntity() const { return m_groupEntity; }
    int userEntity() const { return m_userEntity; }
    // "Z_<UnifiedGroup>MEMBERCHATUSERS", its group column "Z_<UnifiedGroup>GROUPS" and its user column
    // "Z_<UnifiedGroupUser>MEMBERCHATUSERS".
    const QString& joinTable() const { return m_joinTable; }
    const QString& groupColumn() const { return m_groupColumn; }
    const QString& userColumn() const { return m_userColumn; }

    // Whether the group table, and the tables and columns the member query needs, exist.
    bool hasGroups() const;
    bool hasMembers() const;

    // Every row of ZUNIFIEDGROUP, all columns. Only when hasGroups().
    Sqlite3Cursor queryGroups();
    // Every membership as "group_id" (the group's Z_PK) and "user_uid" (the member's mid). Only when
    // hasMembers().
    Sqlite3Cursor queryMembers();

private:
    LineDbSchema m_schema;
    CoreDataEntities m_entities;
    int m_groupEntity = 0;
    int m_userEntity = 0;
    QString m_joinTable;
    QString m_groupColumn;
    QString m_userColumn;
};
