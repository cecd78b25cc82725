#include "BackupFixtureBuilder.h"

#include "FixtureCrypto.h"
#include "FixtureKeybag.h"
#include "FixtureManifestWriter.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator64>
#include <QSaveFile>
#include <QSet>
#include <QtEndian>
#include <stdexcept>

namespace backupfixture {
namespace {

const QString LineAppDomain = QStringLiteral("AppDomain-jp.naver.line");
const QString LineGroupDomain = QStringLiteral("AppDomainGroup-group.com.linecorp.line");
const QString LineGroupFolder = QStringLiteral("Library/Application Support/PrivateStore");

QByteArray randomBytes(QRandomGenerator64& random, int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(random.generate() & 0xFF);
    return bytes;
}

QByteArray littleEndianClass(quint32 protectionClass)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(protectionClass, bytes.data());
    return bytes;
}

quint16 defaultMode(FileEntry::Kind kind)
{
    switch (kind) {
    case FileEntry::Kind::Directory:
        return 040755;
    case FileEntry::Kind::Symlink:
        return 0120755;
    default:
        return 0100644;
    }
}

FileEntry directoryEntry(const QString& domain, const QString& relativePath)
{
    FileEntry entry;
    entry.kind = FileEntry::Kind::Directory;
    entry.domain = domain;
    entry.relativePath = relativePath;
    entry.protectionClass = 0;
    return entry;
}

// Writes one content file, encrypting it with its own key when key is set. Returns the plain size.
qint64 writeContent(const FileEntry& entry, const QString& path, const QByteArray& key)
{
    QSaveFile output(path);
    if (!output.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("fixture: cannot create %1").arg(path).toStdString());
    QFile localFile(entry.localPath);
    QBuffer buffer;
    QIODevice* input = &buffer;
    if (!entry.localPath.isEmpty()) {
        if (!localFile.open(QIODevice::ReadOnly))
            throw std::runtime_error(
                QStringLiteral("fixture: cannot read %1").arg(entry.localPath).toStdString());
        input = &localFile;
    } else {
        buffer.setData(entry.bytes);
        buffer.open(QIODevice::ReadOnly);
    }
    qint64 size = 0;
    if (!key.isEmpty()) {
        size = FixtureCrypto::cbcEncryptStream(key, *input, output);
    } else {
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        for (qint64 read; (read = input->read(chunk.data(), chunk.size())) > 0; size += read) {
            if (output.write(chunk.constData(), read) != read)
                throw std::runtime_error(QStringLiteral("fixture: cannot write %1").arg(path).toStdString());
        }
    }
    if (!output.commit())
        throw std::runtime_error(QStringLiteral("fixture: cannot write %1").arg(path).toStdString());
    return size;
}

qint64 contentSize(const FileEntry& entry)
{
    return entry.localPath.isEmpty() ? entry.bytes.size() : QFileInfo(entry.localPath).size();
}

} // namespace

QString BackupFixtureBuilder::fileId(const QString& domain, const QString& relativePath)
{
    return QString::fromLatin1(QCryptographicHash::hash((domain + QLatin1Char('-') + relativePath).toUtf8(),
                                                        QCryptographicHash::Sha1)
                                   .toHex());
}

BackupFixtureBuilder& BackupFixtureBuilder::setDevice(const DeviceIdentity& device)
{
    m_device = device;
    return *this;
}

BackupFixtureBuilder& BackupFixtureBuilder::setLayout(ManifestLayout layout)
{
    m_layout = layout;
    return *this;
}

BackupFixtureBuilder& BackupFixtureBuilder::setEncryption(const EncryptionSettings& encryption)
{
    m_encryption = encryption;
    return *this;
}

BackupFixtureBuilder& BackupFixtureBuilder::setSeed(quint64 seed)
{
    m_seed = seed;
    return *this;
}

BackupFixtureBuilder& BackupFixtureBuilder::setAddParentFolders(bool add)
{
    m_addParentFolders = add;
    return *this;
}

