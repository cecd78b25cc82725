// The device layer's pieces that need no device: the engine's texts, the path checks, the partial store's
// keep decision and listings, the partial backup folder, the settings pre-check and the remote option.
#include "TestFiles.h"
#include "device/Backup2ErrorText.h"
#include "device/DeviceBackupPath.h"
#include "device/DeviceBackupSettings.h"
#include "device/DeviceInfo.h"
#include "device/FakeBackup2ToolHook.h"
#include "device/PartialBackupRoot.h"
#include "device/RemoteSystemMode.h"
#include "platform/AppDataDir.h"
#include "platform/Win32KillProcessesThread.h"
#include "storage/Sqlite3DB.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kUdid = QStringLiteral("00008030-001A2B3C4D5E802E");
const QString kLineUuid = QStringLiteral("5A1C37E0-7A44-4C6B-9E0A-9D5F1D0C2B11");
const QString kLineGroupUuid = QStringLiteral("0F3E2D1C-BBBB-4A4A-8C8C-123456789ABC");
const QString kOtherUuid = QStringLiteral("11111111-2222-3333-4444-555555555555");

QString fileIdLike(char first, char second)
{
    return QString(QLatin1Char(first)) + QLatin1Char(second) + QString(38, QLatin1Char('0'));
}

TEST(Backup2ErrorTextTest, SizesAndMessages)
{
    EXPECT_EQ(Backup2ErrorText::sizeText(999), QStringLiteral("999 Bytes"));
    EXPECT_EQ(Backup2ErrorText::sizeText(1000), QStringLiteral("1.0 KB"));
    EXPECT_EQ(Backup2ErrorText::sizeText(1500000), QStringLiteral("1.5 MB"));
    EXPECT_EQ(Backup2ErrorText::sizeText(2000000000LL), QStringLiteral("2.0 GB"));

    const QString findMy = Backup2ErrorText::message(
        211, QStringLiteral("Find My iPhone must be disabled before restoring (MBErrorDomain/211)"), true);
    EXPECT_TRUE(findMy.startsWith(QStringLiteral("error code:-37. "))) << findMy.toStdString();
    EXPECT_TRUE(findMy.endsWith(QStringLiteral("\n\nFind My iPhone must be disabled before restoring "
                                               "(MBErrorDomain/211)")));

    const QString backupFull = Backup2ErrorText::message(
        105, QStringLiteral("Insufficient free disk space on drive to back up (MBErrorDomain/105)"), false);
    EXPECT_TRUE(
        backupFull.startsWith(QStringLiteral("error code:-36. Insufficient free disk space on drive")));
    const QString restoreFull = Backup2ErrorText::message(100, QStringLiteral("no room"), true);
    EXPECT_TRUE(
        restoreFull.startsWith(QStringLiteral("error code:-36. Insufficient free disk space on device")));
    EXPECT_TRUE(Backup2ErrorText::message(4, QStringLiteral("Could not receive a file"), false)
                    .startsWith(QStringLiteral("error code:-10. Error attaching to device.")));
    EXPECT_EQ(Backup2ErrorText::message(208, QString(), false),
              QStringLiteral("error code:208. Please restart your iPhone to try again."));
    EXPECT_EQ(Backup2ErrorText::message(208, QStringLiteral("  Device locked (MBErrorDomain/208) "), false),
              QStringLiteral("error code:208.\n\nDevice locked (MBErrorDomain/208)"));
    EXPECT_TRUE(
        Backup2ErrorText::message(102,
                                  QStringLiteral("Failed to move the incomplete restore directory into "
                                                 "place at path \"/var/.backup.i\""),
                                  true)
            .contains(QStringLiteral("Please restart your iPhone first.\n\nFailed to move")));
}

