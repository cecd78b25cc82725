#include "backup/BackupManifest.h"

#include "app/PausePoint.h"
#include "app/TextUtils.h"
#include "backup/BackupCrypto.h"
#include "backup/BackupFileOps.h"
#include "backup/BackupTransaction.h"
#include "backup/MBDBParser.h"
#include "backup/ManifestDatabase.h"
#include "backup/ManifestPruner.h"
#include "backup/UnlockedKeybagCache.h"
#include "plist/PlistCFType.h"
#include "storage/Sqlite3DB.h"

#include <QFile>
#include <QFileInfo>
#include <QtDebug>
#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {
const QString ManifestPlist = QStringLiteral("Manifest.plist");
const QString ManifestDb = QStringLiteral("Manifest.db");
const QString ManifestMbdb = QStringLiteral("Manifest.mbdb");
constexpr int ClassPrefixLength = 4;
constexpr int FileKeyLength = 32;

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}
} // namespace

BackupManifest::BackupManifest(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(QFileInfo(folder).absoluteFilePath())
{
}

void BackupManifest::loadInfo()
{
    const QString path = m_folder.filePath(ManifestPlist);
    QFile file(path);
    if (!file.exists())
        fail(QStringLiteral("Cannot find ") + path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    const PlistCFType manifest = PlistCFType::fromData(file.readAll());
    // Anything else would read as a backup with no device, date or encryption.
    if (!manifest.isDict())
        fail(QStringLiteral("%1 is not a backup's property list.").arg(QDir::toNativeSeparators(path)));
    const PlistCFType lockdown = manifest.value(QStringLiteral("Lockdown"));
    m_udid = lockdown.value(QStringLiteral("UniqueDeviceID")).getString();
    m_deviceName = lockdown.value(QStringLiteral("DeviceName")).getString();
    m_productType = lockdown.value(QStringLiteral("ProductType")).getString();
    m_productVersion = lockdown.value(QStringLiteral("ProductVersion")).getString();
    m_serialNumber = lockdown.value(QStringLiteral("SerialNumber")).getString();
    m_backupDate = manifest.value(QStringLiteral("Date")).getDate(0);
    m_isEncrypted = manifest.value(QStringLiteral("IsEncrypted")).getBool(false);
    m_keybagData = manifest.value(QStringLiteral("BackupKeyBag")).getData();
    m_manifestKey = manifest.value(QStringLiteral("ManifestKey")).getData();

    const QString dirName = m_folder.dirName();
    if (!m_udid.isEmpty() && dirName.contains(m_udid))
        m_displayName = QString(dirName).replace(m_udid, m_deviceName);
    else
        m_displayName = m_deviceName + QLatin1Char('-') + dirName;

    const QFileInfo status(m_folder.filePath(QStringLiteral("Status.plist")));
    if (status.isFile())
        m_backupDate = status.lastModified();

    BackupTransaction::recover(m_folder);
    removeDecryptedLeftovers();
}

// Earlier versions decrypted Manifest.db into the backup folder ("Manifest-decrypted.db", its save copies
// "Manifest-decrypted.db.*.tmp") and reduced it there ("Manifest-line.db-decrypt", and "Manifest-line.db.tmp"
// for an encrypted backup); a crash left them behind.
void BackupManifest::removeDecryptedLeftovers() const
{
    QStringList patterns = {QStringLiteral("Manifest-decrypted.db*"),
                            QStringLiteral("Manifest-line.db-decrypt")};
    if (m_isEncrypted)
        patterns << QStringLiteral("Manifest-line.db.tmp");
    const QStringList names = m_folder.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!QFile::remove(m_folder.filePath(name)))
            qWarning("BackupManifest: cannot remove %s", qUtf8Printable(m_folder.filePath(name)));
    }
}

QString BackupManifest::backupId() const
{
    return md5Hex(m_folder.absolutePath());
}

bool BackupManifest::unlock(const QString& password)
{
    if (m_keybagData.isEmpty())
        throw KeybagError("The backup has no keybag.");
    Keybag keybag = parseKeybag(m_keybagData);
    const QByteArray passwordBytes = password.toUtf8();
    if (!UnlockedKeybagCache::restore(m_keybagData, passwordBytes, keybag)) {
        if (!deriveAndUnwrapClassKeys(passwordBytes, keybag))
            return false;
        UnlockedKeybagCache::remember(m_keybagData, passwordBytes, keybag);
    }
    m_keybag = keybag;
    m_password = password;
    m_unlocked = true;
    m_unwrappedManifestKey.clear();
    if (m_keybag.hasDataProtectionKdf()) {
        const QByteArray wrapped = m_manifestKey.mid(ClassPrefixLength);
        for (auto it = m_keybag.classKeys.cbegin(); it != m_keybag.classKeys.cend(); ++it) {
            const QByteArray key = unwrapWithClass(m_keybag, it.key(), wrapped);
            if (!key.isEmpty()) {
                m_unwrappedManifestKey = key;
                break;
            }
        }
        // A manifest that does not decrypt is reported now, as the password is given.
        if (!m_unwrappedManifestKey.isEmpty() && isManifestDbLayout(m_folder))
            decryptManifestImage();
    }
    return true;
}