BackupFixtureBuilder& BackupFixtureBuilder::setHomeSkeleton(bool add)
{
    m_homeSkeleton = add;
    return *this;
}

BackupFixtureBuilder& BackupFixtureBuilder::addFile(const QString& domain, const QString& relativePath,
                                                    const QByteArray& bytes, quint32 protectionClass)
{
    FileEntry entry;
    entry.domain = domain;
    entry.relativePath = relativePath;
    entry.bytes = bytes;
    entry.protectionClass = protectionClass;
    return addEntry(entry);
}

BackupFixtureBuilder& BackupFixtureBuilder::addLocalFile(const QString& domain, const QString& relativePath,
                                                         const QString& localPath, quint32 protectionClass)
{
    FileEntry entry;
    entry.domain = domain;
    entry.relativePath = relativePath;
    entry.localPath = localPath;
    entry.protectionClass = protectionClass;
    return addEntry(entry);
}

BackupFixtureBuilder& BackupFixtureBuilder::addDirectory(const QString& domain, const QString& relativePath)
{
    return addEntry(directoryEntry(domain, relativePath));
}

BackupFixtureBuilder& BackupFixtureBuilder::addSymlink(const QString& domain, const QString& relativePath,
                                                       const QString& target)
{
    FileEntry entry;
    entry.kind = FileEntry::Kind::Symlink;
    entry.domain = domain;
    entry.relativePath = relativePath;
    entry.linkTarget = target;
    entry.protectionClass = 0;
    return addEntry(entry);
}

BackupFixtureBuilder& BackupFixtureBuilder::addEntry(const FileEntry& entry)
{
    m_entries.append(entry);
    return *this;
}

BackupFixtureBuilder& BackupFixtureBuilder::addFolder(const QString& domain, const QString& prefix,
                                                      const QString& localFolder, quint32 protectionClass)
{
    const QDir root(localFolder);
    QDirIterator it(localFolder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QList<QFileInfo> found;
    while (it.hasNext()) {
        it.next();
        found.append(it.fileInfo());
    }
    std::sort(found.begin(), found.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.filePath() < b.filePath(); });
    for (const QFileInfo& info : found) {
        QString relative = root.relativeFilePath(info.filePath());
        if (!prefix.isEmpty())
            relative = prefix + QLatin1Char('/') + relative;
        if (info.isDir())
            addDirectory(domain, relative);
        else if (info.isFile())
            addLocalFile(domain, relative, info.absoluteFilePath(), protectionClass);
    }
    return *this;
}

BackupFixtureBuilder& BackupFixtureBuilder::addLineAppFolder(const QString& appFolder)
{
    const QDir root(appFolder);
    QDirIterator it(appFolder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QList<QFileInfo> found;
    while (it.hasNext()) {
        it.next();
        found.append(it.fileInfo());
    }
    std::sort(found.begin(), found.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.filePath() < b.filePath(); });
    for (const QFileInfo& info : found) {
        const QString relative = root.relativeFilePath(info.filePath());
        const bool inGroup =
            relative == LineGroupFolder || relative.startsWith(LineGroupFolder + QLatin1Char('/'));
        const QString& domain = inGroup ? LineGroupDomain : LineAppDomain;
        if (info.isDir()) {
            addDirectory(domain, relative);
        } else if (info.isFile()) {
            const bool database = info.fileName().endsWith(QLatin1String(".sqlite"));
            addLocalFile(domain, relative, info.absoluteFilePath(), database ? 4 : 3);
        }
    }
    return *this;
}

bool BackupFixtureBuilder::write(const QString& folder, QString* error)
{
    try {
        writeFiles(folder);
        return true;
    } catch (const std::exception& failure) {
        if (error)
            *error = QString::fromUtf8(failure.what());
        return false;
    }
}

