#pragma once

#include "backup/BackupFileRecord.h"

#include <QByteArray>
#include <QString>

class ManifestDatabase;

// Reads and writes the file records of a backup in both layouts (Manifest.mbdb and Manifest.db) and
// adds records for files put into a backup.
class MBDBParser
{
public:
    // Manifest.mbdb. readMbdb throws with the file's error text when it cannot be opened and with
    // the place where the data ends early for a damaged file.
    static FileRecordSet readMbdb(const QString& path);
    // Writes to a temporary file beside path and renames it into place, so a failure leaves the old file.
    static void writeMbdb(const QString& path, const FileRecordSet& set);

    // Manifest.db (a plaintext database file). With a non-empty password and a Properties row 'salt',
    // file descriptions are Base64 text of encrypted archives. A row whose archive is not a keyed
    // archive throws; a row with an empty domain is skipped.
    static FileRecordSet readManifestDb(const QString& databasePath, const QString& password);
    static FileRecordSet readManifestDb(ManifestDatabase& db, const QString& password);
    // Applies the pending changes (added, modified, removed) to the database in one transaction.
    static void writeManifestDb(const QString& databasePath, const QString& password,
                                const FileRecordSet& set);
    static void writeManifestDb(ManifestDatabase& db, const QString& password, const FileRecordSet& set);
    // The key of encrypted file descriptions, empty when there is none.
    static QByteArray fileDescriptionKey(ManifestDatabase& db, const QString& password);

    // Adds a file record (and the records of missing parent folders) or marks an existing one modified.
    // contentFile is the file as stored in the backup (its times and, for class 4, its digest are taken).
    // size is the content's plain size: a new record takes it (the content file's size when negative);
    // an existing record takes it when contentReplaced is set, so its size always matches its content.
    // keyC and keyD are the record's wrapped key (with its class prefix) for class 3 and class 4 content:
    // the key the new content was encrypted with, one of its own. An existing record whose content was
    // kept keeps its key and class, because its content is still encrypted with them. False with
    // errorText set when a parent path is a file.
    static bool appendFile(FileRecordSet& set, const QString& contentFile, const QString& domain,
                           const QString& relativePath, qint64 size, bool classD, const MbdbString& keyC,
                           const MbdbString& keyD, QString& errorText, bool contentReplaced = true);

    static QByteArray encodeRecordArchive(const BackupFileRecord& record);

    // AES-CBC with the file-description IV; the key's length picks the variant. Empty input decrypts to
    // empty output.
    static QByteArray decryptFileDesc(const QByteArray& bytes, const QByteArray& key);
    static QByteArray encryptFileDesc(const QByteArray& bytes, const QByteArray& key);

    // Files row flags: 2 directory, 4 symbolic link, 1 file.
    static int filesRowFlags(const BackupFileRecord& record);
};
