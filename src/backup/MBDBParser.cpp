#include "backup/MBDBParser.h"

#include "backup/BackupCrypto.h"
#include "backup/MBFileArchive.h"
#include "backup/ManifestDatabase.h"
#include "backup/MbdbFormat.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace {

constexpr quint16 NewDirectoryMode = 040700;
constexpr quint16 NewFileMode = 0100644;
constexpr quint32 MobileUser = 501;

bool validKeySize(const QByteArray& key)
{
    return key.size() == 16 || key.size() == 24 || key.size() == 32;
}

QByteArray sha1OfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

quint32 unixSeconds(const QDateTime& time)
{
    return time.isValid() ? static_cast<quint32>(time.toSecsSinceEpoch()) : 0;
}

} // namespace

FileRecordSet MBDBParser::readMbdb(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(file.errorString().toStdString());
    const qint64 size = file.size();
    if (size == 0)
        return {};
    // Mapped, so a large file costs no copy; a file system that cannot map falls back to reading.
    if (const uchar* mapped = file.map(0, size))
        return MbdbFormat::parse(reinterpret_cast<const char*>(mapped), size);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(file.errorString().toStdString());
    return MbdbFormat::parse(bytes.constData(), bytes.size());
}

void MBDBParser::writeMbdb(const QString& path, const FileRecordSet& set)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(file.errorString().toStdString());
    MbdbFormat::write(file, set);
    if (!file.commit())
        throw std::runtime_error(file.errorString().toStdString());
}

QByteArray MBDBParser::fileDescriptionKey(ManifestDatabase& db, const QString& password)
{
    if (password.isEmpty())
        return {};
    const std::optional<QByteArray> salt = db.descriptionSalt();
    if (!salt)
        return {};
    return BackupCrypto::fileDescriptionKey(password.toUtf8(), *salt);
}

FileRecordSet MBDBParser::readManifestDb(const QString& databasePath, const QString& password)
{
    ManifestDatabase db;
    db.openFile(databasePath, Sqlite3DB::OpenReadOnly);
    return readManifestDb(db, password);
}

FileRecordSet MBDBParser::readManifestDb(ManifestDatabase& db, const QString& password)
{
    const QByteArray descriptionKey = fileDescriptionKey(db, password);
    FileRecordSet set;
    Sqlite3Cursor cursor = db.queryFiles();
    while (cursor.moveNext()) {
        BackupFileRecord record;
        record.domain = MbdbString::of(cursor.getTextBytes(QStringLiteral("domain")));
        if (record.domain.isEmpty())
            continue;
        record.relativePath = MbdbString::of(cursor.getTextBytes(QStringLiteral("relativePath")));
        QByteArray archive = cursor.getBlob(QStringLiteral("file"));
        if (!descriptionKey.isEmpty())
            archive = decryptFileDesc(QByteArray::fromBase64(archive), descriptionKey);
        if (!MBFileArchive::decode(archive, record))
            throw std::runtime_error(
                QStringLiteral("Manifest.db is damaged: the description of %1 / %2 is not "
                               "a file record.")
                    .arg(record.domain.text(), record.relativePath.text())
                    .toStdString());
        set.records.insert(record.fileId(), record);
    }
    return set;
}

int MBDBParser::filesRowFlags(const BackupFileRecord& record)
{
    if (record.isDirectory())
        return 2;
    return record.target.isEmpty() ? 1 : 4;
}

void MBDBParser::writeManifestDb(const QString& databasePath, const QString& password,
                                 const FileRecordSet& set)
{
    ManifestDatabase db;
    db.openFile(databasePath, Sqlite3DB::OpenReadWrite);
    writeManifestDb(db, password, set);
    db.close();
}

void MBDBParser::writeManifestDb(ManifestDatabase& db, const QString& password, const FileRecordSet& set)
{
    const QByteArray descriptionKey = fileDescriptionKey(db, password);
    Sqlite3Transaction transaction(db);
    for (const BackupFileRecord* record : sortedRecords(set)) {
        const QString fileId = record->fileId();
        if (record->removed) {
            db.removeFile(fileId);
            continue;
        }
        if (!record->modified && !record->added)
            continue;
        const QByteArray archive = encodeRecordArchive(*record);
        ManifestDatabase::FileRow row{
            fileId, record->domain.bytes, record->relativePath.bytes, filesRowFlags(*record), {}};
        if (descriptionKey.isEmpty())
            row.file.value = Sqlite3Param::Blob{archive};
        else
            row.file.value = QString::fromLatin1(encryptFileDesc(archive, descriptionKey).toBase64());
        if (record->modified)
            db.updateFile(row);
        else
            db.insertFile(row);
    }
    transaction.commit();
}