void BackupFixtureBuilder::writeFiles(const QString& folderPath)
{
    QDir folder(folderPath);
    if (!folder.mkpath(QStringLiteral(".")))
        throw std::runtime_error(QStringLiteral("fixture: cannot create %1").arg(folderPath).toStdString());
    QRandomGenerator64 random(m_seed);
    m_keys = FixtureKeys();
    const bool encrypted = m_encryption.enabled;
    const bool databaseLayout = m_layout == ManifestLayout::Database;
    const bool encryptedManifest = encrypted && m_encryption.dataProtectionKdf && databaseLayout;

    // Keybag and class keys.
    FixtureKeybag keybag;
    keybag.uuid = randomBytes(random, 16);
    keybag.salt = randomBytes(random, 20);
    keybag.iterations = m_encryption.iterations;
    keybag.dataProtectionKdf = encrypted && m_encryption.dataProtectionKdf;
    keybag.dataProtectionSalt = randomBytes(random, 20);
    keybag.dataProtectionIterations = m_encryption.dataProtectionIterations;
    if (encrypted) {
        m_keys.passcodeKey = keybag.passcodeKey(m_encryption.password.toUtf8());
        QList<quint32> classes = m_encryption.classes;
        if (classes.isEmpty()) {
            for (quint32 protectionClass = 1; protectionClass <= 11; ++protectionClass)
                classes.append(protectionClass);
        }
        for (const quint32 protectionClass : std::as_const(classes)) {
            const QByteArray classKey = randomBytes(random, 32);
            m_keys.classKeys.insert(protectionClass, classKey);
            keybag.classUuids.insert(protectionClass, randomBytes(random, 16));
            keybag.wrappedClassKeys.insert(protectionClass,
                                           FixtureCrypto::wrapKey(m_keys.passcodeKey, classKey));
        }
    }
    m_keys.keybag = keybag.serialize();

    // Entries in the device's order: the skeleton, then every entry after its missing parent folders.
    QList<FileEntry> entries;
    QSet<QString> listed;
    auto list = [&](const FileEntry& entry) {
        const QString id = fileId(entry.domain, entry.relativePath);
        if (listed.contains(id)) {
            // A later explicit entry replaces an earlier one of the same path.
            for (FileEntry& existing : entries) {
                if (existing.domain == entry.domain && existing.relativePath == entry.relativePath)
                    existing = entry;
            }
            return;
        }
        listed.insert(id);
        entries.append(entry);
    };
    if (m_homeSkeleton) {
        for (const QString& path :
             {QString(), QStringLiteral("Library"), QStringLiteral("Library/Preferences")})
            list(directoryEntry(QStringLiteral("HomeDomain"), path));
    }
    for (const FileEntry& entry : std::as_const(m_entries)) {
        if (m_addParentFolders) {
            QStringList parents{QString()};
            const QStringList parts = entry.relativePath.split(QLatin1Char('/'));
            for (int i = 1; i < parts.size(); ++i)
                parents.append(parts.mid(0, i).join(QLatin1Char('/')));
            for (const QString& parent : parents) {
                if (parent != entry.relativePath && !listed.contains(fileId(entry.domain, parent)))
                    list(directoryEntry(entry.domain, parent));
            }
        }
        list(entry);
    }

    // Content files and records.
    QList<FixtureRecord> records;
    quint64 inode = 1000;
    QSet<QString> applications;
    for (const FileEntry& entry : std::as_const(entries)) {
        FixtureRecord record;
        record.domain = entry.domain;
        record.relativePath = entry.relativePath;
        record.kind = entry.kind;
        record.mode = entry.mode ? entry.mode : defaultMode(entry.kind);
        record.protectionClass = entry.protectionClass;
        record.linkTarget = entry.linkTarget;
        record.lastModified =
            entry.lastModified ? entry.lastModified : static_cast<quint32>(m_device.date.toSecsSinceEpoch());
        record.inode = ++inode;
        if (entry.domain.startsWith(QLatin1String("AppDomain-")))
            applications.insert(entry.domain.mid(10));
        if (entry.kind == FileEntry::Kind::File) {
            const QString id = fileId(entry.domain, entry.relativePath);
            QByteArray fileKey;
            if (encrypted) {
                fileKey = randomBytes(random, 32);
                const QByteArray classKey = m_keys.classKeys.value(entry.protectionClass);
                if (classKey.isEmpty())
                    throw std::runtime_error("fixture: a file's protection class has no class key");
                record.encryptionKey =
                    littleEndianClass(entry.protectionClass) + FixtureCrypto::wrapKey(classKey, fileKey);
                m_keys.fileKeys.insert(id, fileKey);
            }
            if (entry.writeContent) {
                QString contentPath = folder.filePath(id);
                if (databaseLayout) {
                    folder.mkpath(id.left(2));
                    contentPath = folder.filePath(id.left(2) + QLatin1Char('/') + id);
                }
                record.size = static_cast<quint64>(writeContent(entry, contentPath, fileKey));
                if (!databaseLayout) {
                    QFile content(contentPath);
                    content.open(QIODevice::ReadOnly);
                    QCryptographicHash hash(QCryptographicHash::Sha1);
                    hash.addData(&content);
                    record.digest = hash.result();
                }
            } else {
                record.size = static_cast<quint64>(contentSize(entry));
            }
        }
        if (entry.encryptionKeyOverride)
            record.encryptionKey = *entry.encryptionKeyOverride;
        if (entry.sizeOverride)
            record.size = *entry.sizeOverride;
        records.append(record);
    }

    // The manifest.
    if (databaseLayout) {
        QFile::remove(folder.filePath(QStringLiteral("Manifest.mbdb")));
        const QString plainPath = folder.filePath(encryptedManifest ? QStringLiteral("Manifest.plain.tmp")
                                                                    : QStringLiteral("Manifest.db"));
        const bool describeEncrypted = encrypted && !m_encryption.fileDescriptionSalt.isEmpty();
        const QByteArray descriptionKey =
            describeEncrypted
                ? QCryptographicHash::hash(m_encryption.password.toUtf8() + m_encryption.fileDescriptionSalt,
                                           QCryptographicHash::Sha1)
                      .left(16)
                : QByteArray();
        FixtureManifestWriter::writeManifestDb(plainPath, records, m_encryption.fileDescriptionSalt,
                                               descriptionKey);
        if (encryptedManifest) {
            m_keys.manifestKey = randomBytes(random, 32);
            const quint32 wrappingClass = m_encryption.manifestKeyClass;
            const QByteArray classKey = m_keys.classKeys.value(wrappingClass);
            if (classKey.isEmpty())
                throw std::runtime_error("fixture: the manifest key's class has no class key");
            m_keys.manifestKeyWrapped =
                littleEndianClass(m_encryption.manifestKeyPrefixClass.value_or(wrappingClass)) +
                FixtureCrypto::wrapKey(classKey, m_keys.manifestKey);
            FileEntry manifestEntry;
            manifestEntry.localPath = plainPath;
            writeContent(manifestEntry, folder.filePath(QStringLiteral("Manifest.db")), m_keys.manifestKey);
            QFile::remove(plainPath);
        }
    } else {
        QFile::remove(folder.filePath(QStringLiteral("Manifest.db")));
        FixtureManifestWriter::writeMbdb(folder.filePath(QStringLiteral("Manifest.mbdb")), records);
    }

    FixtureManifestWriter::PlistInputs plists;
    plists.device = m_device;
    plists.encrypted = encrypted;
    plists.keybag = m_keys.keybag;
    plists.manifestKey = m_keys.manifestKeyWrapped;
    plists.backupUuid = QString::fromLatin1(randomBytes(random, 16).toHex().toUpper());
    plists.applications = QStringList(applications.cbegin(), applications.cend());
    plists.applications.sort();
    FixtureManifestWriter::writePlists(folder.absolutePath(), plists);
}

} // namespace backupfixture
