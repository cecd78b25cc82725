#include "line/LineLocalDbMerger.h"

#include "app/BackgroundFileCopies.h"
#include "line/AbsLineMsgsSource.h"
#include "line/LineChat.h"
#include "line/LineGroup.h"
#include "line/LineLocalDb.h"
#include "platform/FileSystemSync.h"

#include <QFileInfo>
#include <QScopeGuard>

LineLocalDbMerger::LineLocalDbMerger(LineLocalDb& target, JobControl control)
    : m_target(target), m_control(std::move(control))
{
}

LineLocalDbMerger::Result LineLocalDbMerger::merge(AbsLineMsgsSource& source)
{
    Result result;
    const qint64 total = source.count();
    m_target.open();
    // The look-ups and inserts of every message keep the indexes in memory with a larger cache.
    m_target.enlargePageCache();
    m_chatIds.clear();
    // Media are copied beside the database work; on every way out the copies not started are dropped.
    BackgroundFileCopies copies;
    m_copies = &copies;
    const auto forgetCopies = qScopeGuard([this] { m_copies = nullptr; });
    Sqlite3Transaction transaction(m_target);
    for (qint64 i = 0; i < total; ++i) {
        if (m_control.isCancelled()) {
            copies.cancel();
            result.cancelled = true;
            return result;
        }
        m_control.setProgress(result.processed + 1, total);
        const _LineMsg message = source.message(i);
        ++result.processed;
        if (!message.chat)
            continue;
        const qint64 chatId = targetChatId(*message.chat);
        if (m_target.findMessage(chatId, message.uid) == 0) {
            m_target.insertMessage(chatId, message);
            ++result.inserted;
        } else {
            ++result.alreadyThere;
        }
        queueMedia(message);
    }
    // The copies go to the disk before the rows that name them: one request for all of them, where a sync
    // per file would cost more than the copy.
    result.mediaCopied = copies.finish();
    if (result.mediaCopied > 0 && !syncFileSystemOf(m_target.folder()))
        qWarning("local database: the media copies could not be flushed to the disk");
    transaction.commit();
    return result;
}

qint64 LineLocalDbMerger::targetChatId(const _LineChat& chat)
{
    const auto cached = m_chatIds.constFind(&chat);
    if (cached != m_chatIds.cend())
        return cached.value();
    qint64 id = m_target.findChat(chat.uid);
    if (id == 0) {
        id = m_target.insertChat(chat);
        m_target.linkChatUsers(id, chat);
        if (chat.group && m_target.findGroup(chat.group->uid) == 0) {
            const qint64 groupId = m_target.insertGroup(*chat.group);
            m_target.linkGroupMembers(groupId, *chat.group);
        }
    }
    m_chatIds.insert(&chat, id);
    return id;
}

void LineLocalDbMerger::queueMedia(const _LineMsg& message)
{
    if (message.thumbPath.isEmpty() && message.filePath.isEmpty())
        return;
    const LineLocalDb::MediaPaths paths = m_target.mediaPaths(message);
    // Files already there are passed over here: a repeated backup then queues nothing.
    if (!message.thumbPath.isEmpty() && !paths.thumbPath.isEmpty() && !QFileInfo::exists(paths.thumbPath))
        m_copies->add(message.thumbPath, paths.thumbPath);
    if (!message.filePath.isEmpty() && !paths.filePath.isEmpty() && !QFileInfo::exists(paths.filePath))
        m_copies->add(message.filePath, paths.filePath);
}
