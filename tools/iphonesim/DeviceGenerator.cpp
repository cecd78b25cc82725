#include "DeviceGenerator.h"

#include "AppCatalog.h"
#include "AtomicFile.h"
#include "ContentStream.h"
#include "DeviceKeys.h"
#include "Plist.h"
#include "SimDevice.h"
#include "SimError.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace iphonesim {

namespace fs = std::filesystem;

namespace {

// 2023-04-01 00:00:00 UTC: generated files carry times around it, so generation is reproducible.
constexpr int64_t kBaseTime = 1680307200;
constexpr uint64_t kFilesPerFolder = 250;

const char* const kAppNames[] = {"Notes",   "Weather",  "Mail",      "Maps",      "Camera",
                                 "Music",   "Podcasts", "Books",     "Wallet",    "Health",
                                 "Stocks",  "Clock",    "Calendar",  "Reminders", "Translate",
                                 "Fitness", "Files",    "Shortcuts", "News",      "Tips"};

struct FilePlan
{
    std::string domain;
    std::string relativePath;
    uint64_t size = 0;
};

class Writer
{
public:
    Writer(std::string filesRoot, uint64_t seed) : m_filesRoot(std::move(filesRoot)), m_seed(seed) {}

    void write(const FilePlan& plan, uint64_t index)
    {
        const fs::path path = fs::path(m_filesRoot) / plan.domain / plan.relativePath;
        const fs::path parent = path.parent_path();
        if (parent != m_lastFolder) {
            std::error_code error;
            fs::create_directories(parent, error);
            if (error)
                throw SimError("cannot create " + parent.string() + ": " + error.message());
            m_lastFolder = parent;
        }
        const uint64_t seed = hashText(plan.domain + "-" + plan.relativePath, m_seed);
        writeGeneratedFile(path.string(), seed, plan.size, kBaseTime + int64_t(index % 86400));
        ++report.files;
        report.bytes += plan.size;
    }

    void writeBytes(const std::string& domain, const std::string& relativePath, const std::string& bytes)
    {
        const fs::path path = fs::path(m_filesRoot) / domain / relativePath;
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        writeFileAtomicallyWithTime(path.string(), bytes);
        ++report.files;
        report.bytes += bytes.size();
    }

