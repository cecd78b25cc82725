#pragma once

#include "backup/BackupFileRecord.h"

#include <QByteArray>

// A quick reader for the one shape nearly every Manifest.db row has: a binary property list holding a
// keyed archive whose root is the MBFile dictionary. It reads only the objects a record needs, checking
// every offset and length against the data. Anything it does not fully understand is Unsupported, and
// the caller falls back to the general property-list path, which gives the same fields.
namespace MBFileBinaryReader {

enum Result
{
    Decoded,
    Unsupported
};

Result read(const QByteArray& bytes, BackupFileRecord& record);

} // namespace MBFileBinaryReader
