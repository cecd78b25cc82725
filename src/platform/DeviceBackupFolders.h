#pragma once

#include <QStringList>

// The folders where this platform's own Apple software keeps device backups, beyond the iTunes folders
// every platform looks in: Finder's "Library/Application Support/MobileSync/Backup" in the home folder on
// macOS; none elsewhere.
QStringList nativeDeviceBackupFolders();
