#include "line/IOSLineMerger.h"

#include "line/AbsLineMsgsSource.h"
#include "line/IOSLineDb.h"
#include "line/LineChat.h"
#include "line/LineGroup.h"

IOSLineMerger::IOSLineMerger(IOSLineDb& target, JobControl control, MessageHandled handled)
    : m_target(target), m_control(std::move(control)), m_handled(std::move(handled))
{
}

IOSLineMerger::Result IOSLineMerger::merge(AbsLineMsgsSource& source)
{
    Result result;
    m_target.open();
    m_target.checkWritable();
    m_chatPks.clear();
    Sqlite3Transaction transaction(m_target);
    m_target.removeNoticeMessages();
    const qint64 total = source.count();
    for (qint64 i = 0; i < total; ++i) {
        if (m_control.isCancelled()) {
            result.cancelled = true;
            return result;
        }
        const _LineMsg message = source.message(i);
        if (!message.hasUid())
            continue;
        ++result.seen;
        m_control.setProgress(result.seen, total);
        if (!message.chat)
            continue;
        ++result.handled;
        const qint64 chatPk = targetChatPk(*message.chat);
        if (m_target.findMessage(chatPk, message.uid) == 0) {
            m_target.insertMessage(chatPk, message);
            ++result.inserted;
        }
        if (m_handled)
            m_handled(message, chatPk);
    }
    m_target.finish();
    transaction.commit();
    return result;
}

qint64 IOSLineMerger::targetChatPk(const _LineChat& chat)
{
    const auto cached = m_chatPks.constFind(&chat);
    if (cached != m_chatPks.cend())
        return cached.value();
    const IOSLineDb::ChatRow found = m_target.findChat(chat.uid);
    qint64 pk = found.pk;
    if (pk != 0) {
        if (!found.enabled)
            m_target.enableChat(pk);
    } else {
        pk = m_target.insertChat(chat);
        m_target.linkChatMembers(pk, chat);
        if (chat.group && m_target.findGroup(chat.group->uid) == 0) {
            const qint64 groupPk = m_target.insertGroup(*chat.group);
            if (groupPk != 0)
                m_target.linkGroupMembers(groupPk, *chat.group);
        }
    }
    m_chatPks.insert(&chat, pk);
    return pk;
}
