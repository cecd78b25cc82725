#pragma once

#include "BackupCodec.h"

namespace iphonesim {

// Unencrypted backups: contents as they are, MBFile archives without keys.
class PlainBackupCodec : public BackupCodec
{
public:
    bool isEncrypted() const override { return false; }
    bool acceptsPrevious(plist_t manifest) override;
    bool prepareEntry(ManifestEntry& entry, const ManifestEntry* previous) override;
    std::string fileRecord(const ManifestEntry& entry) override;
    std::unique_ptr<ContentSource> openContent(const ManifestEntry& entry,
                                               const std::string& localPath) override;
    uint64_t storedSize(const ManifestEntry& entry) const override { return entry.size; }
    void addManifestProperties(plist_t manifest) override;
    void sealManifestDb(const std::string&) override {}

    void openManifestDb(const std::string&) override {}
    bool readFileRecord(const std::string& record, ManifestEntry& entry) override;
    std::unique_ptr<ContentSink> restoreContent(const ManifestEntry& entry, AtomicFileWriter& file) override;
};

} // namespace iphonesim
