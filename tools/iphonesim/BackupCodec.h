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

// Where restored bytes go unchanged: into the staged file.
std::unique_ptr<ContentSink> openFileSink(AtomicFileWriter& file);

// Everything that differs between plain and encrypted backups, behind one interface: how a file is
// described in Manifest.db, which bytes are sent for it, the encryption properties of Manifest.plist and the
// treatment of Manifest.db itself, and the way back during a restore. PlainBackupCodec writes unencrypted
// backups; EncryptedBackupCodec writes and reads encrypted ones.
class BackupCodec
{
public:
    virtual ~BackupCodec() = default;

    virtual bool isEncrypted() const = 0;

    // --- backups ---
    // Whether the host's previous backup (its Manifest.plist) was written the way this codec writes, with
    // the same keys, so that its Manifest.db and content files can serve an incremental backup.
    virtual bool acceptsPrevious(plist_t manifest) = 0;
    // Sets what the codec owns in an entry (the wrapped per-file key) before it is archived. previous is the
    // host's record of the file when the file is unchanged since that backup; returns whether the content
    // the host holds for it stays valid (false: the file is sent again).
    virtual bool prepareEntry(ManifestEntry& entry, const ManifestEntry* previous) = 0;
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

    // --- backups (the host's previous manifest) and restores ---
    // Makes a Manifest.db that came from the host readable, in place; throws SimError when it cannot.
    virtual void openManifestDb(const std::string& path) = 0;
    // Reads an entry's metadata from its "file" column.
    virtual bool readFileRecord(const std::string& record, ManifestEntry& entry) = 0;

    // --- restores ---
    // Where the content of a restored file goes; throws SimError when the file cannot be restored (its key
    // does not unwrap).
    virtual std::unique_ptr<ContentSink> restoreContent(const ManifestEntry& entry,
                                                        AtomicFileWriter& file) = 0;
};

} // namespace iphonesim
