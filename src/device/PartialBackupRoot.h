#pragma once

#include <QDir>
#include <QString>

// Where partial backups of attached devices are kept between runs: "__vantorel_iosbk_temp/<subFolder>"
// below a base folder. The base is remembered in the data folder's "__vantorel_iosbk_temp.path": on Windows
// the fixed drive with the most free space (e.g. "D:/"); elsewhere the data folder itself (then nothing is
// written, so moving the data folder moves the backups too) or an absolute folder the file names.
namespace PartialBackupRoot {

// The ".path" file.
QString pathFile();
// Whether a folder (created when missing) takes a new sub-folder; leaves nothing behind.
bool canWriteIn(const QString& folder);
// The partial backup folder for subFolder ("line" for LINE's data); not created.
QDir partialBackupRoot(const QString& subFolder);
// Deletes that folder with everything in it, and the ".path" file.
void resetPartialBackupRoot(const QString& subFolder);
// partialBackupRoot, chosen afresh (drive selection) when the remembered base is not writable.
QDir writableRoot(const QString& subFolder);

} // namespace PartialBackupRoot
