#pragma once

#include <QStringList>

// The folders where this platform's own Apple software keeps device backups, beyond the iTunes folders
// every platform looks in: Finder's "Library/Application Support/MobileSync/Backup" in the home folder on
// macOS; none elsewhere. A folder named in the environment variable FERROWYN_BACKUP_DIR comes first (a
// demonstration or a test points the program at its own backups with it).
QStringList nativeDeviceBackupFolders();
