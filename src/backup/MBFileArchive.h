#pragma once

#include "backup/BackupFileRecord.h"

#include <QByteArray>

// The keyed archive of class MBFile that describes one file in Manifest.db.
namespace MBFileArchive {

// The archive this program writes for a record, serialised as a binary property list. No "Target" key
// is written; the Files row's flags column carries the link kind.
QByteArray encode(const BackupFileRecord& record);

// Fills record's Target, Digest, EncryptionKey, numbers and times from an archive (binary or XML).
// Missing numbers read as 0. False when the bytes are not a keyed archive whose root is a dictionary.
bool decode(const QByteArray& bytes, BackupFileRecord& record);

// decode() without the quick binary reader: the general property-list path alone.
bool decodeGeneral(const QByteArray& bytes, BackupFileRecord& record);

} // namespace MBFileArchive
