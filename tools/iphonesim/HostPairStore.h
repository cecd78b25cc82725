#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace iphonesim {

// The computer's side of pairing, as usbmuxd keeps it: one pair record per device UDID ("<udid>.plist", the
// bytes the client saved) and the system BUID in SystemConfiguration.plist, in one folder (usbmuxd's
// /var/lib/lockdown).
class HostPairStore
{
public:
    explicit HostPairStore(std::string folder);

    const std::string& folder() const { return m_folder; }
    std::string systemBuid();
    std::optional<std::string> read(const std::string& recordId) const;
    // False for an identifier that cannot name a record.
    bool save(const std::string& recordId, const std::string& bytes);
    bool remove(const std::string& recordId);
    std::vector<std::string> recordIds() const;

    static bool isValidRecordId(const std::string& recordId);

private:
    std::string pathOf(const std::string& recordId) const;

    std::string m_folder;
    mutable std::mutex m_mutex;
};

} // namespace iphonesim
