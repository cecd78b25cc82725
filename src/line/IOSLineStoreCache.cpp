#include "line/IOSLineStoreCache.h"

#include "app/FolderUtils.h"
#include "app/JobControl.h"
#include "app/PausePoint.h"
#include "app/TextUtils.h"
#include "line/IOSLineDb.h"
#include "line/LineError.h"
#include "line/LinePreferences.h"
#include "platform/AppDataDir.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <algorithm>
#include <atomic>

namespace {

constexpr qint64 kChunk = 1024 * 1024;
// A staging folder whose files have not changed for this long belongs to no running copy.
constexpr qint64 kAbandonedSeconds = 5 * 60;
const QString kStamp = QStringLiteral(".last-used");

std::atomic<qint64> g_sizeLimit = -1;

const QRegularExpression& copyName()
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9a-f]{32}$"));
    return pattern;
}

const QRegularExpression& stagingName()
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9a-f]{32}\\.(part|old)-[0-9a-f]+$"));
    return pattern;
}

QString randomTag()
{
    return QString::number(QRandomGenerator::global()->generate(), 16);
}

// Copies one file piece by piece, stopping at a cancel between pieces.
void copyFile(const QString& from, const QString& to, JobControl& control, bool pauseAfterFirstPiece)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throwLineError(IOSLineStoreCache::tr("%1 cannot be read: %2")
                           .arg(QDir::toNativeSeparators(from), source.errorString()));
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throwLineError(
            IOSLineStoreCache::tr("%1 cannot be copied into the program's cache (%2): %3")
                .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), target.errorString()));
    bool first = true;
    while (!source.atEnd()) {
        control.throwIfCancelled();
        const QByteArray piece = source.read(kChunk);
        if (piece.isEmpty() && source.error() != QFileDevice::NoError)
            throwLineError(IOSLineStoreCache::tr("%1 cannot be read: %2")
                               .arg(QDir::toNativeSeparators(from), source.errorString()));
        if (target.write(piece) != piece.size())
            throwLineError(
                IOSLineStoreCache::tr("%1 cannot be copied into the program's cache (%2): %3")
                    .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), target.errorString()));
        if (first && pauseAfterFirstPiece) {
            target.flush();
            PausePoint::reach("store-copy");
        }
        first = false;
    }
    if (!target.flush())
        throwLineError(
            IOSLineStoreCache::tr("%1 cannot be copied into the program's cache (%2): %3")
                .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), target.errorString()));
}

// Whether files can be made in root (made when missing).
bool isWritableFolder(const QString& root)
{
    if (!QDir().mkpath(root))
        return false;
    QTemporaryFile probe(QDir(root).filePath(QStringLiteral("probe-XXXXXX")));
    return probe.open();
}

// The newest modification time of a folder and everything below it.
QDateTime newestChange(const QString& folder)
{
    QDateTime newest = QFileInfo(folder).lastModified();
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QDateTime changed = it.nextFileInfo().lastModified();
        if (changed > newest)
            newest = changed;
    }
    return newest;
}

qint64 folderSize(const QString& folder)
{
    qint64 size = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        size += it.nextFileInfo().size();
    return size;
}

QDateTime lastUsed(const QString& folder)
{
    const QFileInfo stamp(QDir(folder).filePath(kStamp));
    return stamp.exists() ? stamp.lastModified() : QFileInfo(folder).lastModified();
}

void stamp(const QString& folder)
{
    QFile file(QDir(folder).filePath(kStamp));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1());
        file.close();
    }
}

// Puts the complete copy in staging where the copy of the app folder belongs, keeping what was derived
// from the old copy: the thumbnails (made from the messages, which a newer store keeps) and the files
// readers keep beside a store (a search index), which check themselves against the store they find.
void putInPlace(const QString& staging, const QString& folder, const QStringList& keptBesideStores)
{
    if (QFileInfo::exists(folder)) {
        const QString thumbnails = QDir(folder).filePath(QStringLiteral("tmp"));
        if (QFileInfo(thumbnails).isDir())
            QDir().rename(thumbnails, QDir(staging).filePath(QStringLiteral("tmp")));
        for (const QString& relative : keptBesideStores) {
            const QString kept = QDir(folder).filePath(relative);
            if (QFileInfo(kept).isFile())
                QFile::rename(kept, QDir(staging).filePath(relative));
        }
        const QString old = folder + QStringLiteral(".old-") + randomTag();
        if (!QDir().rename(folder, old)) {
            removeTree(folder);
            if (QFileInfo::exists(folder))
                throwLineError(IOSLineStoreCache::tr("The program's cache folder %1 cannot be replaced.")
                                   .arg(QDir::toNativeSeparators(folder)));
        }
        removeTree(old);
    }
    if (!QDir().rename(staging, folder))
        throwLineError(IOSLineStoreCache::tr("The program's cache folder %1 cannot be replaced.")
                           .arg(QDir::toNativeSeparators(folder)));
    stamp(folder);
}

