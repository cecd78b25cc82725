#pragma once

#include <optional>
#include <string>
#include <vector>

namespace iphonesim {

// What the device keeps of one trusted computer after a successful Pair.
struct DevicePairing
{
    std::string hostId;
    std::string systemBuid;
    std::string hostCertificatePem;
    std::string rootCertificatePem;
    std::string deviceCertificatePem;
    std::string escrowBag; // handed to the host at pairing, expected back with StartService
};

// The trusted computers of a device: one property list per HostID in the device folder's "pairings".
// Callers serialise access (the device's lock).
class DevicePairings
{
public:
    explicit DevicePairings(std::string folder);

    std::optional<DevicePairing> find(const std::string& hostId) const;
    void store(const DevicePairing& pairing);
    bool remove(const std::string& hostId);
    void removeAll();
    std::vector<std::string> hostIds() const;

    // HostIDs name files: letters, digits and hyphens only.
    static bool isValidHostId(const std::string& hostId);

private:
    std::string pathOf(const std::string& hostId) const;

    std::string m_folder;
};

} // namespace iphonesim
