#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// Writes complete device backup folders the way an iPhone's backup service does: Info.plist,
// Status.plist, Manifest.plist, Manifest.db or Manifest.mbdb and the content files, plain or encrypted
// (keybag with class keys wrapped under a password-derived key, optional DPIC/DPSL with a manifest key
// and an encrypted Manifest.db, one wrapped file key per file). Used by tests, benchmarks, the
// ferrowyn-backup-fixture command and the simulated iPhone.
namespace backupfixture {

struct DeviceIdentity
{
    QString udid = QStringLiteral("00008030-0011223344556677");
    QString deviceName = QStringLiteral("Test iPhone");
    QString productType = QStringLiteral("iPhone12,1");
    QString productVersion = QStringLiteral("16.5");
    QString buildVersion = QStringLiteral("20F66");
    QString serialNumber = QStringLiteral("F2LTESTSERIAL");
    QDateTime date = QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5));
};

enum class ManifestLayout
{
    Database, // Manifest.db, content at xx/fileID (iOS 10 and later)
    Mbdb      // Manifest.mbdb, content at fileID (older systems)
};

struct EncryptionSettings
{
    bool enabled = false;
    QString password;
    quint32 iterations = 10; // ITER, PBKDF2-HMAC-SHA1 (devices: 10,000)
    // DPIC and DPSL: PBKDF2-HMAC-SHA256 before the SHA-1 round, a ManifestKey, and Manifest.db encrypted
    // with it (the Manifest.db layout only).
    bool dataProtectionKdf = true;
    quint32 dataProtectionIterations = 10;         // DPIC (devices: 10,000,000)
    quint32 manifestKeyClass = 4;                  // the class key that wraps the manifest key
    std::optional<quint32> manifestKeyPrefixClass; // class written before it (default: manifestKeyClass)
    QList<quint32> classes;                        // classes with a key in the keybag; empty: 1 to 11
    // Non-empty: a Properties row 'salt' and file descriptions encrypted under SHA-1(password + salt).
    QByteArray fileDescriptionSalt;
};

struct FileEntry
{
    enum class Kind
    {
        File,
        Directory,
        Symlink
    };
    Kind kind = Kind::File;
    QString domain;
    QString relativePath;
    QByteArray bytes;   // the content, unless localPath is set
    QString localPath;  // content streamed from this file
    QString linkTarget; // symbolic links
    quint16 mode = 0;   // 0: 0100644, 040755 or 0120755 by kind
    quint32 protectionClass = 3;
    quint32 lastModified = 0; // Unix seconds; 0: the backup date
    bool writeContent = true; // false: the record without its content file
    // Written as the record's EncryptionKey instead of the real wrapped key (for damaged-input tests).
    std::optional<QByteArray> encryptionKeyOverride;
    // Recorded size instead of the content's (for damaged-input tests).
    std::optional<quint64> sizeOverride;
};

// The keys a written backup uses, for tests that check the reader.
struct FixtureKeys
{
    QByteArray keybag;
    QByteArray passcodeKey;
    QMap<quint32, QByteArray> classKeys;
    QByteArray manifestKey;             // unwrapped
    QByteArray manifestKeyWrapped;      // "ManifestKey": class prefix + wrapped key
    QMap<QString, QByteArray> fileKeys; // file ID -> unwrapped file key
};

class BackupFixtureBuilder
{
public:
    BackupFixtureBuilder& setDevice(const DeviceIdentity& device);
    BackupFixtureBuilder& setLayout(ManifestLayout layout);
    BackupFixtureBuilder& setEncryption(const EncryptionSettings& encryption);
    // Seed of the keys, salts and UUIDs, so the same builder writes the same backup.
    BackupFixtureBuilder& setSeed(quint64 seed);
    // Records for every missing parent folder of an entry, the domain's root ("") included (default on).
    BackupFixtureBuilder& setAddParentFolders(bool add);
    // HomeDomain's root, Library and Library/Preferences folders, as every device backup has (default on).
    BackupFixtureBuilder& setHomeSkeleton(bool add);

    BackupFixtureBuilder& addFile(const QString& domain, const QString& relativePath, const QByteArray& bytes,
                                  quint32 protectionClass = 3);
    BackupFixtureBuilder& addLocalFile(const QString& domain, const QString& relativePath,
                                       const QString& localPath, quint32 protectionClass = 3);
    BackupFixtureBuilder& addDirectory(const QString& domain, const QString& relativePath);
    BackupFixtureBuilder& addSymlink(const QString& domain, const QString& relativePath,
                                     const QString& target);
    BackupFixtureBuilder& addEntry(const FileEntry& entry);
    // Every folder and file below localFolder, as domain / prefix / its relative path.
    BackupFixtureBuilder& addFolder(const QString& domain, const QString& prefix, const QString& localFolder,
                                    quint32 protectionClass = 3);
    // A LINE app folder (the mirror layout: Documents, Library) put into LINE's two domains: the message
    // store folder "Library/Application Support/PrivateStore" into the group container
    // "AppDomainGroup-group.com.linecorp.line", everything else into "AppDomain-jp.naver.line".
    // SQLite files get protection class 4, everything else class 3.
    BackupFixtureBuilder& addLineAppFolder(const QString& appFolder);

    const QList<FileEntry>& entries() const { return m_entries; }

    // Writes the backup into folder (created when missing). False with error set on failure.
    bool write(const QString& folder, QString* error = nullptr);
    // The keys of the last write().
    const FixtureKeys& keys() const { return m_keys; }

    static QString fileId(const QString& domain, const QString& relativePath);

private:
    void writeFiles(const QString& folder);

    DeviceIdentity m_device;
    ManifestLayout m_layout = ManifestLayout::Database;
    EncryptionSettings m_encryption;
    quint64 m_seed = 20240102;
    bool m_addParentFolders = true;
    bool m_homeSkeleton = true;
    QList<FileEntry> m_entries;
    FixtureKeys m_keys;
};

} // namespace backupfixture
