#pragma once

#include "SqliteHandle.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace iphonesim {

class BackupCodec;
class SimDevice;
struct ManifestEntry;

// A file the backup has to send.
struct UploadItem
{
    std::string fileId;
    std::string domain;
    std::string relativePath;
    uint64_t size = 0;       // of the device file
    uint64_t storedSize = 0; // of its content in the backup (encrypted contents are padded)
    uint8_t protectionClass = 0;
    std::string encryptionKey; // the wrapped per-file key of encrypted backups
};

// What a backup sends, worked out in the device's scratch space without holding the file list in memory:
// the scan of every domain writes the new Manifest.db, and compares each file with the host's previous
// Manifest.db (incremental backups) to decide whether it must be sent. Files the host should still hold are
// checked against the host's folder listings before they are trusted.
class BackupPlan
{
public:
    // workFolder must exist; previousManifest is the host's Manifest.db (empty for a full backup).
    BackupPlan(SimDevice& device, BackupCodec& codec, std::string workFolder, std::string previousManifest);
    ~BackupPlan();

    void scan();

    // Prefixes ("3d", ...) of files the host should hold already.
    std::vector<std::string> unchangedPrefixes();
    // Files of one prefix the host should hold, with the sizes of their stored contents.
    std::vector<std::pair<std::string, uint64_t>> unchangedFiles(const std::string& prefix);
    // The host lacks the file (or holds a different size): send it after all.
    void markMissing(const std::string& fileId);

    uint64_t uploadCount();
    uint64_t uploadBytes();
    // Calls visit for every file to send, in domain and path order.
    void forEachUpload(const std::function<void(const UploadItem&)>& visit);
    // Prefixes of the files to send (their folders must exist on the host before files move there).
    std::vector<std::string> uploadPrefixes();
    // Content files of the previous backup that no longer exist on the device.
    void forEachRemoved(const std::function<void(const std::string&)>& visit);

    // Completes the new Manifest.db (indexes, the codec's sealing) and returns its path. The plan stays
    // usable.
    std::string finishManifest();

    uint64_t scannedFiles() const { return m_scannedFiles; }

private:
    void scanDomain(const std::string& domain);
    void addEntry(ManifestEntry& entry);

    SimDevice& m_device;
    BackupCodec& m_codec;
    std::string m_workFolder;
    std::string m_previousManifest;
    std::string m_manifestPath;
    std::unique_ptr<SqliteDb> m_db;
    std::unique_ptr<SqliteStatement> m_insertFile;
    std::unique_ptr<SqliteStatement> m_findPrevious;
    std::unique_ptr<SqliteStatement> m_insertUpload;
    std::unique_ptr<SqliteStatement> m_insertUnchanged;
    uint64_t m_scannedFiles = 0;
};

// Creates the Files and Properties tables of a Manifest.db, as devices write them, in the database
// schema ("" or "name.").
void createManifestSchema(SqliteDb& db, const std::string& schema = "");
void createManifestIndexes(SqliteDb& db, const std::string& schema = "");

} // namespace iphonesim
