#pragma once

#include "ManifestEntry.h"
#include "Plist.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace iphonesim {

// Bytes of one backed-up file as the backup stores them, read piece by piece.
class ContentSource
{
public:
    virtual ~ContentSource() = default;
    // Fills up to capacity bytes; 0 at the end. Throws SimError.
    virtual size_t read(char* buffer, size_t capacity) = 0;
};

// Bytes of one file arriving from a backup during a restore, turned back into the device file's content.
class ContentSink
{
public:
    virtual ~ContentSink() = default;
    virtual void write(const char* data, size_t length) = 0;
    // All bytes arrived; throws SimError when they do not make a valid file.
    virtual void finish() = 0;
};

class AtomicFileWriter;

// A downloaded file written through a temporary file into path, refusing more than maxBytes (a host cannot
// fill the device's space with an endless file).
std::unique_ptr<ContentSink> openLimitedFileSink(const std::string& path, uint64_t maxBytes);

// Reads exactly size bytes of a local file (the device's own files and metadata).
std::unique_ptr<ContentSource> openFileSource(const std::string& path, uint64_t size);

// Everything that differs between plain and encrypted backups, behind one interface: how a file is
// described in Manifest.db, which bytes are sent for it, the encryption properties of Manifest.plist and the
// treatment of Manifest.db itself, and the way back during a restore. The device uses PlainBackupCodec now;
// an encrypting codec (keybag, class keys, per-file keys, encrypted Manifest.db) plugs in here later.
class BackupCodec
{
public:
    virtual ~BackupCodec() = default;

    virtual bool isEncrypted() const = 0;
    // Sets what the codec owns in an entry (protection class, wrapped per-file key) before it is archived.
    virtual void prepareEntry(ManifestEntry& entry) = 0;
    // The "file" column of the entry's Files row.
    virtual std::string fileRecord(const ManifestEntry& entry) = 0;
    // The bytes the backup stores for a regular file, read from the device file at localPath.
    virtual std::unique_ptr<ContentSource> openContent(const ManifestEntry& entry,
                                                       const std::string& localPath) = 0;
    // How many bytes openContent delivers for the entry.
    virtual uint64_t storedSize(const ManifestEntry& entry) const = 0;
    // Adds IsEncrypted, BackupKeyBag and ManifestKey to Manifest.plist.
    virtual void addManifestProperties(plist_t manifest) = 0;
    // Turns the finished plain Manifest.db at path into what the backup stores, in place.
    virtual void sealManifestDb(const std::string& path) = 0;

    // Restore side. Accepts (or refuses, with the device's error text) the backup described by
    // Manifest.plist.
    virtual bool acceptBackup(plist_t manifest, const std::string& password, std::string* error) = 0;
    // Makes the downloaded Manifest.db at path readable, in place.
    virtual void openManifestDb(const std::string& path) = 0;
    // Reads an entry's metadata from its "file" column.
    virtual bool readFileRecord(const std::string& record, ManifestEntry& entry) = 0;
    // Where the content of a restored file goes.
    virtual std::unique_ptr<ContentSink> restoreContent(const ManifestEntry& entry,
                                                        AtomicFileWriter& file) = 0;
};

} // namespace iphonesim