bool MBDBParser::appendFile(FileRecordSet& set, const QString& contentFile, const QString& domain,
                            const QString& relativePath, qint64 size, bool classD, const MbdbString& keyC,
                            const MbdbString& keyD, QString& errorText, bool contentReplaced)
{
    if (domain.isEmpty())
        return true;
    const QFileInfo content(contentFile);
    const quint32 modified = unixSeconds(content.lastModified());

    // Parent folders, deepest first, until one has a record.
    qsizetype slash = relativePath.lastIndexOf(QLatin1Char('/'));
    while (slash > 0) {
        const QString parent = relativePath.left(slash);
        const QString parentId = backupFileId(domain, parent);
        const auto existing = set.records.constFind(parentId);
        if (existing != set.records.constEnd()) {
            if (existing->isDirectory())
                break;
            errorText = QStringLiteral("MBDBParser::appendFile(%1) error. \"%2\" is not a folder.")
                            .arg(relativePath, parent);
            return false;
        }
        BackupFileRecord folder;
        folder.domain = MbdbString::of(domain);
        folder.relativePath = MbdbString::of(parent);
        folder.mode = NewDirectoryMode;
        folder.inode = ++set.inodeCounter;
        folder.userId = MobileUser;
        folder.groupId = MobileUser;
        folder.lastModified = folder.lastStatusChange = folder.birth = modified;
        folder.added = true;
        set.records.insert(parentId, folder);
        slash = relativePath.lastIndexOf(QLatin1Char('/'), slash - 1);
    }

    const QString fileId = backupFileId(domain, relativePath);
    auto existing = set.records.find(fileId);
    const bool isNew = existing == set.records.end();
    if (isNew) {
        BackupFileRecord file;
        file.domain = MbdbString::of(domain);
        file.relativePath = MbdbString::of(relativePath);
        file.mode = NewFileMode;
        file.inode = ++set.inodeCounter;
        file.userId = MobileUser;
        file.groupId = MobileUser;
        file.size = static_cast<quint64>(size >= 0 ? size : content.size());
        file.added = true;
        existing = set.records.insert(fileId, file);
    } else {
        existing->modified = true;
        if (contentReplaced && size >= 0)
            existing->size = static_cast<quint64>(size);
    }
    BackupFileRecord& record = *existing;
    if (classD)
        record.digest = MbdbString::of(sha1OfFile(contentFile));
    record.lastModified = record.lastStatusChange = record.birth = modified;
    if (isNew || contentReplaced) {
        // The class always matches the key, or the class key could not unwrap it.
        const MbdbString& key = classD ? keyD : keyC;
        if (key.present && !key.isEmpty())
            record.encryptionKey = key;
        if (isNew || record.encryptionKey.isEmpty() || (key.present && !key.isEmpty()))
            record.protectionClass = classD ? 4 : 3;
    }
    return true;
}

QByteArray MBDBParser::encodeRecordArchive(const BackupFileRecord& record)
{
    return MBFileArchive::encode(record);
}

QByteArray MBDBParser::decryptFileDesc(const QByteArray& bytes, const QByteArray& key)
{
    if (!validKeySize(key))
        throw std::runtime_error("MBDBParser::decryptFileDesc, invalid key size.");
    return BackupCrypto::cbc(bytes, key, BackupCrypto::fileDescriptionIv(), false,
                             "MBDBParser::decryptFileDesc, ");
}

QByteArray MBDBParser::encryptFileDesc(const QByteArray& bytes, const QByteArray& key)
{
    if (!validKeySize(key))
        throw std::runtime_error("MBDBParser::encryptFileDesc, invalid key size.");
    return BackupCrypto::cbc(bytes, key, BackupCrypto::fileDescriptionIv(), true,
                             "MBDBParser::encryptFileDesc, ");
}