TEST(DeviceBackupPathTest, PathsStayInsideTheRootThroughRealFolders)
{
    QTemporaryDir temp;
    const QDir root(temp.filePath(QStringLiteral("root")));
    ASSERT_TRUE(QDir().mkpath(root.filePath(kUdid + QStringLiteral("/Snapshot"))));
    ASSERT_TRUE(QDir().mkpath(temp.filePath(QStringLiteral("outside"))));
    ASSERT_TRUE(QFile::link(temp.filePath(QStringLiteral("outside")),
                            root.filePath(kUdid + QStringLiteral("/link"))));
    writeFileBytes(temp.filePath(QStringLiteral("outside/file")), "x");
    ASSERT_TRUE(QFile::link(temp.filePath(QStringLiteral("outside/file")),
                            root.filePath(kUdid + QStringLiteral("/Snapshot/fileLink"))));

    const QString good = DeviceBackupPath::resolve(root, kUdid + QStringLiteral("/Snapshot/ab/new"));
    EXPECT_EQ(good, root.filePath(kUdid + QStringLiteral("/Snapshot/ab/new")));
    QString error;
    for (const QString& bad :
         {QStringLiteral("../escape"), kUdid + QStringLiteral("/../../escape"), QStringLiteral("/etc/passwd"),
          temp.filePath(QStringLiteral("outside/file")), kUdid + QStringLiteral("/link/file"),
          kUdid + QStringLiteral("/link"), kUdid + QStringLiteral("/Snapshot/fileLink"), QString()}) {
        error.clear();
        EXPECT_TRUE(DeviceBackupPath::resolve(root, bad, &error).isEmpty()) << bad.toStdString();
        EXPECT_FALSE(error.isEmpty()) << bad.toStdString();
    }
}

TEST(DeviceInfoTest, VersionNumbers)
{
    DeviceInfo device;
    device.productVersion = QStringLiteral("12.4.1");
    EXPECT_EQ(versionNumbers(device), QList<int>({12, 4, 1}));
    EXPECT_TRUE(versionAtLeast(device, 12, 4));
    EXPECT_FALSE(versionAtLeast(device, 12, 5));
    device.productVersion = QStringLiteral("12.4");
    EXPECT_EQ(versionNumbers(device), QList<int>({12, 4}));
    device.productVersion.clear();
    EXPECT_TRUE(versionNumbers(device).isEmpty());
    EXPECT_FALSE(versionAtLeast(device, 1));
}

class PartialStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        root = QDir(temp.path());
        hook.wantedApps = {QStringLiteral("jp.naver.line")};
        PlistCFType line = PlistCFType::newDict();
        line.setValue(QStringLiteral("CFBundleIdentifier"),
                      PlistCFType::newString(QStringLiteral("jp.naver.line")));
        line.setValue(QStringLiteral("Container"),
                      PlistCFType::newString(
                          QStringLiteral("/private/var/mobile/Containers/Data/Application/") + kLineUuid));
        PlistCFType groups = PlistCFType::newDict();
        groups.setValue(
            QStringLiteral("group.com.linecorp.line"),
            PlistCFType::newString(QStringLiteral("/private/var/mobile/Containers/Shared/AppGroup/") +
                                   kLineGroupUuid));
        line.setValue(QStringLiteral("GroupContainers"), groups);
        PlistCFType other = PlistCFType::newDict();
        other.setValue(QStringLiteral("CFBundleIdentifier"),
                       PlistCFType::newString(QStringLiteral("com.example")));
        other.setValue(
            QStringLiteral("Container"),
            PlistCFType::newString(QStringLiteral("/var/mobile/Containers/Data/Application/") + kOtherUuid));
        hook.learnContainers({line, other});
    }

    // The device announcing and sending one file the way the engine drives the hook.
    void receive(const QString& backupPath, const QString& devicePath, const QByteArray& bytes)
    {
        hook.fileIncoming(root, kUdid, backupPath, devicePath);
        QFile file(root.filePath(backupPath));
        QString error;
        ASSERT_EQ(hook.openForWrite(root, backupPath, file, error), 0);
        if (file.isOpen())
            file.write(bytes);
        file.close();
        hook.fileReceived(root, backupPath, bytes.size());
    }

    QTemporaryDir temp;
    QDir root;
    FakeBackup2ToolHook hook;
};

