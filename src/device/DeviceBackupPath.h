#pragma once

#include <QDir>
#include <QSet>
#include <QString>

// Paths the device names during a backup or restore are data from outside: before anything is read,
// written, moved or deleted for the device, its path must be relative, free of "." and ".." components,
// stay below the backup root, and reach its place through real folders only (no component that exists
// may be a symbolic link, the last one included).
namespace DeviceBackupPath {

// The absolute path below root for a device path, or an empty text with error set when the path is
// refused. realFolders, when given, remembers the folders found real so that a conversation of many
// thousand files checks each folder once (whoever changes the folders clears it).
QString resolve(const QDir& root, const QString& devicePath, QString* error = nullptr,
                QSet<QString>* realFolders = nullptr);

} // namespace DeviceBackupPath
