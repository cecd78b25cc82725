#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

// Streams file contents in and out of a backup: AES-256-CBC with the content IV and block padding, or a
// plain copy. Every destination is written under a temporary name and renamed into place, so a failure
// never leaves a partial file under the destination's name. Memory stays flat for any file size.
namespace ContentCipher {

// (total bytes of the source, bytes done so far)
using Progress = std::function<void(qint64, qint64)>;

struct CopyOptions
{
    Progress progress;
    // The content must have at least this many bytes after decryption (the record's size); -1: any.
    qint64 minimumSize = -1;
    // Access and modification times for the destination; invalid: the time of writing.
    QDateTime fileTime;
    // Flush to disk before the rename (files written into a backup).
    bool syncToDisk = false;
};

// Throws "cannot open %1. %2" for an unreadable source, "cannot create %1. %2" for an uncreatable
// destination and "BackupManifest::decryptFile: decrypt failed. %1" when the data does not decrypt
// (including a last block that does not unpad) or is shorter than minimumSize.
void decryptFile(const QByteArray& key, const QString& source, const QString& destination,
                 const CopyOptions& options = {});

// The decrypted content of source, held in memory only (a manifest database that must never reach the
// disk in plain text). Throws as decryptFile does.
QByteArray decryptToMemory(const QByteArray& key, const QString& source);
// The same into buffer, which holds capacity bytes (the source's size is always enough); returns the size
// of the content.
qsizetype decryptInto(const QByteArray& key, const QString& source, char* buffer, qsizetype capacity);

// Plain copy with the same guarantees; throws "write %1 failed. %2" on a short write and
// "%1 is shorter than its record" when the source has fewer than minimumSize bytes.
void copyFile(const QString& source, const QString& destination, const CopyOptions& options = {});

// Encrypts source into destination with key (a plain copy when key is empty). Throws "cannot open %1.
// %2", "cannot create %1. %2", "BackupManifest::encryptFile: encrypt failed. %1" and, for a plain
// copy, "cannot write %1. %2".
void encryptFile(const QString& source, const QString& destination, const QByteArray& key,
                 bool syncToDisk = true);

// Encrypts bytes held in memory into destination with key (non-empty), flushed to disk before the rename.
// Throws "cannot create %1. %2" and "BackupManifest::encryptFile: encrypt failed. %1".
void encryptBytes(QByteArrayView plain, const QString& destination, const QByteArray& key);

} // namespace ContentCipher
