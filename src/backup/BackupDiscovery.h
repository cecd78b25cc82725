#pragma once

#include "backup/BackupManifest.h"

#include <QDir>
#include <QList>
#include <QString>

// Finding the device backups on this computer.
namespace BackupDiscovery {

// The folders where backup tools keep device backups, in search order: roaming application data +
// "Apple Computer/MobileSync/Backup", home + "Apple/MobileSync/Backup" and, on macOS,
// ~/Library/Application Support/MobileSync/Backup. Folders that do not exist are listed too.
QList<QDir> backupRoots();

// Manifest.plist and at least one of Manifest.mbdb and Manifest.db.
bool isBackupFolder(const QDir& folder);

struct Failure
{
    QString path;
    QString error;
};

struct Listing
{
    QList<PBackupManifest> backups;
    QList<Failure> failures; // folders whose metadata could not be read (logged as warnings)
};

// The backups in the immediate sub-folders of each root (oldest first within a root, hidden folders
// left out), with their metadata loaded.
Listing listBackups(const QList<QDir>& roots);

} // namespace BackupDiscovery
