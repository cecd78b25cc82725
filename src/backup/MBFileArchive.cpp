#include "backup/MBFileArchive.h"

#include "backup/MBFileBinaryReader.h"
#include "plist/KeyedArchive.h"
#include "plist/PlistCFType.h"

namespace MBFileArchive {
namespace {

PlistCFType classDescription(const QStringList& classes)
{
    PlistCFType names = PlistCFType::newArray();
    for (const QString& name : classes)
        names.append(PlistCFType::newString(name));
    PlistCFType description = PlistCFType::newDict();
    description.setValue(QStringLiteral("$classes"), names);
    description.setValue(QStringLiteral("$classname"), PlistCFType::newString(classes.first()));
    return description;
}

// A data value archived either as NSData ({"NS.data": bytes}) or as a plain data object; absent for
// anything else.
MbdbString archivedData(const PlistCFType& value)
{
    if (value.isData())
        return MbdbString::of(value.getData());
    const PlistCFType nsData = value.value(QStringLiteral("NS.data"));
    return nsData.isData() ? MbdbString::of(nsData.getData()) : MbdbString::absent();
}

} // namespace

QByteArray encode(const BackupFileRecord& record)
{
    const bool hasDigest = record.digest.present;
    const bool hasKey = record.encryptionKey.present;
    quint32 next = 3;
    const quint32 digestRef = hasDigest ? next++ : 0;
    const quint32 keyRef = hasKey ? next : 0;
    if (hasKey)
        next += 2;
    const quint32 classRef = next;

    PlistCFType file = PlistCFType::newDict();
    file.setValue(QStringLiteral("$class"), PlistCFType::newUID(classRef));
    file.setValue(QStringLiteral("Birth"), PlistCFType::newInt(static_cast<qint32>(record.birth)));
    if (hasDigest)
        file.setValue(QStringLiteral("Digest"), PlistCFType::newUID(digestRef));
    if (hasKey)
        file.setValue(QStringLiteral("EncryptionKey"), PlistCFType::newUID(keyRef));
    file.setValue(QStringLiteral("Flags"), PlistCFType::newUInt(0));
    file.setValue(QStringLiteral("GroupID"), PlistCFType::newInt(static_cast<qint32>(record.groupId)));
    file.setValue(QStringLiteral("InodeNumber"), PlistCFType::newUInt(record.inode));
    file.setValue(QStringLiteral("LastModified"),
                  PlistCFType::newInt(static_cast<qint32>(record.lastModified)));
    file.setValue(QStringLiteral("LastStatusChange"),
                  PlistCFType::newInt(static_cast<qint32>(record.lastStatusChange)));
    file.setValue(QStringLiteral("Mode"), PlistCFType::newUInt(record.mode));
    file.setValue(QStringLiteral("ProtectionClass"),
                  PlistCFType::newSmallInt(static_cast<qint8>(record.protectionClass)));
    file.setValue(QStringLiteral("RelativePath"), PlistCFType::newUID(2));
    file.setValue(QStringLiteral("Size"), PlistCFType::newUInt(record.size));
    file.setValue(QStringLiteral("UserID"), PlistCFType::newInt(static_cast<qint32>(record.userId)));

    PlistCFType objects = PlistCFType::newArray();
    objects.append(PlistCFType::newString(QStringLiteral("$null")));
    objects.append(file);
    objects.append(PlistCFType::newString(record.relativePath.text()));
    if (hasDigest)
        objects.append(PlistCFType::newData(record.digest.bytes));
    if (hasKey) {
        PlistCFType key = PlistCFType::newDict();
        key.setValue(QStringLiteral("$class"), PlistCFType::newUID(keyRef + 1));
        key.setValue(QStringLiteral("NS.data"), PlistCFType::newData(record.encryptionKey.bytes));
        objects.append(key);
        objects.append(classDescription(
            {QStringLiteral("NSMutableData"), QStringLiteral("NSData"), QStringLiteral("NSObject")}));
    }
    objects.append(classDescription({QStringLiteral("MBFile"), QStringLiteral("NSObject")}));

    PlistCFType top = PlistCFType::newDict();
    top.setValue(QStringLiteral("root"), PlistCFType::newUID(1));
    PlistCFType archive = PlistCFType::newDict();
    archive.setValue(QStringLiteral("$version"), PlistCFType::newUInt(100000));
    archive.setValue(QStringLiteral("$objects"), objects);
    archive.setValue(QStringLiteral("$archiver"), PlistCFType::newString(QStringLiteral("NSKeyedArchiver")));
    archive.setValue(QStringLiteral("$top"), top);
    return archive.serialize(PlistCFType::FormatBinary);
}

bool decode(const QByteArray& bytes, BackupFileRecord& record)
{
    // Nearly every archive is a binary list laid out the usual way; the reader handles those quickly
    // and leaves anything else to the general property-list path.
    if (MBFileBinaryReader::read(bytes, record) == MBFileBinaryReader::Decoded)
        return true;
    return decodeGeneral(bytes, record);
}

bool decodeGeneral(const QByteArray& bytes, BackupFileRecord& record)
{
    const PlistCFType archive = PlistCFType::fromData(bytes);
    if (!archive.isDict() || !archive.value(QStringLiteral("$objects")).isArray())
        return false;
    const PlistCFMap file = decodeKeyedObject(archive);
    if (file.isEmpty())
        return false;

    const QString target = file.value(QStringLiteral("Target")).getString();
    if (!target.isEmpty())
        record.target = MbdbString::of(target);
    record.digest = archivedData(file.value(QStringLiteral("Digest")));
    record.encryptionKey = archivedData(file.value(QStringLiteral("EncryptionKey")));
    record.mode = static_cast<quint16>(file.value(QStringLiteral("Mode")).getInt64());
    record.inode = static_cast<quint64>(file.value(QStringLiteral("InodeNumber")).getInt64());
    record.userId = static_cast<quint32>(file.value(QStringLiteral("UserID")).getInt64());
    record.groupId = static_cast<quint32>(file.value(QStringLiteral("GroupID")).getInt64());
    record.lastModified = static_cast<quint32>(file.value(QStringLiteral("LastModified")).getInt64());
    record.lastStatusChange = static_cast<quint32>(file.value(QStringLiteral("LastStatusChange")).getInt64());
    record.birth = static_cast<quint32>(file.value(QStringLiteral("Birth")).getInt64());
    record.size = static_cast<quint64>(file.value(QStringLiteral("Size")).getInt64());
    record.protectionClass = static_cast<quint8>(file.value(QStringLiteral("ProtectionClass")).getInt64());
    return true;
}

} // namespace MBFileArchive