TEST_F(PartialStoreTest, KeepsMetadataAndLinesContainersAndListsTheRest)
{
    const QString lineFile = fileIdLike('3', 'd');
    const QString groupFile = fileIdLike('3', 'e');
    const QString systemFile = fileIdLike('3', 'd').replace(2, 1, QLatin1Char('1'));
    const QString otherAppFile = fileIdLike('a', '7');
    const QString snapshot = kUdid + QStringLiteral("/Snapshot/");
    receive(snapshot + QStringLiteral("3d/") + lineFile,
            QStringLiteral("/var/mobile/Containers/Data/Application/") + kLineUuid.toLower() +
                QStringLiteral("/Library/x"),
            "line");
    receive(snapshot + QStringLiteral("3e/") + groupFile,
            QStringLiteral("/var/mobile/Containers/Shared/AppGroup/") + kLineGroupUuid +
                QStringLiteral("/Library/y"),
            "group");
    receive(snapshot + QStringLiteral("3d/") + systemFile, QStringLiteral("/var/mobile/Library/Notes/n"),
            "system");
    receive(snapshot + QStringLiteral("a7/") + otherAppFile,
            QStringLiteral("/var/mobile/Containers/Data/Application/") + kOtherUuid + QStringLiteral("/z"),
            "other");
    receive(snapshot + QStringLiteral("MANIFEST.DB"), QStringLiteral("/var/mobile/Media/anything"), "db");

    EXPECT_TRUE(QFileInfo::exists(root.filePath(snapshot + QStringLiteral("3d/") + lineFile)));
    EXPECT_TRUE(QFileInfo::exists(root.filePath(snapshot + QStringLiteral("3e/") + groupFile)));
    EXPECT_TRUE(QFileInfo::exists(root.filePath(snapshot + QStringLiteral("MANIFEST.DB"))));
    EXPECT_FALSE(QFileInfo::exists(root.filePath(snapshot + QStringLiteral("3d/") + systemFile)));
    EXPECT_FALSE(QFileInfo::exists(root.filePath(snapshot + QStringLiteral("a7/") + otherAppFile)));

    // The snapshot folder is listed as it is on disk; moving into place keeps thrown-away files listed.
    EXPECT_EQ(hook.listDirectory(root, kUdid + QStringLiteral("/Snapshot")).size(), 3);
    QString error;
    for (const QString& name : {lineFile, groupFile, systemFile, otherAppFile}) {
        const QString prefix = name.left(2) + QLatin1Char('/');
        EXPECT_EQ(hook.move(root, snapshot + prefix + name, kUdid + QLatin1Char('/') + prefix + name, error),
                  0);
    }
    EXPECT_EQ(hook.remove(root, kUdid + QStringLiteral("/Snapshot"), error), 0);
    EXPECT_EQ(hook.names.listDir(QString()).size(), 3 + 1) << "3d, 3e, a7 and MANIFEST.DB";
    const QList<Backup2DirEntry> folder3d = hook.listDirectory(root, kUdid + QStringLiteral("/3d"));
    ASSERT_EQ(folder3d.size(), 2);
    for (const Backup2DirEntry& entry : folder3d)
        EXPECT_EQ(entry.size, entry.name == lineFile ? 4 : 6) << entry.name.toStdString();

    // A kept file that went missing on disk is left out, so the device sends it again.
    QFile::remove(root.filePath(kUdid + QStringLiteral("/3d/") + lineFile));
    EXPECT_EQ(hook.listDirectory(root, kUdid + QStringLiteral("/3d")).size(), 1);
    // Removing inside the snapshot keeps the row; removing a content file forgets it.
    hook.remove(root, kUdid + QStringLiteral("/Snapshot/a7/") + otherAppFile, error);
    EXPECT_EQ(hook.names.listDir(QStringLiteral("a7")).size(), 1);
    hook.remove(root, kUdid + QStringLiteral("/a7/") + otherAppFile, error);
    EXPECT_TRUE(hook.names.listDir(QStringLiteral("a7")).isEmpty());

    // With keepOtherFiles, system files are kept while other apps' files still are not.
    hook.keepOtherFiles = true;
    EXPECT_TRUE(
        hook.isWanted(QStringLiteral("x/") + systemFile, QStringLiteral("/var/mobile/Library/Notes/n")));
    EXPECT_FALSE(hook.isWanted(QStringLiteral("x/") + otherAppFile,
                               QStringLiteral("/var/mobile/Containers/Data/Application/") + kOtherUuid));
    EXPECT_TRUE(hook.isWanted(QStringLiteral("x/Status.plist"), QString()));
    EXPECT_TRUE(hook.isWanted(QStringLiteral("x/80fa782261261e54bb73c0253e5b6beefb6a2f39"), QString()));
}

