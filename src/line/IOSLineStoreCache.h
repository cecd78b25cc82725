#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

class IOSLineDb;

// Working copies of LINE stores the program reads but does not own (a folder the user names, a backup's
// mirror, a device's cache). Opening a store changes it (an index, removal of hidden chats), so readers
// open the copy below appDataDir()/"ios_cache"/<md5 of the app folder's path> instead: the message store
// and the group store with their "-wal" and "-shm" companions, and the preferences. Media are still read
// from the app folder; thumbnails the reader makes go into the copy's "tmp/thumbnails".
class IOSLineStoreCache
{
    Q_DECLARE_TR_FUNCTIONS(IOSLineStoreCache)

public:
    // The cache folder of an app folder.
    static QString folderFor(const QString& appRoot);

    // An IOSLineDb over fresh copies of the app folder's store files (not yet opened). Throws when a
    // file cannot be copied; a missing store is reported by open().
    static std::shared_ptr<IOSLineDb> openCopy(const QString& appRoot);

    // Copies the store files the database located into the cache folder, each replaced whole, and
    // removes copies of companions the source no longer has (a stale "-wal" would be applied to the new
    // copy). Returns the cache folder.
    static QString copyStore(const IOSLineDb& db);
};
