#include "line/LineMsgsListSource.h"

LineMsgsListSource::LineMsgsListSource(QList<_LineMsg> messages) : m_messages(std::move(messages))
{
}

qint64 LineMsgsListSource::count()
{
    return m_messages.size();
}

_LineMsg LineMsgsListSource::message(qint64 index)
{
    if (index < 0 || index >= m_messages.size())
        return {};
    return m_messages.at(index);
}

QHash<_LineChat*, PAbsLineMsgsSource> LineMsgsListSource::splitByChat()
{
    QHash<_LineChat*, QList<_LineMsg>> groups;
    for (const _LineMsg& message : std::as_const(m_messages)) {
        if (message.chat)
            groups[message.chat].append(message);
    }
    QHash<_LineChat*, PAbsLineMsgsSource> sources;
    sources.reserve(groups.size());
    for (auto it = groups.begin(); it != groups.end(); ++it)
        sources.insert(it.key(), std::make_shared<LineMsgsListSource>(std::move(it.value())));
    return sources;
}
