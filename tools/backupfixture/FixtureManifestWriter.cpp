#include "FixtureManifestWriter.h"

#include "FixtureCrypto.h"
#include "plist/PlistCFType.h"
#include "storage/Sqlite3DB.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <stdexcept>

namespace backupfixture {
namespace FixtureManifestWriter {
namespace {

void saveFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(QStringLiteral("fixture: cannot write %1").arg(path).toStdString());
}

PlistCFType classInfo(const QStringList& classes)
{
    PlistCFType list = PlistCFType::newArray();
    for (const QString& name : classes)
        list.append(PlistCFType::newString(name));
    PlistCFType info = PlistCFType::newDict();
    info.setValue(QStringLiteral("$classname"), PlistCFType::newString(classes.first()));
    info.setValue(QStringLiteral("$classes"), list);
    return info;
}

int flagsOf(const FixtureRecord& record)
{
    switch (record.kind) {
    case FileEntry::Kind::Directory:
        return 2;
    case FileEntry::Kind::Symlink:
        return 4;
    default:
        return 1;
    }
}

template <typename T>
void put(QByteArray& out, T value)
{
    char bytes[sizeof(T)];
    qToBigEndian<T>(value, bytes);
    out.append(bytes, sizeof(T));
}

void putText(QByteArray& out, const QByteArray& text, bool absentWhenEmpty)
{
    if (text.isEmpty() && absentWhenEmpty) {
        put<quint16>(out, 0xFFFF);
        return;
    }
    put<quint16>(out, static_cast<quint16>(text.size()));
    out.append(text);
}

} // namespace

QByteArray deviceArchive(const FixtureRecord& record)
{
    PlistCFType objects = PlistCFType::newArray();
    PlistCFType file = PlistCFType::newDict();
    objects.append(PlistCFType::newString(QStringLiteral("$null")));
    quint32 next = 2;
    const quint32 pathRef = next++;
    quint32 keyRef = 0;
    quint32 keyClassRef = 0;
    if (!record.encryptionKey.isEmpty()) {
        keyRef = next++;
        keyClassRef = next++;
    }
    const quint32 targetRef = record.linkTarget.isEmpty() ? 0 : next++;
    const quint32 fileClassRef = next++;

    file.setValue(QStringLiteral("LastModified"), PlistCFType::newUInt(record.lastModified));
    file.setValue(QStringLiteral("Flags"), PlistCFType::newUInt(0));
    file.setValue(QStringLiteral("GroupID"), PlistCFType::newUInt(501));
    file.setValue(QStringLiteral("LastStatusChange"), PlistCFType::newUInt(record.lastModified));
    file.setValue(QStringLiteral("Birth"), PlistCFType::newUInt(record.lastModified));
    file.setValue(QStringLiteral("Size"), PlistCFType::newUInt(record.size));
    file.setValue(QStringLiteral("InodeNumber"), PlistCFType::newUInt(record.inode));
    file.setValue(QStringLiteral("Mode"), PlistCFType::newUInt(record.mode));
    file.setValue(QStringLiteral("UserID"), PlistCFType::newUInt(501));
    file.setValue(QStringLiteral("ProtectionClass"), PlistCFType::newUInt(record.protectionClass));
    file.setValue(QStringLiteral("RelativePath"), PlistCFType::newUID(pathRef));
    if (keyRef)
        file.setValue(QStringLiteral("EncryptionKey"), PlistCFType::newUID(keyRef));
    if (targetRef)
        file.setValue(QStringLiteral("Target"), PlistCFType::newUID(targetRef));
    file.setValue(QStringLiteral("$class"), PlistCFType::newUID(fileClassRef));
    objects.append(file);
    objects.append(PlistCFType::newString(record.relativePath));
    if (keyRef) {
        PlistCFType key = PlistCFType::newDict();
        key.setValue(QStringLiteral("NS.data"), PlistCFType::newData(record.encryptionKey));
        key.setValue(QStringLiteral("$class"), PlistCFType::newUID(keyClassRef));
        objects.append(key);
        objects.append(classInfo(
            {QStringLiteral("NSMutableData"), QStringLiteral("NSData"), QStringLiteral("NSObject")}));
    }
    if (targetRef)
        objects.append(PlistCFType::newString(record.linkTarget));
    objects.append(classInfo({QStringLiteral("MBFile"), QStringLiteral("NSObject")}));

    PlistCFType top = PlistCFType::newDict();
    top.setValue(QStringLiteral("root"), PlistCFType::newUID(1));
    PlistCFType archive = PlistCFType::newDict();
    archive.setValue(QStringLiteral("$version"), PlistCFType::newUInt(100000));
    archive.setValue(QStringLiteral("$archiver"), PlistCFType::newString(QStringLiteral("NSKeyedArchiver")));
    archive.setValue(QStringLiteral("$top"), top);
    archive.setValue(QStringLiteral("$objects"), objects);
    return archive.serialize(PlistCFType::FormatBinary);
}

void writeManifestDb(const QString& path, const QList<FixtureRecord>& records, const QByteArray& salt,
                     const QByteArray& descriptionKey)
{
    QFile::remove(path);
    Sqlite3DB db;
    db.openFile(path, Sqlite3DB::OpenReadWriteCreate);
    db.execute("CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, flags INTEGER, "
               "file BLOB)");
    db.execute("CREATE INDEX FilesDomainIdx ON Files(domain)");
    db.execute("CREATE INDEX FilesRelativePathIdx ON Files(relativePath)");
    db.execute("CREATE INDEX FilesFlagsIdx ON Files(flags)");
    db.execute("CREATE TABLE Properties (key TEXT PRIMARY KEY, value BLOB)");
    Sqlite3Transaction transaction(db);
    if (!descriptionKey.isEmpty())
        db.execute(Sqlite3Sql("INSERT INTO Properties(key, value) VALUES('salt', ?)").addBlobParam(salt));
    for (const FixtureRecord& record : records) {
        const QByteArray archive = deviceArchive(record);
        Sqlite3Sql sql(
            "INSERT OR REPLACE INTO Files(fileID, domain, relativePath, flags, file) VALUES(?,?,?,?,?)");
        sql.addTextParam(BackupFixtureBuilder::fileId(record.domain, record.relativePath))
            .addTextParam(record.domain)
            .addTextParam(record.relativePath)
            .addIntParam(flagsOf(record));
        if (descriptionKey.isEmpty())
            sql.addBlobParam(archive);
        else
            sql.addTextParam(QString::fromLatin1(
                FixtureCrypto::cbcEncrypt(descriptionKey, FixtureCrypto::fileDescriptionIv(), archive)
                    .toBase64()));
        db.execute(sql);
    }
    transaction.commit();
    db.close();
}

void writeMbdb(const QString& path, const QList<FixtureRecord>& records)
{
    QByteArray out("mbdb\x05\x00", 6);
    for (const FixtureRecord& record : records) {
        putText(out, record.domain.toUtf8(), false);
        putText(out, record.relativePath.toUtf8(), false);
        putText(out, record.linkTarget.toUtf8(), true);
        putText(out, record.digest, true);
        putText(out, record.encryptionKey, true);
        put<quint16>(out, record.mode);
        put<quint32>(out, 0); // inode high half
        put<quint32>(out, static_cast<quint32>(record.inode));
        put<quint32>(out, 501);
        put<quint32>(out, 501);
        put<quint32>(out, record.lastModified);
        put<quint32>(out, record.lastModified);
        put<quint32>(out, record.lastModified);
        put<quint64>(out, record.size);
        put<quint8>(out, static_cast<quint8>(record.protectionClass));
        put<quint8>(out, 0); // no extended attributes
    }
    saveFile(path, out);
}

void writePlists(const QString& folder, const PlistInputs& inputs)
{
    const DeviceIdentity& device = inputs.device;
    PlistCFType info = PlistCFType::newDict();
    info.setValue(QStringLiteral("Build Version"), PlistCFType::newString(device.buildVersion));
    info.setValue(QStringLiteral("Device Name"), PlistCFType::newString(device.deviceName));
    info.setValue(QStringLiteral("Display Name"), PlistCFType::newString(device.deviceName));
    info.setValue(QStringLiteral("GUID"), PlistCFType::newString(inputs.backupUuid));
    info.setValue(QStringLiteral("Last Backup Date"), PlistCFType::newDate(device.date));
    info.setValue(QStringLiteral("Product Name"), PlistCFType::newString(QStringLiteral("iPhone")));
    info.setValue(QStringLiteral("Product Type"), PlistCFType::newString(device.productType));
    info.setValue(QStringLiteral("Product Version"), PlistCFType::newString(device.productVersion));
    info.setValue(QStringLiteral("Serial Number"), PlistCFType::newString(device.serialNumber));
    info.setValue(QStringLiteral("Target Identifier"), PlistCFType::newString(device.udid));
    info.setValue(QStringLiteral("Target Type"), PlistCFType::newString(QStringLiteral("Device")));
    info.setValue(QStringLiteral("Unique Identifier"), PlistCFType::newString(device.udid.toUpper()));
    saveFile(folder + QStringLiteral("/Info.plist"), info.serialize(PlistCFType::FormatXml));

    PlistCFType status = PlistCFType::newDict();
    status.setValue(QStringLiteral("BackupState"), PlistCFType::newString(QStringLiteral("new")));
    status.setValue(QStringLiteral("Date"), PlistCFType::newDate(device.date));
    status.setValue(QStringLiteral("IsFullBackup"), PlistCFType::newBool(false));
    status.setValue(QStringLiteral("SnapshotState"), PlistCFType::newString(QStringLiteral("finished")));
    status.setValue(QStringLiteral("UUID"), PlistCFType::newString(inputs.backupUuid));
    status.setValue(QStringLiteral("Version"), PlistCFType::newString(QStringLiteral("3.3")));
    saveFile(folder + QStringLiteral("/Status.plist"), status.serialize(PlistCFType::FormatBinary));

    PlistCFType lockdown = PlistCFType::newDict();
    lockdown.setValue(QStringLiteral("BuildVersion"), PlistCFType::newString(device.buildVersion));
    lockdown.setValue(QStringLiteral("DeviceName"), PlistCFType::newString(device.deviceName));
    lockdown.setValue(QStringLiteral("ProductType"), PlistCFType::newString(device.productType));
    lockdown.setValue(QStringLiteral("ProductVersion"), PlistCFType::newString(device.productVersion));
    lockdown.setValue(QStringLiteral("SerialNumber"), PlistCFType::newString(device.serialNumber));
    lockdown.setValue(QStringLiteral("UniqueDeviceID"), PlistCFType::newString(device.udid));
    PlistCFType applications = PlistCFType::newDict();
    for (const QString& bundleId : inputs.applications) {
        PlistCFType app = PlistCFType::newDict();
        app.setValue(QStringLiteral("CFBundleIdentifier"), PlistCFType::newString(bundleId));
        app.setValue(QStringLiteral("ContainerContentClass"),
                     PlistCFType::newString(QStringLiteral("Data/Application")));
        applications.setValue(bundleId, app);
    }
    PlistCFType manifest = PlistCFType::newDict();
    manifest.setValue(QStringLiteral("Applications"), applications);
    manifest.setValue(QStringLiteral("BackupKeyBag"), PlistCFType::newData(inputs.keybag));
    manifest.setValue(QStringLiteral("Date"), PlistCFType::newDate(device.date));
    manifest.setValue(QStringLiteral("IsEncrypted"), PlistCFType::newBool(inputs.encrypted));
    manifest.setValue(QStringLiteral("Lockdown"), lockdown);
    if (!inputs.manifestKey.isEmpty())
        manifest.setValue(QStringLiteral("ManifestKey"), PlistCFType::newData(inputs.manifestKey));
    manifest.setValue(QStringLiteral("SystemDomainsVersion"), PlistCFType::newString(QStringLiteral("24.0")));
    manifest.setValue(QStringLiteral("Version"), PlistCFType::newString(QStringLiteral("10.0")));
    manifest.setValue(QStringLiteral("WasPasscodeSet"), PlistCFType::newBool(false));
    saveFile(folder + QStringLiteral("/Manifest.plist"), manifest.serialize(PlistCFType::FormatBinary));
}

} // namespace FixtureManifestWriter
} // namespace backupfixture
