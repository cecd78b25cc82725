#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

// A string field of a file record. Manifest.mbdb tells an absent string (length 0xFFFF) from an empty one
// (length 0); both read as empty text, and each is written back the way it was read.
struct MbdbString
{
    QByteArray bytes;
    bool present = false;

    static MbdbString absent() { return {}; }
    static MbdbString of(const QByteArray& bytes) { return {bytes, true}; }
    static MbdbString of(const QString& text) { return {text.toUtf8(), true}; }

    bool isEmpty() const { return bytes.isEmpty(); }
    QString text() const { return QString::fromUtf8(bytes); }
    bool operator==(const MbdbString& other) const = default;
};

// One file, directory or symbolic link of a device backup, as Manifest.mbdb and Manifest.db describe it.
struct BackupFileRecord
{
    MbdbString domain;
    MbdbString relativePath;
    MbdbString target;        // link target
    MbdbString digest;        // SHA-1 of the content
    MbdbString encryptionKey; // 4-byte little-endian protection class, then the 40-byte wrapped file key
    quint16 mode = 0;
    quint32 inodeHigh = 0; // upper half of Manifest.mbdb's inode field
    quint64 inode = 0;
    quint32 userId = 0;
    quint32 groupId = 0;
    quint32 lastModified = 0; // Unix seconds
    quint32 lastStatusChange = 0;
    quint32 birth = 0;
    quint64 size = 0;
    quint8 protectionClass = 0;
    QList<QPair<MbdbString, MbdbString>> properties; // extended attributes (Manifest.mbdb only)

    // Pending changes, consumed by saveRecords.
    bool added = false;
    bool modified = false;
    bool removed = false;

    static constexpr quint16 DirectoryBit = 0x4000;
    static constexpr quint16 TypeMask = 0xF000;
    static constexpr quint16 SymlinkType = 0xA000;

    bool isDirectory() const { return (mode & DirectoryBit) != 0; }
    bool isSymlink() const { return !target.isEmpty() || (mode & TypeMask) == SymlinkType; }
    // Lower-case hexadecimal SHA-1 of domain + "-" + relativePath.
    QString fileId() const;
};

// Every record of one backup by file ID, and the counter that numbers records added by appendFile.
struct FileRecordSet
{
    QHash<QString, BackupFileRecord> records;
    quint32 inodeCounter = 0;
};

// 40 lower-case hex digits: SHA-1 of the UTF-8 bytes of domain + "-" + relativePath.
QString backupFileId(const QByteArray& domain, const QByteArray& relativePath);
QString backupFileId(const QString& domain, const QString& relativePath);

// Records in writing order: by domain, then by relative path, comparing bytes.
QList<const BackupFileRecord*> sortedRecords(const FileRecordSet& set);
