#include "FixtureBackupReader.h"

#include "BackupFixtureBuilder.h"
#include "BackupKeybag.h"
#include "CryptoPrimitives.h"
#include "plist/PlistCFType.h"
#include "storage/Sqlite3DB.h"

#include <QFile>
#include <QTemporaryFile>
#include <stdexcept>
#include <string>

namespace backupfixture {
namespace {

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(("fixture reader: " + text).toStdString());
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(path));
    return file.readAll();
}

// File contents and Manifest.db: AES-256-CBC with a zero IV.
const std::string ZeroIv(16, '\0');

std::string_view view(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

QByteArray bytesOf(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// An archived object: a UID points into "$objects".
PlistCFType resolve(const PlistCFType& objects, const PlistCFType& value)
{
    return value.typeId() == PlistCFType::TypeUid ? objects.at(int(value.getUID())) : value;
}

} // namespace

FixtureBackupReader::FixtureBackupReader(const QString& folder, const QString& password) : m_folder(folder)
{
    const PlistCFType manifest = PlistCFType::fromFile(folder + QStringLiteral("/Manifest.plist"));
    m_encrypted = manifest.value(QStringLiteral("IsEncrypted")).getBool(false);
    QByteArray database = readAll(folder + QStringLiteral("/Manifest.db"));
    if (!m_encrypted) {
        m_manifestImage = database;
        return;
    }
    const auto keybag =
        backupcrypto::BackupKeybag::parse(view(manifest.value(QStringLiteral("BackupKeyBag")).getData()));
    if (!keybag)
        fail(QStringLiteral("the keybag does not parse"));
    const auto classKeys = keybag->unlock(password.toStdString());
    if (!classKeys)
        fail(QStringLiteral("wrong password"));
    for (const auto& [protectionClass, key] : *classKeys)
        m_classKeys.insert(protectionClass, bytesOf(key));
    const QByteArray wrappedManifestKey = manifest.value(QStringLiteral("ManifestKey")).getData();
    if (wrappedManifestKey.isEmpty()) {
        m_manifestImage = database;
        return;
    }
    const auto manifestClass = backupcrypto::prefixClass(view(wrappedManifestKey));
    const auto manifestKey = backupcrypto::unwrapKey(view(m_classKeys.value(manifestClass.value_or(0))),
                                                     view(wrappedManifestKey.mid(4)));
    if (!manifestKey)
        fail(QStringLiteral("the manifest key does not unwrap with the class it names"));
    const auto plain = backupcrypto::cbcDecrypt(*manifestKey, ZeroIv, view(database));
    if (!plain)
        fail(QStringLiteral("Manifest.db does not decrypt"));
    m_manifestImage = bytesOf(*plain);
}

StoredRecord FixtureBackupReader::record(const QString& domain, const QString& relativePath) const
{
    // SQLite reads files; the plain manifest goes to a private temporary file outside the backup.
    QTemporaryFile file;
    if (!file.open() || file.write(m_manifestImage) != m_manifestImage.size() || !file.flush())
        fail(QStringLiteral("cannot write a temporary file"));
    Sqlite3DB db;
    db.openFile(file.fileName(), Sqlite3DB::OpenReadOnly);
    Sqlite3Cursor cursor = db.query(Sqlite3Sql("select file from Files where fileID=?")
                                        .addTextParam(BackupFixtureBuilder::fileId(domain, relativePath)));
    if (!cursor.moveNext())
        fail(QStringLiteral("no record of %1 %2").arg(domain, relativePath));
    const PlistCFType archive = PlistCFType::fromData(cursor.getBlob(QStringLiteral("file")));
    const PlistCFType objects = archive.value(QStringLiteral("$objects"));
    const PlistCFType root =
        resolve(objects, archive.value(QStringLiteral("$top")).value(QStringLiteral("root")));
    StoredRecord stored;
    stored.protectionClass = quint32(root.value(QStringLiteral("ProtectionClass")).getInt64());
    stored.size = quint64(root.value(QStringLiteral("Size")).getInt64());
    const PlistCFType key = resolve(objects, root.value(QStringLiteral("EncryptionKey")));
    stored.encryptionKey = key.isData() ? key.getData() : key.value(QStringLiteral("NS.data")).getData();
    return stored;
}

QByteArray FixtureBackupReader::storedContent(const QString& domain, const QString& relativePath) const
{
    const QString id = BackupFixtureBuilder::fileId(domain, relativePath);
    return readAll(m_folder + QLatin1Char('/') + id.left(2) + QLatin1Char('/') + id);
}

QByteArray FixtureBackupReader::fileKey(const QString& domain, const QString& relativePath) const
{
    const StoredRecord stored = record(domain, relativePath);
    if (backupcrypto::prefixClass(view(stored.encryptionKey)) != stored.protectionClass)
        fail(QStringLiteral("the key prefix of %1 names another class than its record").arg(relativePath));
    const auto key = backupcrypto::unwrapKey(view(m_classKeys.value(stored.protectionClass)),
                                             view(stored.encryptionKey.mid(4)));
    if (!key || key->size() != 32)
        fail(QStringLiteral("the key of %1 does not unwrap with class %2")
                 .arg(relativePath)
                 .arg(stored.protectionClass));
    return bytesOf(*key);
}

QByteArray FixtureBackupReader::content(const QString& domain, const QString& relativePath) const
{
    const QByteArray stored = storedContent(domain, relativePath);
    if (!m_encrypted)
        return stored;
    const auto plain = backupcrypto::cbcDecrypt(view(fileKey(domain, relativePath)), ZeroIv, view(stored));
    if (!plain)
        fail(QStringLiteral("%1 does not decrypt with its key").arg(relativePath));
    return bytesOf(*plain);
}

} // namespace backupfixture
