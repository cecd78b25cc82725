#pragma once

#include "BackupFixtureBuilder.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace backupfixture {

// One record as the builder writes it.
struct FixtureRecord
{
    QString domain;
    QString relativePath;
    FileEntry::Kind kind = FileEntry::Kind::File;
    quint16 mode = 0;
    quint64 size = 0;
    quint32 protectionClass = 0;
    QByteArray encryptionKey; // class prefix + wrapped key; empty in plain backups
    QByteArray digest;        // Manifest.mbdb only
    QString linkTarget;
    quint32 lastModified = 0;
    quint64 inode = 0;
};

// The metadata files and the two manifest layouts, written the device's way.
namespace FixtureManifestWriter {

// The MBFile keyed archive a device writes for a record (key order and object layout of the device,
// "Target" for links, no "Digest").
QByteArray deviceArchive(const FixtureRecord& record);

// A plaintext Manifest.db with the device's schema. With a non-empty descriptionKey, the Properties row
// 'salt' holds salt and each description is Base64 text of the AES-128-CBC encrypted archive.
void writeManifestDb(const QString& path, const QList<FixtureRecord>& records, const QByteArray& salt,
                     const QByteArray& descriptionKey);

// Manifest.mbdb: header "mbdb\x05\x00", then the records with big-endian fields.
void writeMbdb(const QString& path, const QList<FixtureRecord>& records);

struct PlistInputs
{
    DeviceIdentity device;
    bool encrypted = false;
    QByteArray keybag;
    QByteArray manifestKey; // wrapped, with its class prefix; empty when absent
    QString backupUuid;
    QStringList applications;
};

// Info.plist (XML), Status.plist and Manifest.plist (binary), each written to a temporary file and
// renamed.
void writePlists(const QString& folder, const PlistInputs& inputs);

} // namespace FixtureManifestWriter
} // namespace backupfixture
