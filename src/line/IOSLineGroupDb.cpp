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
