#include "line/IOSLineGroupDb.h"

void IOSLineGroupDb::openStore(const QString& path)
{
    openFile(path, OpenReadWrite);
    try {
        m_schema.read(*this);
        m_entities.read(*this);
    } catch (...) {
        close();
        throw;
    }
    m_groupEntity = m_entities.number(QStringLiteral("UnifiedGroup"), QStringLiteral("ZUNIFIEDGROUP"), 0);
    m_userEntity =
        m_entities.number(QStringLiteral("UnifiedGroupUser"), QStringLiteral("ZUNIFIEDGROUPUSER"), 0);
    m_joinTable = QStringLiteral("Z_%1MEMBERCHATUSERS").arg(m_groupEntity);
    m_groupColumn = QStringLiteral("Z_%1GROUPS").arg(m_groupEntity);
    m_userColumn = QStringLiteral("Z_%1MEMBERCHATUSERS").arg(m_userEntity);
}

bool IOSLineGroupDb::hasGroups() const
{
    return m_schema.hasColumn(QStringLiteral("ZUNIFIEDGROUP"), QStringLiteral("ZID"));
}

bool IOSLineGroupDb::hasMembers() const
{
    return m_schema.hasColumn(m_joinTable, m_groupColumn) && m_schema.hasColumn(m_joinTable, m_userColumn) &&
           m_schema.hasColumn(QStringLiteral("ZUNIFIEDGROUPUSER"), QStringLiteral("ZMID"));
}

Sqlite3Cursor IOSLineGroupDb::queryGroups()
{
    return query("select * from ZUNIFIEDGROUP");
}

Sqlite3Cursor IOSLineGroupDb::queryMembers()
{
    return query(QStringLiteral("select j.%1 as group_id,").arg(m_groupColumn) +
                 QStringLiteral(" u.ZMID as user_uid") + QStringLiteral(" from %1 as j ").arg(m_joinTable) +
                 QStringLiteral(" inner join ZUNIFIEDGROUPUSER as u") +
                 QStringLiteral(" on j.%1 = u.Z_PK").arg(m_userColumn));
}
