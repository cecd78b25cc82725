#include "DevicePairings.h"

#include "Plist.h"

#include <filesystem>
#include <system_error>

namespace iphonesim {

namespace fs = std::filesystem;

DevicePairings::DevicePairings(std::string folder) : m_folder(std::move(folder))
{
}

bool DevicePairings::isValidHostId(const std::string& hostId)
{
    if (hostId.empty() || hostId.size() > 64)
        return false;
    for (char c : hostId) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-'))
            return false;
    }
    return true;
}

std::string DevicePairings::pathOf(const std::string& hostId) const
{
    return m_folder + "/" + hostId + ".plist";
}

std::optional<DevicePairing> DevicePairings::find(const std::string& hostId) const
{
    if (!isValidHostId(hostId))
        return std::nullopt;
    PlistPtr record = plistFromFile(pathOf(hostId), 1 << 20);
    if (!record)
        return std::nullopt;
    DevicePairing pairing;
    pairing.hostId = hostId;
    pairing.systemBuid = dictString(record.get(), "SystemBUID").value_or("");
    pairing.hostCertificatePem = dictData(record.get(), "HostCertificate").value_or("");
    pairing.rootCertificatePem = dictData(record.get(), "RootCertificate").value_or("");
    pairing.deviceCertificatePem = dictData(record.get(), "DeviceCertificate").value_or("");
    pairing.escrowBag = dictData(record.get(), "EscrowBag").value_or("");
    return pairing;
}

void DevicePairings::store(const DevicePairing& pairing)
{
    std::error_code error;
    fs::create_directories(m_folder, error);
    PlistPtr record = newDict();
    dictSetString(record.get(), "HostID", pairing.hostId);
    dictSetString(record.get(), "SystemBUID", pairing.systemBuid);
    dictSetData(record.get(), "HostCertificate", pairing.hostCertificatePem);
    dictSetData(record.get(), "RootCertificate", pairing.rootCertificatePem);
    dictSetData(record.get(), "DeviceCertificate", pairing.deviceCertificatePem);
    dictSetData(record.get(), "EscrowBag", pairing.escrowBag);
    plistToFile(record.get(), pathOf(pairing.hostId), PlistFormat::Xml);
}

bool DevicePairings::remove(const std::string& hostId)
{
    if (!isValidHostId(hostId))
        return false;
    std::error_code error;
    return fs::remove(pathOf(hostId), error);
}

void DevicePairings::removeAll()
{
    for (const std::string& hostId : hostIds())
        remove(hostId);
}

std::vector<std::string> DevicePairings::hostIds() const
{
    std::vector<std::string> ids;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(m_folder, error)) {
        const fs::path path = entry.path();
        if (path.extension() == ".plist" && isValidHostId(path.stem().string()))
            ids.push_back(path.stem().string());
    }
    return ids;
}

} // namespace iphonesim
