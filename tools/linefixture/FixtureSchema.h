#pragma once

#include "LineFixtureOptions.h"

#include <QString>
#include <QStringList>

// The Core Data schema of LINE's stores as the app's model lays them out: bookkeeping tables, one table
// per entity with the columns the program reads and writes plus others such stores carry, join tables
// named from the entity numbers, and the indexes Core Data makes for relationships.
namespace FixtureSchema {

// Join names of Line.sqlite for a numbering.
QString chatMembersTable(const LineFixtureEntities& entities);        // Z_<chat>MEMBERS
QString chatMembersChatColumn(const LineFixtureEntities& entities);   // Z_<chat>CHATS
QString chatMembersUserColumn(const LineFixtureEntities& entities);   // Z_<user>MEMBERS
QString groupMembersTable(const LineFixtureEntities& entities);       // Z_<group>MEMBERS
QString groupMembersGroupColumn(const LineFixtureEntities& entities); // Z_<group>GROUPS
QString groupMembersUserColumn(const LineFixtureEntities& entities);  // Z_<user>MEMBERS1
// Join names of UnifiedGroup.sqlite.
QString unifiedMembersTable(const LineFixtureEntities& entities);       // Z_<unifiedGroup>MEMBERCHATUSERS
QString unifiedMembersGroupColumn(const LineFixtureEntities& entities); // Z_<unifiedGroup>GROUPS
QString unifiedMembersUserColumn(const LineFixtureEntities& entities);  // Z_<unifiedGroupUser>MEMBERCHATUSERS

// Statements creating Line.sqlite's tables and indexes (Z_PRIMARYKEY is created empty).
QStringList lineStore(const LineFixtureEntities& entities);
// Statements creating UnifiedGroup.sqlite's tables and indexes.
QStringList groupStore(const LineFixtureEntities& entities);

// The ZMESSAGE columns the builder fills, in insert order.
const QStringList& messageColumns();

} // namespace FixtureSchema
