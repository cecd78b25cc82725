// ideviceinfo, idevicepair and ideviceinstaller against the simulated device.
#include "DevicePairings.h"
#include "Plist.h"
#include "SimDevice.h"
#include "SimTestSupport.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

class LockdownToolsTest : public SimulatorTest
{
};

TEST_F(LockdownToolsTest, IdeviceinfoPrintsTheIdentity)
{
    const ToolRun run = runTool("ideviceinfo", {});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QString::fromStdString("UniqueDeviceID: " + m_udid)));
    EXPECT_TRUE(run.output.contains("DeviceName: Simulated iPhone"));
    EXPECT_TRUE(run.output.contains("ProductVersion: 15.7"));
    EXPECT_TRUE(run.output.contains("ProductType: iPhone12,1"));
    EXPECT_TRUE(run.output.contains("MobileSubscriberCountryCode: 440"));
    EXPECT_TRUE(run.output.contains("SerialNumber: "));
}

TEST_F(LockdownToolsTest, IdeviceinfoReadsOneKeyAndTheBackupDomain)
{
    ToolRun run = runTool("ideviceinfo", {"-k", "ProductVersion"});
    EXPECT_EQ(run.output.trimmed().toStdString(), "15.7");
    control("set " + m_udid + " CloudBackupEnabled true");
    control("set " + m_udid + " WillEncrypt yes");
    run = runTool("ideviceinfo", {"-q", "com.apple.mobile.backup"});
    EXPECT_TRUE(run.output.contains("CloudBackupEnabled: true")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("WillEncrypt: true"));
    run = runTool("ideviceinfo", {"-q", "com.apple.mobile.backup", "-k", "CloudBackupEnabled"});
    EXPECT_EQ(run.output.trimmed().toStdString(), "true");
    run = runTool("ideviceinfo", {"-k", "NoSuchKey"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.trimmed().isEmpty()) << run.output.toStdString();
}

TEST_F(LockdownToolsTest, WithoutSessionOnlyBasicValuesAreReadable)
{
    const ToolRun run = runTool("ideviceinfo", {"-s"});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("ProductVersion: 15.7"));
    EXPECT_FALSE(run.output.contains("SerialNumber")) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains("MobileSubscriberCountryCode"));
    // No session: no pairing was needed.
    EXPECT_FALSE(fs::exists(pairRecordFolder() + "/" + m_udid + ".plist"));
}

TEST_F(LockdownToolsTest, PairingStoresRecordsOnBothSides)
{
    const ToolRun run = runTool("idevicepair", {"pair"});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("SUCCESS: Paired"));
    PlistPtr record = plistFromFile(pairRecordFolder() + "/" + m_udid + ".plist");
    ASSERT_TRUE(record);
    const std::string hostId = dictString(record.get(), "HostID").value_or("");
    EXPECT_TRUE(dictData(record.get(), "DeviceCertificate"));
    EXPECT_TRUE(dictData(record.get(), "EscrowBag")) << "the device's escrow bag is kept";
    EXPECT_EQ(control("pairings " + m_udid), "OK " + hostId);
    const ToolRun buid = runTool("idevicepair", {"systembuid"});
    EXPECT_EQ(buid.output.trimmed().toStdString(), dictString(record.get(), "SystemBUID").value_or("?"));
}