TEST_F(PartialStoreTest, RowsAreCommittedWhenTheNamesClose)
{
    const QString snapshot = kUdid + QStringLiteral("/Snapshot/");
    for (int i = 0; i < 2000; ++i) {
        const QString name = QStringLiteral("%1").arg(i * 7919, 40, 16, QLatin1Char('0'));
        hook.fileIncoming(root, kUdid, snapshot + name.left(2) + QLatin1Char('/') + name,
                          QStringLiteral("/var/x"));
    }
    EXPECT_EQ(hook.names.rowsWritten, 2000);
    // Another connection sees nothing of a run that has not finished.
    Sqlite3DB reader;
    reader.openFile(root.filePath(kUdid + QStringLiteral("/dname.sqlite")), Sqlite3DB::OpenReadOnly);
    EXPECT_EQ(reader.queryInt64("select count(*) from dname"), 0);
    reader.close();
    hook.names.closeNames();
    reader.openFile(root.filePath(kUdid + QStringLiteral("/dname.sqlite")), Sqlite3DB::OpenReadOnly);
    EXPECT_EQ(reader.queryInt64("select count(*) from dname"), 2000);
    // A folder lists exactly its names, found as a range of them.
    int inFolder = 0;
    for (int i = 0; i < 2000; ++i)
        inFolder +=
            QStringLiteral("%1").arg(i * 7919, 40, 16, QLatin1Char('0')).startsWith(QStringLiteral("00"));
    EXPECT_EQ(hook.names.listDir(QStringLiteral("00")).size(), 0) << "closed names list nothing";
    ASSERT_TRUE(hook.names.openNames(root.filePath(kUdid + QStringLiteral("/dname.sqlite")), nullptr));
    EXPECT_EQ(hook.names.listDir(QStringLiteral("00")).size(), inFolder);
    EXPECT_GT(inFolder, 0);
}

TEST(PlainHookTest, CopyAndMoveFollowTheFolderRules)
{
    QTemporaryDir temp;
    const QDir root(temp.path());
    writeFileBytes(root.filePath(QStringLiteral("u/file")), "content");
    QDir().mkpath(root.filePath(QStringLiteral("u/folder")));
    Backup2ToolHook hook;
    QString error;
    EXPECT_EQ(hook.copy(root, QStringLiteral("u/file"), QStringLiteral("u/folder"), error),
              QFileDevice::CopyError);
    EXPECT_EQ(error, QStringLiteral("Destination is a folder."));
    EXPECT_EQ(hook.copy(root, QStringLiteral("u/folder"), QStringLiteral("u/file"), error),
              QFileDevice::CopyError);
    EXPECT_EQ(error, QStringLiteral("Destination is a file."));
    EXPECT_EQ(hook.copy(root, QStringLiteral("u/file"), QStringLiteral("u/copy/deep"), error), 0);
    EXPECT_EQ(readFileBytes(root.filePath(QStringLiteral("u/copy/deep"))), QByteArray("content"));
    EXPECT_EQ(hook.move(root, QStringLiteral("u/missing"), QStringLiteral("u/file"), error), 0);
    EXPECT_EQ(readFileBytes(root.filePath(QStringLiteral("u/file"))), QByteArray("content"));
    EXPECT_EQ(hook.move(root, QStringLiteral("u/copy/deep"), QStringLiteral("u/folder"), error), 0);
    EXPECT_TRUE(QFileInfo(root.filePath(QStringLiteral("u/folder"))).isFile()) << "the folder was replaced";
}

