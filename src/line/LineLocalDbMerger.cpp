#include "line/LineLocalDbMerger.h"

#include "line/AbsLineMsgsSource.h"
#include "line/LineChat.h"
#include "line/LineGroup.h"
#include "line/LineLocalDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Copies when the source exists and the target does not; a failed copy is no error.
bool copyIfMissing(const QString& from, const QString& to)
{
    if (from.isEmpty() || to.isEmpty() || QFileInfo::exists(to) || !QFileInfo(from).isFile())
        return false;
    QDir().mkpath(QFileInfo(to).absolutePath());
    // QFile::copy writes a temporary file and renames it, so a crash leaves no partial copy.
    return QFile::copy(from, to);
}

} // namespace

LineLocalDbMerger::LineLocalDbMerger(LineLocalDb& target, LineMergeControl control)
    : m_target(target), m_control(std::move(control))
{
}

LineLocalDbMerger::Result LineLocalDbMerger::mergeThrow(AbsLineMsgsSource& source)
{
    Result result;
    const qint64 total = source.count();
    m_target.open();
    m_chatIds.clear();
    Sqlite3Transaction transaction(m_target);
    for (qint64 i = 0; i < total; ++i) {
        if (m_control.isCancelled()) {
            result.cancelled = true;
            return result;
        }
        m_control.report(result.processed + 1, total);
        const _LineMsg message = source.message(i);
        ++result.processed;
        if (!message.chat)
            continue;
        const qint64 chatId = chatIdThrow(*message.chat);
        if (m_target.findMessage(chatId, message.uid) == 0) {
            m_target.insertMessage(chatId, message);
            ++result.inserted;
        }
        if (copyMedia(message))
            ++result.mediaCopied;
    }
    transaction.commit();
    return result;
}

qint64 LineLocalDbMerger::chatIdThrow(const _LineChat& chat)
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

bool LineLocalDbMerger::copyMedia(const _LineMsg& message)
{
    const LineLocalDb::MediaPaths paths = m_target.mediaPaths(message);
    bool copied = false;
    if (!message.thumbPath.isEmpty())
        copied = copyIfMissing(message.thumbPath, paths.thumbPath) || copied;
    if (!message.filePath.isEmpty())
        copied = copyIfMissing(message.filePath, paths.filePath) || copied;
    return copied;
}
