#pragma once

#include "line/AbsLineMsgsSource.h"

#include <memory>

class _LineData;

// The messages of one chat (or of all chats) of a database, read a page at a time through the data set's
// shared one-page cache. Walking indexes in order costs one query per page; several sources on one data
// set share the cache, so alternating between them refetches. Sources on one data set may be read from
// several threads (the window's list and a job): each read holds the data set's page-cache lock.
class LineMsgsDataSource : public AbsLineMsgsSource
{
public:
    // chat null: every chat of the database.
    LineMsgsDataSource(std::shared_ptr<_LineData> data, _LineChat* chat, bool ascending);

    // The database's count; 0 when the database fails (the error is logged).
    qint64 count() override;
    // Loads the page holding index into the cache unless the cache holds it already. A database error
    // propagates (std::runtime_error) and leaves the cache as it was; an index past the end of its page,
    // or a negative one, gives a default _LineMsg.
    _LineMsg message(qint64 index) override;
    // With a chat: that chat -> a copy of this source. Without: one source per chat of the data set.
    QHash<_LineChat*, PAbsLineMsgsSource> splitByChat() override;

    const std::shared_ptr<_LineData>& data() const { return m_data; }
    _LineChat* chat() const { return m_chat; }
    bool ascending() const { return m_ascending; }

private:
    std::shared_ptr<_LineData> m_data;
    _LineChat* m_chat;
    bool m_ascending;
};