QByteArray BackupManifest::decryptManifestImage() const
{
    QByteArray image = ContentCipher::decryptToMemory(m_unwrappedManifestKey, m_folder.filePath(ManifestDb));
    PausePoint::reach("manifest-decrypted");
    return image;
}

void BackupManifest::openDecryptedManifest(ManifestDatabase& db) const
{
    const QString path = m_folder.filePath(ManifestDb);
    db.openImage(QFileInfo(path).size(), [&](char* buffer, qsizetype capacity) {
        const qsizetype size = ContentCipher::decryptInto(m_unwrappedManifestKey, path, buffer, capacity);
        PausePoint::reach("manifest-decrypted");
        return size;
    });
}

QByteArray BackupManifest::fileKey(const BackupFileRecord& record) const
{
    if (!m_isEncrypted || !m_unlocked)
        return {};
    return unwrapWithClass(m_keybag, record.protectionClass,
                           record.encryptionKey.bytes.mid(ClassPrefixLength));
}

EncryptedItem BackupManifest::newFileKey(quint8 protectionClass) const
{
    if (!m_unlocked)
        return {};
    EncryptedItem item;
    const QByteArray fileKey = BackupCrypto::randomBytes(FileKeyLength);
    const QByteArray wrapped = wrapWithClass(m_keybag, protectionClass, fileKey);
    if (wrapped.isEmpty())
        return {};
    // The class prefix is 32-bit little-endian, as devices write it.
    QByteArray prefix(ClassPrefixLength, '\0');
    prefix[0] = static_cast<char>(protectionClass);
    item.protectionClass = protectionClass;
    item.fileKey = fileKey;
    item.encryptionKey = MbdbString::of(prefix + wrapped);
    return item;
}

QString BackupManifest::fileId(const QString& domain, const QString& relativePath)
{
    return backupFileId(domain, relativePath);
}

QString BackupManifest::contentPath(const QDir& folder, const QString& fileId, bool createFolder)
{
    if (!isManifestDbLayout(folder))
        return folder.filePath(fileId);
    const QString subFolder = fileId.left(2);
    if (createFolder)
        folder.mkpath(subFolder);
    return folder.filePath(subFolder + QLatin1Char('/') + fileId);
}

QString BackupManifest::contentPath(const QString& fileId, bool createFolder) const
{
    return contentPath(m_folder, fileId, createFolder);
}

bool BackupManifest::isManifestDbLayout(const QDir& folder)
{
    return !QFileInfo::exists(folder.filePath(ManifestMbdb)) &&
           QFileInfo::exists(folder.filePath(ManifestDb));
}

// An encrypted Manifest.db can be read only with its unwrapped key.
void BackupManifest::requireManifestKey() const
{
    if (!m_isEncrypted || m_manifestKey.isEmpty() || !m_unwrappedManifestKey.isEmpty())
        return;
    if (!m_unlocked)
        fail(QStringLiteral("The backup %1 is encrypted: unlock it with its password first.").arg(path()));
    if (m_keybag.hasDataProtectionKdf())
        fail(
            QStringLiteral("The manifest key of the backup %1 does not unwrap with its keybag.").arg(path()));
}

FileRecordSet BackupManifest::loadRecords()
{
    if (!isManifestDbLayout(m_folder))
        return MBDBParser::readMbdb(m_folder.filePath(ManifestMbdb));
    requireManifestKey();
    ManifestDatabase db;
    if (hasEncryptedManifestDb())
        openDecryptedManifest(db);
    else
        db.openFile(m_folder.filePath(ManifestDb), Sqlite3DB::OpenReadOnly);
    return MBDBParser::readManifestDb(db, m_password);
}

QString BackupManifest::manifestFilePath() const
{
    return m_folder.filePath(isManifestDbLayout(m_folder) ? ManifestDb : ManifestMbdb);
}

void BackupManifest::saveRecords(FileRecordSet& records)
{
    const bool pending =
        std::any_of(records.records.cbegin(), records.records.cend(),
                    [](const BackupFileRecord& r) { return r.added || r.modified || r.removed; });
    if (!pending)
        return; // the manifest already says all this
    const QString manifestPath = manifestFilePath();
    BackupFileOps::TemporaryFile staged(BackupFileOps::temporaryPathFor(manifestPath));
    writeRecords(records, staged.path());
    BackupFileOps::replaceFile(staged.path(), manifestPath);
    staged.release();
    // The pending changes are written: clear them.
    for (auto it = records.records.begin(); it != records.records.end();) {
        if (it->removed) {
            it = records.records.erase(it);
            continue;
        }
        it->added = it->modified = false;
        ++it;
    }
}

