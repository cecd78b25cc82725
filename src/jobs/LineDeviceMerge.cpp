#include "jobs/LineDeviceMerge.h"

#include "app/Decomposition.h"
#include "app/FileNames.h"
#include "app/JobControl.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineMerger.h"
#include "line/LineChat.h"
#include "line/MessageType.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// LINE's ids are digits and letters; anything that could leave its folder comes from a damaged or
// forged source and gets no file.
bool isPlainComponent(const QString& text)
{
    return !text.isEmpty() && text != QLatin1String(".") && text != QLatin1String("..") &&
           !text.contains(QLatin1Char('/')) && !text.contains(QLatin1Char('\\')) && !text.contains(QChar(0));
}

bool isNonEmptyFile(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() && info.size() > 0;
}

void emptyFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error(
            QStringLiteral("Can't write %1: %2").arg(path, file.errorString()).toStdString());
}

} // namespace

LineDeviceMerge::LineDeviceMerge(PDeviceInfo device, const QString& appRoot, PAbsLineMsgsSource source)
    : m_device(std::move(device)), m_appRoot(appRoot), m_source(std::move(source))
{
}

QString LineDeviceMerge::storeDomain(const DeviceInfo& device)
{
    const QList<int> numbers = versionNumbers(device);
    if (!numbers.isEmpty() && numbers.first() >= 1 && numbers.first() <= 7)
        return AppDomain;
    return GroupDomain;
}

QString LineDeviceMerge::domainFor(const DeviceInfo& device, const QString& relativePath)
{
    // Since iOS 8 the private store folder (store, attachments, thumbnails) lives in the app group.
    if (storeDomain(device) == GroupDomain &&
        relativePath.startsWith(QLatin1String("Library/Application Support/PrivateStore/")))
        return GroupDomain;
    return AppDomain;
}

void LineDeviceMerge::run(JobControl& control)
{
    m_handled = m_inserted = 0;
    m_storeChanged = false;
    m_items.clear();
    control.setStatus(tr("IDS_RESTORING_LINE_MSG_TO_IOS"));
    IOSLineDb db(m_appRoot, m_device->lineHome);
    // The user's hidden chats stay on the phone (a merged message of one shows it again).
    db.setKeepHiddenChats(true);
    // Nothing reads pages of this store: the indexes for that would only cost time.
    db.setReadingIndexes(false);
    db.setOneThread(true); // made and dropped here
    db.open();
    // A working copy made from the backup again whenever it is needed: no waiting for the disk on every
    // commit, and a cache that holds the indexes of a large store.
    db.execute("PRAGMA synchronous=OFF");
    db.execute("PRAGMA cache_size=-65536");
    IOSLineMerger merger(
        db, control, [this, &db](const _LineMsg& message, qint64) { addMedia(message, db.accountPrefix()); });
    const IOSLineMerger::Result result = merger.merge(*m_source);
    if (result.cancelled)
        throw JobCancelled();
    m_handled = result.handled;
    m_inserted = result.inserted;
    // Every row written counts, whatever changed it: new messages, repaired text, a chat shown again,
    // LINE's notices removed, summaries and key counters brought up to date.
    m_storeChanged = db.totalChanges() > 0;
    if (!m_storeChanged) {
        db.close();
        return;
    }

    // The store goes back whole: its log is folded in, and the companions are left empty so that the
    // backup's older ones are replaced rather than applied to the new store.
    db.queryInt64("PRAGMA wal_checkpoint(TRUNCATE)");
    db.close();
    const QString store = db.storePath();
    emptyFile(store + QStringLiteral("-wal"));
    emptyFile(store + QStringLiteral("-shm"));
    const QString relative = QDir(m_appRoot).relativeFilePath(store);
    const QString domain = storeDomain(*m_device);
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        m_items.append({domain, store + suffix, relative + suffix, true, false});
}

void LineDeviceMerge::addMedia(const _LineMsg& message, const QString& accountPrefix)
{
    if (!message.chat || !isPlainComponent(message.chat->uid) || !isPlainComponent(message.uid))
        return;
    const QString chat = message.chat->uid;
    if (isNonEmptyFile(message.filePath)) {
        QString name = accountPrefix + QStringLiteral("Message Attachments/%1/%2").arg(chat, message.uid);
        switch (message.type) {
        case MessageType::Photo:
            name += QStringLiteral(".jpg");
            break;
        case MessageType::Video:
        case MessageType::Voice:
            name += QStringLiteral(".mp4");
            break;
        case MessageType::File:
            name += QLatin1Char('_') + fileNameSafe(toDecomposed(message.fileName()));
            break;
        default:
            name.clear();
            break;
        }
        if (!name.isEmpty())
            addFile(message.filePath, name, false);
    }
    if (isNonEmptyFile(message.thumbPath))
        addFile(message.thumbPath,
                accountPrefix + QStringLiteral("Message Thumbnails/%1/%2.thumb").arg(chat, message.uid),
                false);
}

void LineDeviceMerge::addFile(const QString& localPath, const QString& relativePath, bool overwrite)
{
    m_items.append({domainFor(*m_device, relativePath), localPath, relativePath, overwrite, false});
}
