#pragma once

#include <QtGlobal>

class Sqlite3DB;

// While it lives, a connection reads its database through a memory map rather than a copy of each page
// it reads (an index build walks the messages in time order, jumping about their table); the
// connection's own setting is restored afterwards. Mapping costs a little each time, so it is for long
// walks, not for one query.
class MappedReads
{
public:
    explicit MappedReads(Sqlite3DB& db);
    ~MappedReads();
    MappedReads(const MappedReads&) = delete;
    MappedReads& operator=(const MappedReads&) = delete;

private:
    Sqlite3DB& m_db;
    qint64 m_previous;
};