// Copies the store files the database located into a staging folder beside folder and puts it in place.
void copyStoreInto(const IOSLineDb& db, const QString& folder, JobControl& control)
{
    const QDir root(db.rootFolder());
    QStringList files;
    for (const QString& store : {db.storeRelativePath(), db.groupStoreRelativePath()}) {
        if (store.isEmpty())
            continue;
        files << store << store + QStringLiteral("-wal") << store + QStringLiteral("-shm");
    }
    files << LinePreferences::RelativePath;
    QStringList keptBesideStores;
    for (const QString& store : {db.storeRelativePath(), db.groupStoreRelativePath()}) {
        if (!store.isEmpty())
            keptBesideStores << store + IOSLineStoreCache::SearchIndexSuffix;
    }

    const QString staging = folder + QStringLiteral(".part-") + randomTag();
    try {
        if (!QDir().mkpath(staging))
            throwLineError(IOSLineStoreCache::tr("The program's cache folder %1 cannot be created.")
                               .arg(QDir::toNativeSeparators(staging)));
        bool first = true;
        for (const QString& relative : std::as_const(files)) {
            const QString from = root.filePath(relative);
            if (!QFileInfo(from).isFile())
                continue; // a companion the store does not have: the copy has none either
            copyFile(from, QDir(staging).filePath(relative), control, first);
            first = false;
        }
        control.throwIfCancelled();
        putInPlace(staging, folder, keptBesideStores);
    } catch (...) {
        removeTree(staging);
        throw;
    }
}

} // namespace

QString IOSLineStoreCache::cacheRoot()
{
    return appDataDir().filePath(QStringLiteral("ios_cache"));
}

QString IOSLineStoreCache::folderFor(const QString& appRoot)
{
    const QFileInfo root(appRoot);
    const QString path = root.exists() ? root.canonicalFilePath() : root.absoluteFilePath();
    return QDir(cacheRoot()).filePath(md5Hex(path));
}

std::shared_ptr<IOSLineDb> IOSLineStoreCache::openCopy(const QString& appRoot)
{
    JobControl control;
    return openCopy(appRoot, control);
}

std::shared_ptr<IOSLineDb> IOSLineStoreCache::openCopy(const QString& appRoot, JobControl& control)
{
    const QString root = cacheRoot();
    if (isWritableFolder(root)) {
        auto db = std::make_shared<IOSLineDb>(appRoot);
        const QString folder = folderFor(appRoot);
        control.setStatus(tr("Copying LINE's message store..."));
        copyStoreInto(*db, folder, control);
        tidy(root, sizeLimit(), folder);
        db->useWorkFolder(folder);
        return db;
    }
    // Reading must not fail for want of a writable home: a temporary copy serves this one reader.
    auto temporary = std::make_shared<QTemporaryDir>(
        QDir(QDir::tempPath()).filePath(QStringLiteral("ferrowyn-store-XXXXXX")));
    if (!temporary->isValid())
        throwLineError(tr("Neither the program's cache %1 nor a temporary folder can be written.")
                           .arg(QDir::toNativeSeparators(root)));
    qWarning("store cache: %s cannot be written; using a temporary copy", qUtf8Printable(root));
    const QString folder = temporary->filePath(QStringLiteral("store"));
    std::shared_ptr<IOSLineDb> db(new IOSLineDb(appRoot), [temporary](IOSLineDb* opened) { delete opened; });
    control.setStatus(tr("Copying LINE's message store..."));
    copyStoreInto(*db, folder, control);
    db->useWorkFolder(folder);
    return db;
}

qint64 IOSLineStoreCache::sizeLimit()
{
    const qint64 set = g_sizeLimit.load();
    if (set >= 0)
        return set;
    bool ok = false;
    const qint64 megabytes = qEnvironmentVariable("FERROWYN_STORE_CACHE_MB").toLongLong(&ok);
    return ok && megabytes >= 0 ? megabytes * 1024 * 1024 : kDefaultSizeLimit;
}

void IOSLineStoreCache::setSizeLimit(qint64 bytes)
{
    g_sizeLimit = bytes;
}

void IOSLineStoreCache::tidy(const QString& root, qint64 limit, const QString& keep)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString kept = QFileInfo(keep).absoluteFilePath();
    struct Copy
    {
        QString path;
        QDateTime used;
        qint64 size;
    };
    QList<Copy> copies;
    qint64 total = 0;
    const QFileInfoList entries = QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        const QString path = entry.absoluteFilePath();
        if (entry.isSymLink() || path == kept)
            continue;
        if (stagingName().match(name).hasMatch()) {
            if (newestChange(path).secsTo(now) > kAbandonedSeconds)
                removeTree(path);
            continue;
        }
        if (!copyName().match(name).hasMatch())
            continue;
        const QDateTime used = lastUsed(path);
        if (used.daysTo(now) > kStaleDays) {
            removeTree(path);
            continue;
        }
        const qint64 size = folderSize(path);
        copies.append({path, used, size});
        total += size;
    }
    if (!kept.isEmpty())
        total += folderSize(kept);
    std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.used < b.used; });
    for (const Copy& copy : std::as_const(copies)) {
        if (total <= limit)
            break;
        removeTree(copy.path);
        total -= copy.size;
    }
}
