#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

class IOSLineDb;
class JobControl;

// Working copies of LINE stores the program reads but does not own (a folder the user names, a backup's
// mirror, a device's cache). Opening a store changes it (an index, removal of hidden chats), so readers
// open the copy below appDataDir()/"ios_cache"/<md5 of the app folder's path> instead: the message store
// and the group store with their "-wal" and "-shm" companions, and the preferences. Media are still read
// from the app folder; thumbnails the reader makes go into the copy's "tmp/thumbnails".
//
// A copy is written into a new folder beside its place ("<md5>.part-<random>") and takes its place only
// when every file is complete, so an interrupted copy, cancelled or killed, never leaves a partial store
// where the next reader looks. The copies are bounded: each use stamps its copy, copies unused for
// kStaleDays are removed, and past sizeLimit() the least recently used ones go (never the one in use).
// When the cache cannot be written (a read-only home folder), the copy is made in a temporary folder that
// goes away with the database object.
class IOSLineStoreCache
{
    Q_DECLARE_TR_FUNCTIONS(IOSLineStoreCache)

public:
    static constexpr int kStaleDays = 30;
    static constexpr qint64 kDefaultSizeLimit = qint64(1) << 30;
    // What a search index adds to its store's file name; a fresh copy keeps the index of the copy it
    // replaces (the index checks itself against the store it finds).
    static inline const QString SearchIndexSuffix = QStringLiteral(".search");

    // The folder holding the copies: appDataDir()/"ios_cache".
    static QString cacheRoot();
    // The cache folder of an app folder.
    static QString folderFor(const QString& appRoot);

    // An IOSLineDb over fresh copies of the app folder's store files (not yet opened). Throws when a
    // file cannot be copied, JobCancelled when control is cancelled meanwhile (the copy is then thrown
    // away); a missing store is reported by open(). control also hears what is being copied.
    static std::shared_ptr<IOSLineDb> openCopy(const QString& appRoot);
    static std::shared_ptr<IOSLineDb> openCopy(const QString& appRoot, JobControl& control);

    // The most the copies together may take: FERROWYN_STORE_CACHE_MB megabytes when set, else
    // kDefaultSizeLimit, unless changed here.
    static qint64 sizeLimit();
    static void setSizeLimit(qint64 bytes);

    // Removes in root what interrupted copies left (staging folders no longer written to) and copies
    // unused for kStaleDays, then the least recently used copies while all of them take more than limit.
    // The copy in the folder keep is never removed. Folders that are not store copies (a device's cache
    // named by its UDID) are left alone.
    static void tidy(const QString& root, qint64 limit, const QString& keep);
};