// An encrypted Manifest.db is changed in memory and only its encrypted form is written; a plain one is
// changed in a copy. Either way the old manifest stays as it is.
void BackupManifest::writeRecords(const FileRecordSet& records, const QString& destination)
{
    if (!isManifestDbLayout(m_folder)) {
        MBDBParser::writeMbdb(destination, records);
        return;
    }
    requireManifestKey();
    if (!hasEncryptedManifestDb()) {
        BackupFileOps::copyDatabase(m_folder.filePath(ManifestDb), destination);
        MBDBParser::writeManifestDb(destination, m_password, records);
        return;
    }
    ManifestDatabase db;
    openDecryptedManifest(db);
    MBDBParser::writeManifestDb(db, m_password, records);
    ContentCipher::encryptBytes(db.memoryImage(), destination, m_unwrappedManifestKey);
}

void BackupManifest::copyItem(const BackupFileRecord& record, const QString& destination,
                              const Progress& progress)
{
    const QString source = contentPath(record.fileId(), false);
    ContentCipher::CopyOptions options;
    options.progress = progress;
    options.minimumSize =
        static_cast<qint64>(std::min<quint64>(record.size, std::numeric_limits<qint64>::max()));
    options.fileTime = QDateTime::fromSecsSinceEpoch(record.lastModified);
    const QByteArray key = fileKey(record);
    if (m_isEncrypted && !m_unlocked)
        fail(QStringLiteral("The backup %1 is encrypted: unlock it with its password first.").arg(path()));
    // Copying the stored bytes of a file whose key does not unwrap would hand out ciphertext as content.
    if (m_isEncrypted && key.isEmpty() && !record.encryptionKey.isEmpty())
        fail(QStringLiteral("BackupManifest::copyItem, the key of %1 (%2) does not unwrap.")
                 .arg(record.relativePath.text(), record.domain.text()));
    if (!key.isEmpty())
        ContentCipher::decryptFile(key, source, destination, options);
    else
        ContentCipher::copyFile(source, destination, options);
}

void BackupManifest::decryptFile(const QByteArray& key, const QString& source, const QString& destination,
                                 const Progress& progress)
{
    ContentCipher::CopyOptions options;
    options.progress = progress;
    ContentCipher::decryptFile(key, source, destination, options);
}

void BackupManifest::encryptFile(const QString& source, const QString& destination, const QByteArray& key,
                                 bool syncToDisk)
{
    ContentCipher::encryptFile(source, destination, key, syncToDisk);
}

void BackupManifest::firstEncryptedItem(EncryptedItem& classC, EncryptedItem& classD)
{
    const FileRecordSet set = loadRecords();
    for (const BackupFileRecord& record : set.records) {
        if (record.isDirectory())
            continue;
        if ((record.protectionClass == 3 && classC.isEmpty()) ||
            (record.protectionClass == 4 && classD.isEmpty())) {
            const QByteArray key = unwrapWithClass(m_keybag, record.protectionClass,
                                                   record.encryptionKey.bytes.mid(ClassPrefixLength));
            if (!key.isEmpty()) {
                EncryptedItem& item = record.protectionClass == 3 ? classC : classD;
                item.protectionClass = record.protectionClass;
                item.fileKey = key;
                item.encryptionKey = record.encryptionKey;
            }
        }
        if (!classC.isEmpty() && !classD.isEmpty())
            return;
    }
    fail(QStringLiteral("BackupManifest::firstEncryptedItem, no valid keys"));
}

void BackupManifest::pruneManifest(const QString& destination, bool keepOtherDomains,
                                   const QSet<QString>& wantedDomains,
                                   const std::function<void(Sqlite3DB&)>& extraStep)
{
    if (!isManifestDbLayout(m_folder))
        fail(QStringLiteral("cannot open %1. The backup has no Manifest.db.")
                 .arg(m_folder.filePath(ManifestDb)));
    requireManifestKey();
    ManifestPruner::Context context{m_folder, keepOtherDomains, wantedDomains};
    if (hasEncryptedManifestDb()) {
        ManifestDatabase db;
        openDecryptedManifest(db);
        ManifestPruner::pruneEncrypted(db, destination, context, m_unwrappedManifestKey, extraStep);
    } else {
        ManifestPruner::prune(m_folder.filePath(ManifestDb), destination, context, extraStep);
    }
}

void BackupManifest::buildFileTree()
{
    m_fileTree.build(loadRecords());
}
