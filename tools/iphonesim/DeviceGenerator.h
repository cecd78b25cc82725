#pragma once

#include "DeviceSettings.h"

#include <cstdint>
#include <functional>
#include <string>

namespace iphonesim {

// LINE's bundle, app group and backup domains.
constexpr const char* kLineBundleId = "jp.naver.line";
constexpr const char* kLineGroupId = "group.com.linecorp.line";
constexpr const char* kLineAppDomain = "AppDomain-jp.naver.line";
constexpr const char* kLineGroupDomain = "AppDomainGroup-group.com.linecorp.line";

// The folders of LINE's two containers in a generated device folder.
struct LineContainers
{
    std::string appFolder;   // files/AppDomain-jp.naver.line
    std::string groupFolder; // files/AppDomainGroup-group.com.linecorp.line
};

struct GeneratorOptions
{
    uint64_t seed = 1;
    std::string udid; // default: 40 hexadecimal digits made from the seed
    std::string deviceName = "Simulated iPhone";
    std::string productType = "iPhone12,1";
    std::string productVersion = "15.7";
    std::string buildVersion = "19H12";
    std::string countryCode = "440"; // MobileSubscriberCountryCode
    std::string serialNumber;        // default: made from the seed

    size_t userApps = 8;   // user apps besides LINE, each with a data container
    size_t systemApps = 3; // system apps (listed by the installation proxy, no backup data)
    // Files of the other apps and the system domains, and their total size. Sizes vary; a handful of large
    // files carry much of the total, as on real devices.
    uint64_t otherFiles = 200;
    uint64_t otherBytes = 16ull << 20;

    bool lineInstalled = true;
    uint64_t lineFiles = 40; // generated files in LINE's two containers
    uint64_t lineBytes = 2ull << 20;
    // Instead of generated files, copy the trees "AppDomain-jp.naver.line" and
    // "AppDomainGroup-group.com.linecorp.line" of this folder into LINE's containers.
    std::string lineSourceFolder;
    // Called after LINE's containers exist, to put real LINE content into them (lineFixtureFiller of
    // LineContent.h: the LINE fixture builder's store); its files count in the report.
    std::function<void(const LineContainers&)> fillLine;

    DeviceSettings settings;
};

struct GeneratorReport
{
    std::string udid;
    uint64_t files = 0; // regular files written under files/
    uint64_t bytes = 0;
    LineContainers line;
};

// Fills a device folder (creating it; an existing device folder is refused) with identity, settings, apps,
// key and the files of every domain. Deterministic for a seed; files are written in chunks. Throws SimError.
GeneratorReport generateDevice(const std::string& folder, const GeneratorOptions& options);

} // namespace iphonesim
