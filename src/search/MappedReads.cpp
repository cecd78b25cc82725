#include "search/MappedReads.h"

#include "storage/Sqlite3DB.h"

#include <stdexcept>

MappedReads::MappedReads(Sqlite3DB& db) : m_db(db), m_previous(db.queryInt64("pragma mmap_size"))
{
    m_db.execute("pragma mmap_size=1099511627776");
}

MappedReads::~MappedReads()
{
    try {
        m_db.execute(Sqlite3Sql(QStringLiteral("pragma mmap_size=%1").arg(m_previous)));
    } catch (const std::exception&) {
        // Only a setting of the connection: reads stay correct either way.
    }
}
