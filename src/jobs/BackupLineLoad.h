#pragma once

#include "backup/BackupManifest.h"
#include "device/DeviceInfo.h"

#include <QCoreApplication>
#include <QString>

class LineTransferDialogs;

// Taking LINE's data out of an iTunes/Finder backup folder, the same for every front end: open it, unlock
// it when encrypted (asking for the password), and mirror LINE's data into a cache folder with the load
// job. The backup itself is only read.
class BackupLineLoad
{
    Q_DECLARE_TR_FUNCTIONS(BackupLineLoad)

public:
    enum class Result
    {
        Loaded,
        Failed,    // the reason was shown
        Cancelled, // the user stopped or gave up
    };
    enum class Role
    {
        Source, // messages are read from it
        Target, // messages go into it
    };

    explicit BackupLineLoad(LineTransferDialogs& dialogs);

    // An empty cache folder: the cache of the backup's virtual device (virtualDevice).
    Result load(const QString& backupFolder, Role role, const QString& cacheFolder = {});

    // Valid after load() returned Loaded.
    const PBackupManifest& backup() const { return m_backup; }
    QString appFolder() const { return m_appFolder; }

    // The backup as a device the messages of other sources can go into: id "virtual_" + the backup's id,
    // its name and system version.
    static PDeviceInfo virtualDevice(const BackupManifest& backup);

private:
    LineTransferDialogs& m_dialogs;
    PBackupManifest m_backup;
    QString m_appFolder;
};
