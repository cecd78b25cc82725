#include "line/LineMsgsDataSource.h"

#include "line/AbsLineDb.h"
#include "line/LineData.h"

#include <QDebug>
#include <QMutexLocker>
#include <stdexcept>

LineMsgsDataSource::LineMsgsDataSource(std::shared_ptr<_LineData> data, _LineChat* chat, bool ascending)
    : m_data(std::move(data)), m_chat(chat), m_ascending(ascending)
{
}

qint64 LineMsgsDataSource::count()
{
    if (!m_data || !m_data->db())
        return 0;
    const QMutexLocker lock(&m_data->pageCacheMutex());
    try {
        return std::max<qint64>(0, m_data->db()->countMessages(m_chat));
    } catch (const std::exception& error) {
        qWarning() << "counting messages failed:" << error.what();
        return 0;
    }
}

_LineMsg LineMsgsDataSource::message(qint64 index)
{
    if (index < 0 || !m_data || !m_data->db())
        return {};
    const int pageSize = m_data->pageSize();
    const qint64 page = index / pageSize + 1;
    const QMutexLocker lock(&m_data->pageCacheMutex());
    if (!m_data->cacheHolds(m_chat, page, m_ascending)) {
        QList<_LineMsg> messages = m_data->db()->loadMessages(m_chat, page, pageSize, m_ascending);
        m_data->setCachedPage(m_chat, page, m_ascending, std::move(messages));
    }
    const qint64 offset = index % pageSize;
    const QList<_LineMsg>& cached = m_data->cachedMessages();
    return offset < cached.size() ? cached.at(offset) : _LineMsg();
}

QHash<_LineChat*, PAbsLineMsgsSource> LineMsgsDataSource::splitByChat()
{
    QHash<_LineChat*, PAbsLineMsgsSource> sources;
    if (m_chat) {
        sources.insert(m_chat, std::make_shared<LineMsgsDataSource>(m_data, m_chat, m_ascending));
        return sources;
    }
    if (!m_data)
        return sources;
    sources.reserve(m_data->chats().size());
    for (_LineChat* chat : m_data->chats())
        sources.insert(chat, std::make_shared<LineMsgsDataSource>(m_data, chat, m_ascending));
    return sources;
}
