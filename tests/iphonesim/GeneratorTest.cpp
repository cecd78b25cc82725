// The device-folder generator.
#include "AppCatalog.h"
#include "DeviceGenerator.h"
#include "Plist.h"
#include "SimDevice.h"
#include "SimError.h"
#include "SimTestSupport.h"

#include <QTemporaryDir>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

std::map<std::string, std::string> treeOf(const std::string& folder)
{
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder + "/files"))
        if (entry.is_regular_file())
            tree[entry.path().lexically_relative(folder).generic_string()] =
                readWholeFile(entry.path().string());
    return tree;
}

uint64_t bytesUnder(const std::string& folder)
{
    uint64_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            bytes += entry.file_size();
    return bytes;
}

TEST(GeneratorTest, SameSeedSameDevice)
{
    QTemporaryDir temp;
    const std::string first = temp.path().toStdString() + "/a";
    const std::string second = temp.path().toStdString() + "/b";
    const GeneratorReport report = generateDevice(first, smallDeviceOptions(3));
    generateDevice(second, smallDeviceOptions(3));
    EXPECT_EQ(treeOf(first), treeOf(second));
    EXPECT_EQ(readWholeFile(first + "/apps.plist"), readWholeFile(second + "/apps.plist"));
    GeneratorOptions other = smallDeviceOptions(4);
    const GeneratorReport third = generateDevice(temp.path().toStdString() + "/c", other);
    EXPECT_NE(third.udid, report.udid);
}

TEST(GeneratorTest, CountsAndSizesAreAsAsked)
{
    QTemporaryDir temp;
    GeneratorOptions options = smallDeviceOptions(11);
    options.otherFiles = 300;
    options.otherBytes = 3'000'000;
    options.lineFiles = 20;
    options.lineBytes = 200'000;
    const std::string folder = temp.path().toStdString() + "/device";
    const GeneratorReport report = generateDevice(folder, options);
    EXPECT_EQ(report.files, 300u + 20u + 1u); // and the setup assistant's preferences
    EXPECT_EQ(treeOf(folder).size(), report.files);
    EXPECT_EQ(bytesUnder(report.line.appFolder) + bytesUnder(report.line.groupFolder), 200'000u);
    EXPECT_EQ(bytesUnder(folder + "/files"), report.bytes);
    EXPECT_TRUE(fs::exists(folder + "/files/HomeDomain/Library/Preferences/com.apple.purplebuddy.plist"));
    std::shared_ptr<SimDevice> device = SimDevice::open(folder);
    EXPECT_EQ(device->udid(), report.udid);
    const AppRecord* line = device->apps().find(kLineBundleId);
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->groupContainers.count(kLineGroupId));
    EXPECT_EQ(device->devicePathOf(kLineAppDomain, "Documents/x"),
              "/var/mobile/Containers/Data/Application/" + line->containerUuid + "/Documents/x");
    EXPECT_EQ(device->devicePathOf(kLineGroupDomain, "a"),
              "/var/mobile/Containers/Shared/AppGroup/" + line->groupContainers.at(kLineGroupId) + "/a");
}

TEST(GeneratorTest, LineContentFromAFolderOrACallback)
{
    QTemporaryDir temp;
    const std::string source = temp.path().toStdString() + "/line";
    writeWholeFile(source + "/AppDomain-jp.naver.line/Library/Preferences/jp.naver.line.plist", "prefs");
    writeWholeFile(source + "/AppDomainGroup-group.com.linecorp.line/Library/Line.sqlite", "database");
    GeneratorOptions options = smallDeviceOptions(2);
    options.lineSourceFolder = source;
    const GeneratorReport copied = generateDevice(temp.path().toStdString() + "/copied", options);
    EXPECT_EQ(readWholeFile(copied.line.groupFolder + "/Library/Line.sqlite"), "database");
    EXPECT_EQ(bytesUnder(copied.line.appFolder), 5u);

    options.lineSourceFolder.clear();
    std::string calledWith;
    options.fillLine = [&](const LineContainers& containers) {
        calledWith = containers.groupFolder;
        writeWholeFile(containers.groupFolder + "/Library/Line.sqlite", "filled");
    };
    const GeneratorReport filled = generateDevice(temp.path().toStdString() + "/filled", options);
    EXPECT_EQ(calledWith, filled.line.groupFolder);
    EXPECT_EQ(readWholeFile(filled.line.groupFolder + "/Library/Line.sqlite"), "filled");
}

TEST(GeneratorTest, WithoutLineThereAreNoLineContainers)
{
    QTemporaryDir temp;
    GeneratorOptions options = smallDeviceOptions(8);
    options.lineInstalled = false;
    const std::string folder = temp.path().toStdString() + "/device";
    generateDevice(folder, options);
    EXPECT_FALSE(fs::exists(folder + "/files/AppDomain-jp.naver.line"));
    EXPECT_EQ(SimDevice::open(folder)->apps().find(kLineBundleId), nullptr);
}

TEST(GeneratorTest, RefusesAnExistingDeviceAndBadIdentifiers)
{
    QTemporaryDir temp;
    const std::string folder = temp.path().toStdString() + "/device";
    generateDevice(folder, smallDeviceOptions(1));
    EXPECT_THROW(generateDevice(folder, smallDeviceOptions(1)), SimError);
    GeneratorOptions options = smallDeviceOptions(1);
    options.udid = "../../etc";
    EXPECT_THROW(generateDevice(temp.path().toStdString() + "/other", options), SimError);
}

TEST(GeneratorTest, DeviceFolderWithoutIdentityIsRefused)
{
    QTemporaryDir temp;
    EXPECT_THROW(SimDevice::open(temp.path().toStdString()), SimError);
    writeWholeFile(temp.path().toStdString() + "/device.plist",
                   "<plist><dict><key>Lockdown</key><dict/></dict></plist>");
    EXPECT_THROW(SimDevice::open(temp.path().toStdString()), SimError);
}

} // namespace