    GeneratorReport report;

private:
    static void writeFileAtomicallyWithTime(const std::string& path, const std::string& bytes)
    {
        writeFileAtomically(path, bytes);
        const timespec times[2] = {{kBaseTime, 0}, {kBaseTime, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }

    std::string m_filesRoot;
    uint64_t m_seed;
    fs::path m_lastFolder;
};

// Sizes that add up to total: most files small, a few large, in a deterministic order.
std::vector<uint64_t> spreadSizes(uint64_t count, uint64_t total, uint64_t seed)
{
    std::vector<uint64_t> sizes(count);
    if (count == 0)
        return sizes;
    ContentStream random(seed);
    std::vector<double> weights(count);
    double sum = 0;
    for (double& weight : weights) {
        const double u = double(random.next() >> 11) / double(1ull << 53);
        weight = u * u * u * u + 0.002;
        sum += weight;
    }
    uint64_t assigned = 0;
    for (uint64_t i = 0; i < count; ++i) {
        sizes[i] = uint64_t(double(total) * weights[i] / sum);
        assigned += sizes[i];
    }
    sizes[random.below(count)] += total - std::min(total, assigned);
    return sizes;
}

// A relative path for file number index of a domain, spread over folders of a few hundred files.
std::string pathFor(const std::string& domain, uint64_t index, uint64_t seed)
{
    const std::string folder = std::to_string(index / kFilesPerFolder);
    const std::string name = seededHex(hashText(domain, seed) ^ index, 8) + "_" + std::to_string(index);
    if (domain == "MediaDomain")
        return "Media/DCIM/" + std::to_string(100 + index / kFilesPerFolder) + "APPLE/IMG_" + name + ".JPG";
    if (domain == "HomeDomain")
        return "Library/Caches/Generated/" + folder + "/" + name + ".dat";
    if (domain == "CameraRollDomain")
        return "Media/PhotoData/Thumbnails/V2/" + folder + "/" + name + ".ithmb";
    if (domain.rfind("AppDomainGroup-", 0) == 0)
        return "Library/Application Support/" + folder + "/" + name + ".bin";
    if (domain.rfind("AppDomain-", 0) == 0)
        return (index % 3 == 0 ? "Library/Caches/" : "Documents/") + folder + "/" + name + ".dat";
    return "Library/Generated/" + folder + "/" + name + ".dat";
}

std::string purplebuddyPlist()
{
    PlistPtr dict = newDict();
    dictSetBool(dict.get(), "SetupDone", true);
    dictSetBool(dict.get(), "SetupFinishedAllSteps", true);
    dictSetString(dict.get(), "SetupLastExit", "Finish");
    return plistToBytes(dict.get(), PlistFormat::Binary);
}

void copyTree(const fs::path& from, const fs::path& to, Writer& writer)
{
    std::error_code error;
    if (!fs::is_directory(from, error))
        return;
    fs::create_directories(to, error);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    if (error)
        throw SimError("cannot copy " + from.string() + ": " + error.message());
    for (const auto& entry : fs::recursive_directory_iterator(to, error)) {
        if (entry.is_regular_file()) {
            ++writer.report.files;
            writer.report.bytes += entry.file_size();
        }
    }
}

} // namespace

GeneratorReport generateDevice(const std::string& folder, const GeneratorOptions& options)
{
    std::error_code error;
    if (fs::exists(fs::path(folder) / DeviceFolder::kDevicePlist, error))
        throw SimError(folder + " holds a device already");
    fs::create_directories(folder, error);
    if (error)
        throw SimError("cannot create " + folder + ": " + error.message());
    const uint64_t seed = options.seed;
    const std::string udid = options.udid.empty() ? seededHex(hashText("udid", seed), 40) : options.udid;
    if (!isValidUdid(udid))
        throw SimError("not a device identifier: " + udid);

    // Identity as lockdownd reports it.
    PlistPtr lockdown = newDict();
    plist_t values = lockdown.get();
    dictSetString(values, "UniqueDeviceID", udid);
    dictSetString(values, "DeviceName", options.deviceName);
    dictSetString(values, "ProductType", options.productType);
    dictSetString(values, "ProductVersion", options.productVersion);
    dictSetString(values, "BuildVersion", options.buildVersion);
    std::string serial = options.serialNumber;
    if (serial.empty()) {
        serial = "F" + seededHex(hashText("serial", seed), 11);
        std::transform(serial.begin(), serial.end(), serial.begin(), ::toupper);
    }
    dictSetString(values, "SerialNumber", serial);
    dictSetString(values, "MobileSubscriberCountryCode", options.countryCode);
    dictSetString(values, "MobileSubscriberNetworkCode", "10");
    dictSetString(values, "PhoneNumber", "+81 90-" + std::to_string(1000 + seed % 9000) + "-0000");
    const std::string mac = seededHex(hashText("wifi", seed), 12);
    dictSetString(values, "WiFiAddress",
                  mac.substr(0, 2) + ":" + mac.substr(2, 2) + ":" + mac.substr(4, 2) + ":" +
                      mac.substr(6, 2) + ":" + mac.substr(8, 2) + ":" + mac.substr(10, 2));
    dictSetString(values, "BluetoothAddress",
                  "f0:99:b6:" + mac.substr(6, 2) + ":" + mac.substr(8, 2) + ":" + mac.substr(10, 2));
    dictSetString(values, "HardwareModel", "N104AP");
    dictSetString(values, "CPUArchitecture", "arm64e");
    dictSetString(values, "DeviceColor", "1");
    dictSetString(values, "ProtocolVersion", "2");
    dictSetString(values, "TimeZone", "Asia/Tokyo");
    dictSetString(values, "ModelNumber", "MWLT2");
    dictSetString(values, "RegionInfo", "J/A");
    dictSetString(values, "InternationalMobileEquipmentIdentity",
                  "35" + std::to_string(100000000000ull + seed));
    dictSetUInt(values, "UniqueChipID", hashText("ecid", seed) >> 12);
    PlistPtr identity = newDict();
    dictSetNode(identity.get(), "Lockdown", std::move(lockdown));
    dictSetNode(identity.get(), "Domains", newDict());
    plistToFile(identity.get(), (fs::path(folder) / DeviceFolder::kDevicePlist).string(), PlistFormat::Xml);
    options.settings.save((fs::path(folder) / DeviceFolder::kSettingsPlist).string());
    DeviceKeys::loadOrCreate((fs::path(folder) / DeviceFolder::kKeyFile).string());

    // Apps.
    AppCatalog catalog;
    auto makeApp = [&](const std::string& bundleId, const std::string& name, const std::string& type) {
        AppRecord app;
        app.bundleId = bundleId;
        app.displayName = name;
        app.executable = name;
        app.version = std::to_string(1 + hashText(bundleId, seed) % 9) + ".0." + std::to_string(seed % 10);
        app.shortVersion = app.version;
        app.applicationType = type;
        app.containerUuid = seededUuid(hashText("container-" + bundleId, seed));
        app.bundleUuid = seededUuid(hashText("bundle-" + bundleId, seed));
        return app;
    };
    if (options.lineInstalled) {
        AppRecord line = makeApp(kLineBundleId, "LINE", "User");
        line.version = "13.1.0";
        line.shortVersion = "13.1.0";
        line.groupContainers[kLineGroupId] = seededUuid(hashText(std::string("group-") + kLineGroupId, seed));
        catalog.apps().push_back(line);
    }
    const size_t names = sizeof kAppNames / sizeof kAppNames[0];
    for (size_t i = 0; i < options.userApps; ++i) {
        const std::string name =
            std::string(kAppNames[i % names]) + (i >= names ? std::to_string(i / names) : "");
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        AppRecord app = makeApp("com.example." + lower, name, "User");
        if (i % 3 == 0)
            app.groupContainers["group.com.example." + lower] =
                seededUuid(hashText("group-com.example." + lower, seed));
        catalog.apps().push_back(app);
    }
    for (size_t i = 0; i < options.systemApps; ++i) {
        const std::string name = kAppNames[(names - 1 - i % names)];
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        catalog.apps().push_back(
            makeApp("com.apple." + lower + (i >= names ? std::to_string(i) : ""), name, "System"));
    }
    catalog.save((fs::path(folder) / DeviceFolder::kAppsPlist).string());

    // Files: system domains and other apps share otherFiles; LINE's containers get lineFiles.
    const std::string filesRoot = (fs::path(folder) / DeviceFolder::kFiles).string();
    fs::create_directories(filesRoot, error);
    fs::create_directories(fs::path(folder) / DeviceFolder::kAfc / "iTunes_Control" / "iTunes", error);
    Writer writer(filesRoot, seed);
    writer.writeBytes("HomeDomain", "Library/Preferences/com.apple.purplebuddy.plist", purplebuddyPlist());

    std::vector<std::string> otherDomains = {
        "HomeDomain",    "MediaDomain", "CameraRollDomain", "KeychainDomain", "SystemPreferencesDomain",
        "WirelessDomain"};
    for (const AppRecord& app : catalog.apps()) {
        if (app.applicationType != "User" || app.bundleId == kLineBundleId)
            continue;
        otherDomains.push_back(app.appDomain());
        for (const auto& group : app.groupContainers)
            otherDomains.push_back(AppRecord::groupDomain(group.first));
    }
    const std::vector<uint64_t> otherSizes =
        spreadSizes(options.otherFiles, options.otherBytes, seed ^ 0x5eed);
    std::vector<uint64_t> perDomain(otherDomains.size(), 0);
    for (uint64_t i = 0; i < options.otherFiles; ++i) {
        // HomeDomain and MediaDomain hold the most files, as on a real phone.
        const uint64_t pick = hashText("pick", seed ^ i) % 10;
        const size_t domainIndex = pick < 3 ? 0
                                   : pick < 5
                                       ? 1
                                       : 2 + size_t(hashText("app", seed ^ i) % (otherDomains.size() - 2));
        const std::string& domain = otherDomains[domainIndex];
        writer.write({domain, pathFor(domain, perDomain[domainIndex]++, seed), otherSizes[i]}, i);
    }

    if (options.lineInstalled) {
        writer.report.line.appFolder = filesRoot + "/" + kLineAppDomain;
        writer.report.line.groupFolder = filesRoot + "/" + kLineGroupDomain;
        fs::create_directories(writer.report.line.appFolder, error);
        fs::create_directories(writer.report.line.groupFolder, error);
        if (!options.lineSourceFolder.empty()) {
            copyTree(fs::path(options.lineSourceFolder) / kLineAppDomain, writer.report.line.appFolder,
                     writer);
            copyTree(fs::path(options.lineSourceFolder) / kLineGroupDomain, writer.report.line.groupFolder,
                     writer);
        } else if (!options.fillLine) {
            const std::vector<uint64_t> lineSizes =
                spreadSizes(options.lineFiles, options.lineBytes, seed ^ 0x11e);
            for (uint64_t i = 0; i < options.lineFiles; ++i) {
                const std::string domain = i % 2 ? kLineAppDomain : kLineGroupDomain;
                writer.write({domain, pathFor(domain, i / 2, seed), lineSizes[i]}, i);
            }
        }
        if (options.fillLine) {
            options.fillLine(writer.report.line);
            for (const std::string& root : {writer.report.line.appFolder, writer.report.line.groupFolder}) {
                for (auto it = fs::recursive_directory_iterator(root, error);
                     !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
                    if (it->is_regular_file(error)) {
                        ++writer.report.files;
                        writer.report.bytes += it->file_size(error);
                    }
                }
                error.clear();
            }
        }
    }
    writer.report.udid = udid;
    return writer.report;
}

} // namespace iphonesim