TEST(DeviceBackupSettingsTest, CloudBackupRefusesAndEncryptionOnlyWhenAskedFor)
{
    PlistCFType values = PlistCFType::newDict();
    values.setValue(QStringLiteral("CloudBackupEnabled"), PlistCFType::newBool(true));
    values.setValue(QStringLiteral("WillEncrypt"), PlistCFType::newBool(true));
    const auto cloud = DeviceBackupSettings::check(values, true, false);
    ASSERT_TRUE(cloud);
    EXPECT_EQ(cloud->picture, QStringLiteral(":res/close_icloudbk.jpg"));
    values.setValue(QStringLiteral("CloudBackupEnabled"), PlistCFType::newBool(false));
    EXPECT_FALSE(DeviceBackupSettings::check(values, true, false));
    const auto encrypted = DeviceBackupSettings::check(values, true, true);
    ASSERT_TRUE(encrypted);
    EXPECT_EQ(encrypted->picture, QStringLiteral(":res/close_itunesbkenc.jpg"));
    EXPECT_FALSE(DeviceBackupSettings::check(PlistCFType(), true, true)) << "unreadable settings pass";
}

TEST(PartialBackupRootTest, RememberedFolderIsUsedWhileWritable)
{
    QFile::remove(PartialBackupRoot::pathFile());
    const QString dataFolder = appDataDir().absolutePath();
    EXPECT_EQ(PartialBackupRoot::partialBackupRoot(QStringLiteral("line")).absolutePath(),
              dataFolder + QStringLiteral("/__vantorel_iosbk_temp/line"));
    EXPECT_FALSE(QFileInfo::exists(PartialBackupRoot::pathFile())) << "the data folder is not pinned";

    QTemporaryDir chosen;
    writeFileBytes(PartialBackupRoot::pathFile(), chosen.path().toUtf8());
    EXPECT_EQ(PartialBackupRoot::writableRoot(QStringLiteral("line")).absolutePath(),
              chosen.path() + QStringLiteral("/__vantorel_iosbk_temp/line"));
    EXPECT_TRUE(PartialBackupRoot::canWriteIn(chosen.path()));
    EXPECT_TRUE(QDir(chosen.path()).isEmpty()) << "the probe leaves nothing behind";

    // A folder that cannot be written falls back to the data folder and forgets the remembered one.
    writeFileBytes(PartialBackupRoot::pathFile(), "/proc/no-such-folder");
    EXPECT_EQ(PartialBackupRoot::writableRoot(QStringLiteral("line")).absolutePath(),
              dataFolder + QStringLiteral("/__vantorel_iosbk_temp/line"));
    EXPECT_FALSE(QFileInfo::exists(PartialBackupRoot::pathFile()));
    writeFileBytes(PartialBackupRoot::pathFile(), "not a folder");
    EXPECT_EQ(PartialBackupRoot::partialBackupRoot(QString()).absolutePath(),
              dataFolder + QStringLiteral("/__vantorel_iosbk_temp"));
}

class CountingOptions : public RemoteOptionsService
{
public:
    std::optional<int> systemMode() override
    {
        ++asked;
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
    QList<std::optional<int>> answers;
    int asked = 0;
};

TEST(RemoteSystemModeTest, FirstAnswerIsKeptAndFailuresAskAgain)
{
    DeviceRemoteOptions::setService(nullptr);
    EXPECT_FALSE(DeviceRemoteOptions::systemMode());
    auto service = std::make_shared<CountingOptions>();
    service->answers = {std::nullopt, 1, 0};
    DeviceRemoteOptions::setService(service);
    EXPECT_FALSE(DeviceRemoteOptions::systemMode());
    EXPECT_TRUE(DeviceRemoteOptions::systemMode());
    EXPECT_TRUE(DeviceRemoteOptions::systemMode());
    EXPECT_EQ(service->asked, 2);
    DeviceRemoteOptions::setService(nullptr);
}

TEST(InterferingProcessesTest, NothingToWatchEndsTheThreadAtOnce)
{
    Win32KillProcessesThread watch;
    watch.watchITunes(); // no iTunes on this platform: nothing is registered
    watch.start();
    EXPECT_TRUE(watch.wait(2000));
    EXPECT_EQ(watch.scanOnce(), 0);
}

} // namespace
