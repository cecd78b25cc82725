#include "line/IOSLineStoreCache.h"

#include "app/TextUtils.h"
#include "line/IOSLineDb.h"
#include "line/LineError.h"
#include "line/LinePreferences.h"
#include "platform/AppDataDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qint64 kChunk = 1024 * 1024;

bool copyFile(const QString& from, const QString& to, QString* error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = source.errorString();
        return false;
    }
    QDir().mkpath(QFileInfo(to).absolutePath());
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) {
        *error = target.errorString();
        return false;
    }
    QByteArray buffer;
    while (!source.atEnd()) {
        buffer = source.read(kChunk);
        if (buffer.isEmpty() && source.error() != QFileDevice::NoError) {
            *error = source.errorString();
            return false;
        }
        if (target.write(buffer) != buffer.size()) {
            *error = target.errorString();
            return false;
        }
    }
    if (!target.commit()) {
        *error = target.errorString();
        return false;
    }
    return true;
}

} // namespace

QString IOSLineStoreCache::folderFor(const QString& appRoot)
{
    const QFileInfo root(appRoot);
    const QString path = root.exists() ? root.canonicalFilePath() : root.absoluteFilePath();
    return appDataDir().filePath(QStringLiteral("ios_cache/") + md5Hex(path));
}

std::shared_ptr<IOSLineDb> IOSLineStoreCache::openCopy(const QString& appRoot)
{
    auto db = std::make_shared<IOSLineDb>(appRoot);
    db->useWorkFolder(copyStore(*db));
    return db;
}

QString IOSLineStoreCache::copyStore(const IOSLineDb& db)
{
    const QString folder = folderFor(db.rootFolder());
    const QDir root(db.rootFolder());
    const QDir cache(folder);
    QStringList files;
    for (const QString& store : {db.storeRelativePath(), db.groupStoreRelativePath()}) {
        if (store.isEmpty())
            continue;
        files << store << store + QStringLiteral("-wal") << store + QStringLiteral("-shm");
    }
    files << LinePreferences::RelativePath;
    for (const QString& relative : std::as_const(files)) {
        const QString from = root.filePath(relative);
        const QString to = cache.filePath(relative);
        if (!QFileInfo(from).isFile()) {
            QFile::remove(to);
            continue;
        }
        QString error;
        if (!copyFile(from, to, &error))
            throwLineError(tr("%1 cannot be copied into the program's cache: %2")
                               .arg(QDir::toNativeSeparators(from), error));
    }
    return folder;
}
