// The simulator's building blocks on their own: archives, paths, parsers and stores.
#include "AfcService.h"
#include "AppCatalog.h"
#include "AtomicFile.h"
#include "ContentStream.h"
#include "ControlChannel.h"
#include "DeviceSettings.h"
#include "FaultPlan.h"
#include "HostPairStore.h"
#include "ManifestEntry.h"
#include "Plist.h"
#include "PlistChannel.h"
#include "SimError.h"
#include "SimStream.h"
#include "SimTestSupport.h"
#include "UnixSocketServer.h"

#include <QTemporaryDir>
#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

TEST(ManifestEntryTest, MbFileArchiveRoundTrips)
{
    ManifestEntry entry;
    entry.domain = "AppDomain-jp.naver.line";
    entry.relativePath = "Library/Preferences/jp.naver.line.plist";
    entry.mode = 0100600;
    entry.inode = 0x1234567890ull;
    entry.lastModified = 1680307200;
    entry.lastStatusChange = 1680307300;
    entry.birth = 1680307100;
    entry.size = 5ull << 32;
    entry.protectionClass = 4;
    entry.encryptionKey = std::string("\x04\x00\x00\x00", 4) + std::string(40, 'k');
    entry.digest = std::string(20, 'd');
    ManifestEntry decoded;
    ASSERT_TRUE(decodeMbFile(encodeMbFile(entry), decoded));
    EXPECT_EQ(decoded.mode, entry.mode);
    EXPECT_EQ(decoded.inode, entry.inode);
    EXPECT_EQ(decoded.lastModified, entry.lastModified);
    EXPECT_EQ(decoded.lastStatusChange, entry.lastStatusChange);
    EXPECT_EQ(decoded.birth, entry.birth);
    EXPECT_EQ(decoded.size, entry.size);
    EXPECT_EQ(decoded.protectionClass, 4);
    EXPECT_EQ(decoded.encryptionKey, entry.encryptionKey);
    EXPECT_EQ(decoded.digest, entry.digest);
}

TEST(ManifestEntryTest, ArchiveLayoutIsThatOfDevices)
{
    ManifestEntry entry;
    entry.relativePath = "Documents/a.txt";
    PlistPtr archive = plistFromBytes(encodeMbFile(entry));
    EXPECT_EQ(dictString(archive.get(), "$archiver"), std::string("NSKeyedArchiver"));
    EXPECT_EQ(dictUInt(archive.get(), "$version"), 100000u);
    plist_t objects = dictItem(archive.get(), "$objects", PLIST_ARRAY);
    ASSERT_EQ(plist_array_get_size(objects), 4u);
    EXPECT_EQ(nodeString(plist_array_get_item(objects, 0)), std::string("$null"));
    EXPECT_EQ(nodeString(plist_array_get_item(objects, 2)), std::string("Documents/a.txt"));
    EXPECT_EQ(dictString(plist_array_get_item(objects, 3), "$classname"), std::string("MBFile"));
}

TEST(ManifestEntryTest, BrokenArchivesAreRejected)
{
    ManifestEntry entry;
    EXPECT_FALSE(decodeMbFile("", entry));
    EXPECT_FALSE(decodeMbFile("bplist00garbage", entry));
    PlistPtr archive = newDict();
    PlistPtr top = newDict();
    plist_dict_set_item(top.get(), "root", plist_new_uid(99)); // beyond $objects
    dictSetNode(archive.get(), "$top", std::move(top));
    dictSetNode(archive.get(), "$objects", newArray());
    EXPECT_FALSE(decodeMbFile(plistToBytes(archive.get(), PlistFormat::Binary), entry));
}

TEST(ManifestEntryTest, FileIdsAreSha1OfDomainAndPath)
{
    EXPECT_EQ(backupFileId("HomeDomain", "Library/Preferences/com.apple.purplebuddy.plist"),
              "80fa782261261e54bb73c0253e5b6beefb6a2f39");
    EXPECT_EQ(backupContentPath("80fa782261261e54bb73c0253e5b6beefb6a2f39"),
              "80/80fa782261261e54bb73c0253e5b6beefb6a2f39");
}

TEST(ManifestEntryTest, RelativePathsMustStayInsideTheDomain)
{
    EXPECT_TRUE(isSafeRelativePath(""));
    EXPECT_TRUE(isSafeRelativePath("Library/Caches/a b.db"));
    EXPECT_TRUE(isSafeRelativePath("..hidden/x"));
    EXPECT_FALSE(isSafeRelativePath("/etc/passwd"));
    EXPECT_FALSE(isSafeRelativePath("a/../../b"));
    EXPECT_FALSE(isSafeRelativePath(".."));
    EXPECT_FALSE(isSafeRelativePath("a//b"));
    EXPECT_FALSE(isSafeRelativePath("a/./b"));
    EXPECT_FALSE(isSafeRelativePath(std::string("a\0b", 3)));
}

