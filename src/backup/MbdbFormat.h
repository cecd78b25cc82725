#pragma once

#include "backup/BackupFileRecord.h"

#include <QByteArray>
#include <stdexcept>

class QIODevice;

// The binary record list of older backups (Manifest.mbdb): a 6-byte header, then records of big-endian
// fields until the end of the file.
namespace MbdbFormat {

// "mbdb", 0x05, 0x00.
QByteArray header();

// Reads every record after the header (which is not checked). Records with an absent or empty domain
// are read and dropped. Throws std::runtime_error naming the record and byte where the data ends early
// or a length runs past the end.
FileRecordSet parse(const char* data, qint64 size);

// The bytes of one record. Throws std::runtime_error when a string is longer than the format's 65,534
// bytes or a record has more than 255 properties.
QByteArray encodeRecord(const BackupFileRecord& record);

// Writes the header and every record that is not removed, in sorted order. Throws std::runtime_error
// with the device's error text when a write falls short.
void write(QIODevice& device, const FileRecordSet& set);

} // namespace MbdbFormat