TEST_F(LockdownToolsTest, ValidateThenUnpairRemovesBothRecords)
{
    ASSERT_EQ(runTool("idevicepair", {"pair"}).exitCode, 0);
    ToolRun run = runTool("idevicepair", {"validate"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("SUCCESS: Validated"));
    run = runTool("idevicepair", {"unpair"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_FALSE(fs::exists(pairRecordFolder() + "/" + m_udid + ".plist"));
    EXPECT_EQ(control("pairings " + m_udid), "OK ");
}

TEST_F(LockdownToolsTest, TrustDialogKeepsPairingPendingUntilAccepted)
{
    control("trust " + m_udid + " dialog");
    ToolRun run = runTool("idevicepair", {"pair"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("Please accept the trust dialog")) << run.output.toStdString();
    EXPECT_FALSE(fs::exists(pairRecordFolder() + "/" + m_udid + ".plist"));
    control("accept " + m_udid);
    run = runTool("idevicepair", {"pair"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
}

TEST_F(LockdownToolsTest, DeniedTrustIsReportedOnceThenTheDialogShowsAgain)
{
    control("deny " + m_udid);
    ToolRun run = runTool("idevicepair", {"pair"});
    EXPECT_TRUE(run.output.contains("user denied the trust dialog")) << run.output.toStdString();
    run = runTool("idevicepair", {"pair"});
    EXPECT_TRUE(run.output.contains("Please accept the trust dialog")) << run.output.toStdString();
}

TEST_F(LockdownToolsTest, PasscodeLockedDeviceRefusesPairing)
{
    control("trust " + m_udid + " locked");
    const ToolRun run = runTool("idevicepair", {"pair"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("a passcode is set")) << run.output.toStdString();
}

TEST_F(LockdownToolsTest, ForgottenComputerCannotStartASession)
{
    ASSERT_EQ(runTool("idevicepair", {"pair"}).exitCode, 0);
    control("untrust " + m_udid);
    const ToolRun run = runTool("idevicepair", {"validate"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains("is not paired with this host")) << run.output.toStdString();
    EXPECT_NE(runTool("ideviceinfo", {"-k", "DeviceName"}).exitCode, 0);
}

TEST_F(LockdownToolsTest, IdeviceinstallerListsTheGeneratedApps)
{
    ToolRun run = runTool("ideviceinstaller", {"-l"});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("jp.naver.line, \"13.1.0\", \"LINE\""));
    std::shared_ptr<SimDevice> device = m_simulator->device(m_udid);
    size_t users = 0;
    for (const AppRecord& app : device->apps().apps()) {
        const bool listed = run.output.contains(QString::fromStdString(app.bundleId + ","));
        EXPECT_EQ(listed, app.applicationType == "User") << app.bundleId;
        users += app.applicationType == "User";
    }
    EXPECT_EQ(size_t(run.output.trimmed().split('\n').size()), users + 1); // the header line
    run = runTool("ideviceinstaller", {"-l", "-o", "list_all"});
    for (const AppRecord& app : device->apps().apps())
        EXPECT_TRUE(run.output.contains(QString::fromStdString(app.bundleId + ","))) << app.bundleId;
}

// Two apps per answer: the list arrives in several "BrowsingApplications" pages.
class SmallPagesTest : public SimulatorTest
{
protected:
    GeneratorOptions deviceOptions() const override
    {
        GeneratorOptions options = smallDeviceOptions();
        options.userApps = 9;
        return options;
    }
    void adjustOptions(SimulatorOptions& options) const override { options.services.browsePageSize = 2; }
};

TEST_F(SmallPagesTest, IdeviceinstallerCollectsEveryPage)
{
    const ToolRun run = runTool("ideviceinstaller", {"-l"});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_EQ(run.output.trimmed().split('\n').size(), 1 + 10)
        << run.output.toStdString(); // header, LINE, 9 apps
    for (const AppRecord& app : m_simulator->device(m_udid)->apps().apps()) {
        if (app.applicationType == "User") {
            EXPECT_TRUE(run.output.contains(QString::fromStdString(app.bundleId + ","))) << app.bundleId;
        }
    }
}

TEST_F(LockdownToolsTest, BrowseXmlCarriesContainersAndHome)
{
    const ToolRun run = runTool("ideviceinstaller", {"-l", "-o", "xml"});
    ASSERT_EQ(run.exitCode, 0);
    PlistPtr apps = plistFromBytes(run.output.toStdString());
    ASSERT_TRUE(apps);
    const AppRecord* line = m_simulator->device(m_udid)->apps().find("jp.naver.line");
    ASSERT_TRUE(line);
    bool found = false;
    for (uint32_t i = 0; i < plist_array_get_size(apps.get()); ++i) {
        plist_t app = plist_array_get_item(apps.get(), i);
        if (dictString(app, "CFBundleIdentifier") != std::string("jp.naver.line"))
            continue;
        found = true;
        EXPECT_EQ(dictString(app, "Container"), line->containerPath());
        EXPECT_EQ(dictString(dictItem(app, "EnvironmentVariables", PLIST_DICT), "HOME"),
                  line->containerPath());
        EXPECT_EQ(dictString(dictItem(app, "GroupContainers", PLIST_DICT), "group.com.linecorp.line"),
                  AppRecord::groupContainerPath(line->groupContainers.at("group.com.linecorp.line")));
    }
    EXPECT_TRUE(found);
}

} // namespace