TEST(AfcPathTest, PathsStayInsideTheMediaArea)
{
    EXPECT_EQ(AfcService::resolve("/root", "/iTunesRestore/RestoreApplications.plist"),
              "/root/iTunesRestore/RestoreApplications.plist");
    EXPECT_EQ(AfcService::resolve("/root", "a/./b/../c"), "/root/a/c");
    EXPECT_EQ(AfcService::resolve("/root", "/"), "/root");
    EXPECT_EQ(AfcService::resolve("/root", "../etc"), "");
    EXPECT_EQ(AfcService::resolve("/root", "a/../../etc"), "");
}

TEST(FaultPlanTest, ParsesEveryFault)
{
    std::string error;
    EXPECT_EQ(parseFault({"refuse"}, &error)->kind, FaultKind::Refuse);
    EXPECT_EQ(parseFault({"drop", "1024"}, &error)->dropAfterBytes, 1024u);
    const auto custom = parseFault({"error", "207", "Invalid", "password"}, &error);
    ASSERT_TRUE(custom);
    EXPECT_EQ(custom->code, 207u);
    EXPECT_EQ(custom->description, "Invalid password");
    EXPECT_FALSE(parseFault({"drop"}, &error));
    EXPECT_FALSE(parseFault({"drop", "-5"}, &error));
    EXPECT_FALSE(parseFault({"refuse", "now"}, &error));
    EXPECT_FALSE(parseFault({"melt"}, &error));
    EXPECT_EQ(error, "unknown fault melt");
    FaultPlan plan;
    plan.arm(*parseFault({"drop", "5"}, &error));
    plan.arm(*parseFault({"drop", "9"}, &error));
    EXPECT_EQ(plan.all().size(), 1u) << "re-arming replaces";
    EXPECT_EQ(plan.find(FaultKind::Drop)->dropAfterBytes, 9u);
    plan.clear();
    EXPECT_FALSE(plan.find(FaultKind::Drop));
}

TEST(ControlChannelTest, SplitsWordsWithQuotes)
{
    EXPECT_EQ(splitControlWords("attach \"/tmp/my device\"  now"),
              (std::vector<std::string>{"attach", "/tmp/my device", "now"}));
    EXPECT_EQ(splitControlWords("  "), std::vector<std::string>{});
    EXPECT_EQ(splitControlWords("set x BackupPassword \"\""),
              (std::vector<std::string>{"set", "x", "BackupPassword", ""}));
}

TEST(DeviceSettingsTest, SetLoadAndSave)
{
    QTemporaryDir temp;
    const std::string path = temp.path().toStdString() + "/settings.plist";
    DeviceSettings settings;
    EXPECT_TRUE(settings.set("FindMyiPhone", "on"));
    EXPECT_TRUE(settings.set("FreeSpace", "12345"));
    EXPECT_TRUE(settings.set("TrustMode", "dialog"));
    EXPECT_FALSE(settings.set("TrustMode", "maybe"));
    EXPECT_FALSE(settings.set("FreeSpace", "lots"));
    EXPECT_FALSE(settings.set("Colour", "red"));
    settings.save(path);
    const DeviceSettings loaded = DeviceSettings::load(path);
    EXPECT_TRUE(loaded.findMyIPhone);
    EXPECT_EQ(loaded.freeSpace, 12345u);
    EXPECT_EQ(loaded.trust, TrustMode::Dialog);
    writeWholeFile(path, "garbage");
    EXPECT_EQ(DeviceSettings::load(path).trust, TrustMode::Automatic) << "unreadable settings are defaults";
}

TEST(AppCatalogTest, SkipsEntriesThatCannotBeUsed)
{
    QTemporaryDir temp;
    const std::string path = temp.path().toStdString() + "/apps.plist";
    PlistPtr list = newArray();
    auto app = [&](const std::string& id, const std::string& uuid) {
        PlistPtr item = newDict();
        dictSetString(item.get(), "CFBundleIdentifier", id);
        dictSetString(item.get(), "ContainerUUID", uuid);
        plist_array_append_item(list.get(), item.release());
    };
    app("jp.naver.line", "18BDDF27-46BA-41E7-71F9-25B3E2C19F3C");
    app("bad/id", "18BDDF27-46BA-41E7-71F9-25B3E2C19F3D");
    app("com.example.nouuid", "not-a-uuid");
    PlistPtr root = newDict();
    dictSetNode(root.get(), "Applications", std::move(list));
    plistToFile(root.get(), path, PlistFormat::Xml);
    const AppCatalog catalog = AppCatalog::load(path);
    ASSERT_EQ(catalog.apps().size(), 1u);
    EXPECT_EQ(catalog.ownerOfDomain("AppDomain-jp.naver.line"), &catalog.apps()[0]);
    EXPECT_EQ(catalog.ownerOfDomain("HomeDomain"), nullptr);
}

TEST(HostPairStoreTest, RecordIdsAreFileNamesOnly)
{
    QTemporaryDir temp;
    HostPairStore store(temp.path().toStdString());
    EXPECT_TRUE(store.save("00008030-001D35093EF2402E", "record"));
    EXPECT_EQ(store.read("00008030-001D35093EF2402E"), std::string("record"));
    EXPECT_FALSE(store.save("../x", "record"));
    EXPECT_FALSE(store.save("a/b", "record"));
    EXPECT_FALSE(store.save("", "record"));
    EXPECT_EQ(store.recordIds(), std::vector<std::string>{"00008030-001D35093EF2402E"});
    const std::string buid = store.systemBuid();
    EXPECT_EQ(store.systemBuid(), buid);
}

