#pragma once

#include <map>
#include <string>
#include <vector>

namespace iphonesim {

// One installed app of the simulated device.
struct AppRecord
{
    std::string bundleId;
    std::string displayName;
    std::string version;      // CFBundleVersion
    std::string shortVersion; // CFBundleShortVersionString
    std::string applicationType = "User";
    std::string executable;
    std::string containerUuid;                          // data container, upper-case UUID
    std::string bundleUuid;                             // bundle container, upper-case UUID
    std::map<std::string, std::string> groupContainers; // app group identifier -> upper-case UUID

    // Device paths as the installation proxy reports them.
    std::string containerPath() const;
    std::string bundlePath() const;
    static std::string groupContainerPath(const std::string& uuid);
    // Backup domains of the app's data container and app groups.
    std::string appDomain() const { return "AppDomain-" + bundleId; }
    static std::string groupDomain(const std::string& group) { return "AppDomainGroup-" + group; }
};

// The apps of a device folder, kept in apps.plist.
class AppCatalog
{
public:
    static AppCatalog load(const std::string& path);
    void save(const std::string& path) const;

    const std::vector<AppRecord>& apps() const { return m_apps; }
    std::vector<AppRecord>& apps() { return m_apps; }
    const AppRecord* find(const std::string& bundleId) const;
    // The app whose data container or app group is this backup domain; null for other domains.
    const AppRecord* ownerOfDomain(const std::string& domain, std::string* groupUuid = nullptr) const;

private:
    std::vector<AppRecord> m_apps;
};

// True for a canonical upper-case UUID (8-4-4-4-12 hexadecimal digits).
bool isUuid(const std::string& text);

} // namespace iphonesim
