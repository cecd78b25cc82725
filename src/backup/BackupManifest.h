#pragma once

#include "backup/BackupFileRecord.h"
#include "backup/BackupFileTree.h"
#include "backup/ContentCipher.h"
#include "backup/Keybag.h"

#include <QDateTime>
#include <QDir>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

class ManifestDatabase;
class Sqlite3DB;

// A file key of an encrypted backup: unwrapped for the cipher, and as the file's record carries it.
struct EncryptedItem
{
    quint8 protectionClass = 0;
    QByteArray fileKey;       // unwrapped, 32 bytes
    MbdbString encryptionKey; // the record's wrapped key with its 4-byte class prefix

    bool isEmpty() const { return fileKey.isEmpty(); }
};

// One device backup folder on the computer: its metadata, keys and file records, and the copying of
// files out of it and into it. Used by one thread at a time.
class BackupManifest : public QObject
{
    Q_OBJECT

public:
    explicit BackupManifest(const QString& folder, QObject* parent = nullptr);

    // --- metadata ---
    // Reads Manifest.plist and Status.plist. Throws "Cannot find <path>" when Manifest.plist is missing
    // and the file's error text when it cannot be read; a list that does not parse leaves the defaults.
    // Then tidies what an interrupted run left in the folder: a change that was committed is finished, one
    // that was not is undone (BackupTransaction), and decrypted manifest copies of earlier versions, which
    // would expose the file list of an encrypted backup, are removed.
    void loadInfo();
    // MD5 (32 lower-case hex digits) of the folder's absolute path.
    QString backupId() const;
    const QDir& folder() const { return m_folder; }
    QString path() const { return m_folder.absolutePath(); }
    const QString& udid() const { return m_udid; }
    const QString& deviceName() const { return m_deviceName; }
    const QString& productType() const { return m_productType; }
    const QString& productVersion() const { return m_productVersion; }
    const QString& serialNumber() const { return m_serialNumber; }
    const QDateTime& backupDate() const { return m_backupDate; }
    bool isEncrypted() const { return m_isEncrypted; }
    const QByteArray& keybagData() const { return m_keybagData; }
    const QByteArray& manifestKey() const { return m_manifestKey; }
    const QString& displayName() const { return m_displayName; }

    // --- keys ---
    // False for a wrong password (nothing changes). Throws KeybagError for a damaged keybag and the
    // decryption errors when Manifest.db cannot be decrypted. An encrypted Manifest.db is decrypted in
    // memory only, here and whenever it is read or written: its plain text never reaches the disk.
    bool unlock(const QString& password);
    bool isUnlocked() const { return m_unlocked; }
    const QString& password() const { return m_password; }
    const Keybag& keybag() const { return m_keybag; }
    const QByteArray& unwrappedManifestKey() const { return m_unwrappedManifestKey; }
    // The record's own file key (empty in a plain backup or when it does not unwrap).
    QByteArray fileKey(const BackupFileRecord& record) const;
    // A fresh random key for a new file of protectionClass, wrapped under that class's key for its record.
    // Empty when the backup is not unlocked or its keybag has no unwrapped key of that class.
    EncryptedItem newFileKey(quint8 protectionClass) const;

    // --- records ---
    static QString fileId(const QString& domain, const QString& relativePath);
    // folder/xx/fileID in the Manifest.db layout (xx created when asked), folder/fileID otherwise.
    static QString contentPath(const QDir& folder, const QString& fileId, bool createFolder);
    QString contentPath(const QString& fileId, bool createFolder = false) const;
    // Manifest.mbdb absent and Manifest.db present.
    static bool isManifestDbLayout(const QDir& folder);
    FileRecordSet loadRecords();
    // Writes the pending changes and clears them from the set (removed records leave it). The manifest is
    // written beside the old one and renamed over it; an encrypted Manifest.db is encrypted first.
    void saveRecords(FileRecordSet& records);
    // Manifest.db or Manifest.mbdb, whichever the backup uses.
    QString manifestFilePath() const;
    // Writes the whole manifest with the pending changes of records into destination (a new file, for
    // renaming over manifestFilePath() later), encrypted when the backup's Manifest.db is.
    void writeRecords(const FileRecordSet& records, const QString& destination);

    // --- files ---
    using Progress = ContentCipher::Progress;
    // Copies (decrypting) one file's content to destination, carrying the record's modification time.
    // Throws when the content is missing, shorter than the record, or does not decrypt.
    void copyItem(const BackupFileRecord& record, const QString& destination, const Progress& progress = {});
    void decryptFile(const QByteArray& key, const QString& source, const QString& destination,
                     const Progress& progress = {});
    // syncToDisk false: the caller puts the file on the disk later (a staged file: the commit does).
    static void encryptFile(const QString& source, const QString& destination, const QByteArray& key,
                            bool syncToDisk = true);
    // Keys of the first files of classes 3 and 4 whose keys unwrap. Throws
    // "BackupManifest::firstEncryptedItem, no valid keys" unless both are found. Files put into a backup
    // get keys of their own (newFileKey), never one of these.
    void firstEncryptedItem(EncryptedItem& classC, EncryptedItem& classD);

    // Writes a reduced copy of the manifest database to destination (see ManifestPruner).
    void pruneManifest(const QString& destination, bool keepOtherDomains, const QSet<QString>& wantedDomains,
                       const std::function<void(Sqlite3DB&)>& extraStep = {});

    void buildFileTree();
    const BackupFileTree& fileTree() const { return m_fileTree; }

private:
    void requireManifestKey() const;
    bool hasEncryptedManifestDb() const { return !m_unwrappedManifestKey.isEmpty(); }
    // The plain text of the encrypted Manifest.db, in memory.
    QByteArray decryptManifestImage() const;
    // Opens the encrypted Manifest.db decrypted into db's own memory.
    void openDecryptedManifest(ManifestDatabase& db) const;
    void removeDecryptedLeftovers() const;

    QDir m_folder;
    QString m_udid;
    QString m_deviceName;
    QString m_productType;
    QString m_productVersion;
    QString m_serialNumber;
    QDateTime m_backupDate;
    bool m_isEncrypted = false;
    QByteArray m_keybagData;
    QByteArray m_manifestKey;
    QString m_displayName;

    bool m_unlocked = false;
    Keybag m_keybag;
    QString m_password;
    QByteArray m_unwrappedManifestKey;

    BackupFileTree m_fileTree;
};

using PBackupManifest = std::shared_ptr<BackupManifest>;