TEST(AtomicFileTest, UncommittedWritesLeaveNothing)
{
    QTemporaryDir temp;
    const std::string path = temp.path().toStdString() + "/file";
    writeWholeFile(path, "old");
    {
        AtomicFileWriter writer(path);
        writer.write("new", 3);
    }
    EXPECT_EQ(readWholeFile(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path().toStdString()), fs::directory_iterator()), 1);
    writeFileAtomically(path, "new");
    EXPECT_EQ(readWholeFile(path), "new");
}

TEST(ContentStreamTest, SameSeedSameBytes)
{
    char first[100];
    char second[100];
    ContentStream(5).fill(first, sizeof first);
    ContentStream(5).fill(second, sizeof second);
    EXPECT_EQ(std::string(first, 100), std::string(second, 100));
    ContentStream(6).fill(second, sizeof second);
    EXPECT_NE(std::string(first, 100), std::string(second, 100));
    EXPECT_EQ(seededUuid(1).size(), 36u);
    EXPECT_TRUE(isUuid(seededUuid(1)));
}

TEST(PlistTest, NulCharactersFromClientsDoNotAbort)
{
    // libplist 2.2 asserts when a string or a key read the usual way holds a NUL character.
    const std::string xml = std::string("<plist version=\"1.0\"><dict><key>Name</key><string>ab") + '\0' +
                            "cd</string><key>x" + '\0' + "y</key><string>v</string></dict></plist>";
    PlistPtr root = plistFromBytes(xml);
    ASSERT_TRUE(root);
    const std::string name = dictString(root.get(), "Name").value_or("");
    EXPECT_EQ(name.substr(0, 2), "ab");
    EXPECT_NE(name.find('\0'), std::string::npos) << "the NUL stays, for the checks of names and paths";
    EXPECT_TRUE(dictItems(root.get()).empty()) << "a dictionary whose keys cannot be read is not listed";
    PlistPtr clean = newDict();
    dictSetString(clean.get(), "a", "1");
    dictSetString(clean.get(), "b", "2");
    EXPECT_EQ(dictItems(clean.get()).size(), 2u);
}

TEST(PlistChannelTest, OversizedAndInvalidMessagesAreRefused)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    SimStream device{FdHandle(pair[0])};
    SimStream host{FdHandle(pair[1])};
    PlistChannel channel(device, 1024);
    const uint32_t huge = htonl(1u << 30);
    host.writeAll(&huge, 4);
    EXPECT_THROW(channel.receive(), SimError);
    const std::string junk = "0123456789";
    const uint32_t length = htonl(uint32_t(junk.size()));
    host.writeAll(&length, 4);
    host.writeAll(junk);
    EXPECT_THROW(channel.receive(), SimError);
    PlistPtr message = newDict();
    dictSetString(message.get(), "Request", "QueryType");
    PlistChannel(host).send(message.get(), PlistFormat::Binary);
    EXPECT_EQ(dictString(channel.receive().get(), "Request"), std::string("QueryType"));
    host.abort();
    EXPECT_THROW(channel.receive(), ConnectionClosed);
}

double processCpuSeconds()
{
    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

TEST(UnixSocketServerTest, RunningOutOfDescriptorsNeitherEndsNorSpinsTheAcceptLoop)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("echo.sock").toStdString();
    UnixSocketServer server(path, "echo", [](SimStream& stream) {
        char byte = 0;
        stream.readExact(&byte, 1);
        stream.writeAll(&byte, 1);
    });
    server.start();
    FdHandle client(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_TRUE(client.valid());

    // Every descriptor taken: the connection waits in the backlog and every accept fails with EMFILE.
    rlimit original = {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &original), 0);
    const int lowest = ::dup(0);
    ASSERT_GE(lowest, 0);
    rlimit lowered = original;
    lowered.rlim_cur = rlim_t(lowest) + 16;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    std::vector<FdHandle> taken;
    taken.emplace_back(lowest);
    for (int fd = ::dup(0); fd >= 0; fd = ::dup(0))
        taken.emplace_back(fd);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(client.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const double cpuBefore = processCpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const double cpuUsed = processCpuSeconds() - cpuBefore;
    taken.clear();
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &original), 0);
    EXPECT_LT(cpuUsed, 0.05) << "the accept loop spins while accept fails";

    // Descriptors free again: the waiting connection is served.
    timeval timeout = {5, 0};
    ::setsockopt(client.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ASSERT_EQ(::write(client.get(), "e", 1), 1);
    char echoed = 0;
    ASSERT_EQ(::read(client.get(), &echoed, 1), 1);
    EXPECT_EQ(echoed, 'e');
    server.stop();
    EXPECT_FALSE(fs::exists(path));
}

} // namespace
