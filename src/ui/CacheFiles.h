#pragma once

#include <QString>
#include <QStringList>

// The data the program keeps about devices between runs and can make again: the cache folder
// (appDataDir()/"ios_cache": each device's mirror of LINE's data and the working copies of LINE stores)
// and the partial backups the device loads and transfers start from. The full backups a transfer took
// are not cache: they are the way back to the phone as it was, and stay.
class CacheFiles
{
public:
    // The device's cache folder (created when missing).
    static QString deviceFolder(const QString& udid);

    // Removes every entry of the cache folder except the folders in keep (still in use), then the partial
    // backups. Returns false when something could not be removed.
    static bool clear(const QStringList& keep);
};
