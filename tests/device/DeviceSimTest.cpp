// The device link against the simulated iPhone through Debian's libimobiledevice: detection, trust,
// identity, the partial backup (full and incremental, plain and encrypted), the restore, the device's
// faults, unsafe paths and cancels.
#include "DeviceTestSupport.h"
#include "RecordingProgressForm.h"
#include "TestFiles.h"
#include "backup/BackupFileMerger.h"
#include "backup/BackupManifest.h"
#include "device/DeviceApps.h"
#include "device/DevicePartialBackup.h"
#include "device/DeviceRestore.h"
#include "device/DeviceTrustCheck.h"
#include "device/MobiledeviceSubscribe.h"
#include "jobs/IOSMobileBackupThread.h"
#include "jobs/IOSMobileRestoreThread.h"
#include "storage/Sqlite3DB.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>
#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using namespace iphonesim;

namespace {

const QSet<QString> kLineDomains = {QString::fromLatin1(kLineAppDomain),
                                    QString::fromLatin1(kLineGroupDomain)};
const QString kPurplebuddy = QStringLiteral("80fa782261261e54bb73c0253e5b6beefb6a2f39");

// Counts what the device sent.
class CountingHook : public FakeBackup2ToolHook
{
public:
    void fileIncoming(const QDir& root, const QString& udid, const QString& backupPath,
                      const QString& devicePath) override
    {
        incoming << backupPath.mid(backupPath.lastIndexOf(QLatin1Char('/')) + 1);
        FakeBackup2ToolHook::fileIncoming(root, udid, backupPath, devicePath);
    }
    QStringList incoming;
};

// Puts a link to a folder outside into the backup folder once the conversation begins.
class LinkingHook : public FakeBackup2ToolHook
{
public:
    explicit LinkingHook(QString target) : m_target(std::move(target)) {}
    void begin(const QDir& root, const QString& udid) override
    {
        FakeBackup2ToolHook::begin(root, udid);
        QDir().mkpath(root.filePath(udid));
        QFile::link(m_target, root.filePath(udid + QStringLiteral("/link")));
    }

private:
    QString m_target;
};

// A disk that is full: every content file that is kept goes to /dev/full.
class FullDiskHook : public FakeBackup2ToolHook
{
public:
    int openForWrite(const QDir& root, const QString& backupPath, QFile& file, QString& errorText) override
    {
        const int result = FakeBackup2ToolHook::openForWrite(root, backupPath, file, errorText);
        if (file.isOpen() && backupPath.section(QLatin1Char('/'), -1).size() == 40) {
            file.close();
            file.setFileName(QStringLiteral("/dev/full"));
            file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        }
        return result;
    }
};

class DeviceSimTest : public SimulatorTest
{
protected:
    GeneratorOptions deviceOptions() const override { return currentPhoneOptions(); }

    QDir backupRoot() const { return QDir(QString::fromStdString(path("backups"))); }
    QDir backupFolder() const { return QDir(backupRoot().filePath(QString::fromStdString(m_udid))); }
    QString udid() const { return QString::fromStdString(m_udid); }

    // Every file of the backup folder except dname.sqlite.
    QSet<QString> filesOnDisk() const
    {
        QSet<QString> names;
        for (const auto& entry : fs::recursive_directory_iterator(backupFolder().path().toStdString()))
            if (entry.is_regular_file() && entry.path().filename() != "dname.sqlite")
                names.insert(QString::fromStdString(entry.path().filename().string()));
        return names;
    }

    // dname.sqlite's rows: name -> kept on disk.
    QHash<QString, bool> recordedNames() const
    {
        Sqlite3DB db;
        db.openFile(backupFolder().filePath(QStringLiteral("dname.sqlite")), Sqlite3DB::OpenReadOnly);
        QHash<QString, bool> rows;
        Sqlite3Cursor cursor = db.query("select f, incl from dname");
        while (cursor.moveNext())
            rows.insert(cursor.textAt(0), cursor.int64At(1) != 0);
        return rows;
    }

    std::string lineFile() const
    {
        for (const auto& entry : fs::recursive_directory_iterator(deviceFile(kLineAppDomain, "")))
            if (entry.is_regular_file())
                return entry.path().string();
        return {};
    }

    // The backup job's failure text for the current device.
    QString backupJobError()
    {
        RecordingProgressForm form;
        IOSMobileBackupThread job(false, deviceInfoFor(m_udid), false, backupRoot(), &form);
        job.wantedApps << QStringLiteral("jp.naver.line");
        job.start();
        job.wait();
        QCoreApplication::processEvents();
        EXPECT_FALSE(job.succeeded());
        EXPECT_FALSE(backupFolder().exists()) << "a failed backup leaves no folder";
        return form.errors.value(0);
    }
};

TEST_F(DeviceSimTest, DevicesComeAndGoAndDescribeThemselves)
{
    MobiledeviceSubscribe subscriber;
    QMutex mutex;
    QStringList events;
    QObject::connect(
        &subscriber, &MobiledeviceSubscribe::newDevice, &subscriber,
        [&](const QString& id) {
            QMutexLocker lock(&mutex);
            events << QStringLiteral("+") + id;
        },
        Qt::DirectConnection);
    QObject::connect(
        &subscriber, &MobiledeviceSubscribe::kickDevice, &subscriber,
        [&](const QString& id) {
            QMutexLocker lock(&mutex);
            events << QStringLiteral("-") + id;
        },
        Qt::DirectConnection);
    const auto waitFor = [&](int count) {
        for (int i = 0; i < 200; ++i) {
            {
                QMutexLocker lock(&mutex);
                if (events.size() >= count)
                    return;
            }
            QThread::msleep(20);
        }
    };
    ASSERT_TRUE(subscriber.start());
    waitFor(1);
    // An older phone without LINE, attached after the subscription.
    GeneratorOptions options = smallDeviceOptions(9);
    options.productVersion = "13.7";
    options.lineInstalled = false;
    const std::string second = m_simulator->attach(makeDevice("second", options));
    waitFor(2);
    control("detach " + m_udid);
    waitFor(3);
    subscriber.stop();
    {
        QMutexLocker lock(&mutex);
        EXPECT_EQ(events, QStringList({QStringLiteral("+") + udid(),
                                       QStringLiteral("+") + QString::fromStdString(second),
                                       QStringLiteral("-") + udid()}));
    }
    EXPECT_EQ(subscriber.attachedCount(), 1);

    const PDeviceInfo device = deviceInfoFor(second);
    EXPECT_EQ(device->name, QStringLiteral("Simulated iPhone"));
    EXPECT_EQ(device->productVersion, QStringLiteral("13.7"));
    EXPECT_EQ(device->productType, QStringLiteral("iPhone12,1"));
    EXPECT_TRUE(findLineHome(device->udid).isEmpty());

    // DeviceLink 300 of the older system: the partial backup holds only the metadata without LINE.
    DevicePartialBackup backup(device, backupRoot(), false);
    backup.wantedApps << QStringLiteral("jp.naver.line");
    JobControl quiet;
    backup.run(quiet);
    QSet<QString> names;
    for (const auto& entry : fs::recursive_directory_iterator(backup.backupFolder().path().toStdString()))
        if (entry.is_regular_file())
            names.insert(QString::fromStdString(entry.path().filename().string()));
    EXPECT_EQ(names,
              QSet<QString>({QStringLiteral("Status.plist"), QStringLiteral("Manifest.plist"),
                             QStringLiteral("Manifest.db"), QStringLiteral("dname.sqlite"), kPurplebuddy}));
}

TEST_F(DeviceSimTest, TrustIsAskedForAgainUntilTheUserTaps)
{
    control("trust " + m_udid + " dialog");
    QString error;
    EXPECT_FALSE(checkDeviceConnection(udid(), error));
    EXPECT_TRUE(error.contains(QStringLiteral("Error detail: Could not connect to lockdownd, error code")))
        << error.toStdString();
    control("accept " + m_udid);
    ASSERT_TRUE(checkDeviceConnection(udid(), error)) << error.toStdString();
    EXPECT_TRUE(fs::exists(pairRecordFolder() + "/" + m_udid + ".plist"));
    EXPECT_FALSE(findLineHome(udid()).isEmpty());

    // The device forgot the computer: the stale record goes, and the next attempt pairs afresh.
    control("untrust " + m_udid);
    EXPECT_FALSE(checkDeviceConnection(udid(), error));
    EXPECT_FALSE(fs::exists(pairRecordFolder() + "/" + m_udid + ".plist"));
    EXPECT_TRUE(checkDeviceConnection(udid(), error)) << error.toStdString();

    EXPECT_FALSE(checkDeviceConnection(QStringLiteral("../not-a-device"), error));
    EXPECT_TRUE(error.endsWith(QStringLiteral("Error detail: No device found.")));
}

TEST_F(DeviceSimTest, PartialBackupKeepsLinesFilesAndThenOnlyChanges)
{
    const PDeviceInfo device = deviceInfoFor(m_udid);
    auto hook = std::make_shared<CountingHook>();
    DevicePartialBackup backup(device, backupRoot(), false, hook);
    backup.wantedApps << QStringLiteral("jp.naver.line");
    JobControl quiet;
    backup.run(quiet);

    const QSet<QString> everything = deviceFileIds(m_deviceFolder);
    const QSet<QString> line = deviceFileIds(m_deviceFolder, kLineDomains);
    ASSERT_FALSE(line.isEmpty());
    QSet<QString> expected = line;
    expected += {QStringLiteral("Status.plist"), QStringLiteral("Manifest.plist"),
                 QStringLiteral("Manifest.db"), kPurplebuddy};
    EXPECT_EQ(filesOnDisk(), expected);
    const QHash<QString, bool> recorded = recordedNames();
    for (const QString& id : everything) {
        EXPECT_TRUE(recorded.contains(id)) << id.toStdString();
        EXPECT_EQ(recorded.value(id), line.contains(id) || id == kPurplebuddy) << id.toStdString();
    }
    EXPECT_EQ(recorded.size(), everything.size() + 3)
        << "every file, Status.plist, Manifest.plist, Manifest.db";

    BackupManifest manifest(backup.backupFolder().path());
    manifest.loadInfo();
    EXPECT_EQ(manifest.udid(), udid());
    int files = 0;
    for (const BackupFileRecord& record : manifest.loadRecords().records)
        files += record.isDirectory() ? 0 : 1;
    EXPECT_EQ(files, everything.size());

    // The second backup is incremental: only the changed files and the metadata arrive.
    const std::string changedLine = lineFile();
    writeWholeFile(changedLine, "changed LINE file");
    writeWholeFile(deviceFile("HomeDomain", "Library/Notes/added.txt"), "a new note");
    auto second = std::make_shared<CountingHook>();
    DevicePartialBackup again(device, backupRoot(), false, second);
    again.wantedApps << QStringLiteral("jp.naver.line");
    again.run(quiet);
    QStringList arrived = second->incoming;
    arrived.sort();
    QStringList changed = {
        QStringLiteral("Manifest.db"),
        QStringLiteral("Manifest.plist"),
        QStringLiteral("Status.plist"),
        QStringLiteral("Status.plist"),
        QString::fromStdString(backupFileId(
            kLineAppDomain, fs::relative(changedLine, deviceFile(kLineAppDomain, "")).generic_string())),
        QString::fromStdString(
            iphonesim::backupFileId(std::string("HomeDomain"), std::string("Library/Notes/added.txt")))};
    changed.sort();
    EXPECT_EQ(arrived, changed);
    BackupManifest after(again.backupFolder().path());
    after.loadInfo();
    const FileRecordSet records = after.loadRecords();
    EXPECT_EQ(deviceFileIds(m_deviceFolder).size(), everything.size() + 1);
    EXPECT_TRUE(records.records.contains(QString::fromStdString(
        iphonesim::backupFileId(std::string("HomeDomain"), std::string("Library/Notes/added.txt")))));
    const QString lineId = QString::fromStdString(backupFileId(
        kLineAppDomain, fs::relative(changedLine, deviceFile(kLineAppDomain, "")).generic_string()));
    EXPECT_EQ(readFileBytes(after.contentPath(lineId)), QByteArray("changed LINE file"));

    // After a system update the old folder is not reused: everything is sent again.
    EXPECT_FALSE(DevicePartialBackup::isReusable(again.backupFolder(), QStringLiteral("19.0")));
    EXPECT_TRUE(DevicePartialBackup::isReusable(again.backupFolder(), device->productVersion));
}

TEST_F(DeviceSimTest, EncryptedBackupWaitsForThePasscodeAndUnlocksWithThePassword)
{
    control("set " + m_udid + " BackupPassword secret");
    control("set " + m_udid + " WillEncrypt on");
    const PDeviceInfo device = deviceInfoFor(m_udid);
    DevicePartialBackup backup(device, backupRoot(), false);
    backup.wantedApps << QStringLiteral("jp.naver.line");
    std::atomic<bool> prompted = false;
    QObject::connect(
        &backup.engine(), &backup2tool::passcodeRequested, &backup.engine(),
        [&](bool shown) { prompted = prompted || shown; }, Qt::DirectConnection);
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            JobControl quiet;
            backup.run(quiet);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    for (int i = 0; i < 500 && !prompted; ++i)
        QThread::msleep(20);
    EXPECT_TRUE(prompted) << "the program hears that the iPhone asks for its passcode";
    control("passcode " + m_udid);
    worker.join();
    ASSERT_FALSE(failure);

    BackupManifest manifest(backup.backupFolder().path());
    manifest.loadInfo();
    ASSERT_TRUE(manifest.isEncrypted());
    EXPECT_FALSE(manifest.unlock(QStringLiteral("wrong")));
    ASSERT_TRUE(manifest.unlock(QStringLiteral("secret")));
    const std::string line = lineFile();
    const QString relative =
        QString::fromStdString(fs::relative(line, deviceFile(kLineAppDomain, "")).generic_string());
    const FileRecordSet records = manifest.loadRecords();
    const QString id = BackupManifest::fileId(QString::fromLatin1(kLineAppDomain), relative);
    ASSERT_TRUE(records.records.contains(id));
    manifest.copyItem(records.records.value(id), QString::fromStdString(path("decrypted")));
    EXPECT_EQ(readFileBytes(QString::fromStdString(path("decrypted"))),
              QByteArray::fromStdString(readWholeFile(line)));

    // A restore with the wrong password is refused by the device.
    DeviceRestore wrong(device, backupRoot(), false);
    wrong.setPassword(QStringLiteral("wrong"));
    JobControl quiet;
    try {
        wrong.run(quiet);
        ADD_FAILURE() << "restored with a wrong password";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QStringLiteral("MBErrorDomain/207")))
            << error.what();
    }

    // Without the passcode the device gives up with "Device locked".
    control("set " + m_udid + " PasscodeTimeout 1");
    const QString locked = backupJobError();
    EXPECT_TRUE(locked.startsWith(QStringLiteral("error code:208."))) << locked.toStdString();
    EXPECT_TRUE(locked.contains(QStringLiteral("Device locked (MBErrorDomain/208)")));
}

TEST_F(DeviceSimTest, DeviceFaultsEndTheBackupWithAdvice)
{
    control("fault " + m_udid + " refuse");
    const QString refused = backupJobError();
    EXPECT_TRUE(refused.startsWith(
        QStringLiteral("Failed to connect your iPhone. Please try the following solutions:")))
        << refused.toStdString();
    EXPECT_TRUE(refused.endsWith(QStringLiteral("Note: You can restart your device to try again.")));
    control("fault " + m_udid + " clear");
    control("fault " + m_udid + " locked");
    EXPECT_TRUE(backupJobError().contains(QStringLiteral("Device locked (MBErrorDomain/208)")));
    control("fault " + m_udid + " clear");
    control("fault " + m_udid + " nospace");
    EXPECT_TRUE(
        backupJobError().startsWith(QStringLiteral("error code:-36. Insufficient free disk space on drive")));
    control("fault " + m_udid + " clear");
    control("fault " + m_udid + " drop 30000");
    const QString lost = backupJobError();
    EXPECT_TRUE(
        lost.startsWith(QStringLiteral("Connection to device lost. Please try the following solutions:")))
        << lost.toStdString();
    control("fault " + m_udid + " clear");
    control("fault " + m_udid + " purge");
    EXPECT_TRUE(
        backupJobError().contains(QStringLiteral("DLMessagePurgeDiskSpace(Insufficient free disk space)")));
}

TEST_F(DeviceSimTest, FullDiskEndsTheBackupAndRemovesTheFolder)
{
    DevicePartialBackup backup(deviceInfoFor(m_udid), backupRoot(), false, std::make_shared<FullDiskHook>());
    backup.wantedApps << QStringLiteral("jp.naver.line");
    JobControl quiet;
    try {
        backup.run(quiet);
        ADD_FAILURE() << "a full disk went unnoticed";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what())
                        .startsWith(QStringLiteral(
                            "error code:-36. Insufficient free disk space on drive to back up")))
            << error.what();
    }
    EXPECT_FALSE(backupFolder().exists());
}

TEST_F(DeviceSimTest, PathsOutsideTheBackupAreRefused)
{
    const QString outside = QString::fromStdString(path("outside"));
    QDir().mkpath(outside);
    // Victims: what a host that follows the device's paths would read, move or delete.
    const QStringList victims = {QString::fromStdString(path("escaped-victim.txt")),
                                 outside + QStringLiteral("/escaped-victim.txt")};
    for (const QString& victim : victims)
        writeFileBytes(victim, "victim");
    control("fault " + m_udid + " unsafepaths " + outside.toStdString());
    DevicePartialBackup backup(deviceInfoFor(m_udid), backupRoot(), false,
                               std::make_shared<LinkingHook>(outside));
    JobControl quiet;
    try {
        backup.run(quiet);
        ADD_FAILURE() << "the fault ends the backup";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(
            QString::fromUtf8(error.what()).contains(QStringLiteral("Unsafe paths: 27 refused, 0 accepted")))
            << error.what();
    }
    for (const QString& victim : victims)
        EXPECT_EQ(readFileBytes(victim), QByteArray("victim")) << victim.toStdString();
    QStringList outsideFiles = QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(outsideFiles, QStringList({QStringLiteral("escaped-victim.txt")}));
    EXPECT_EQ(
        QDir(QString::fromStdString(path(""))).entryList({QStringLiteral("escaped*")}, QDir::AllEntries),
        QStringList({QStringLiteral("escaped-victim.txt")}));
}

class RestoreTest : public DeviceSimTest
{
protected:
    // A reboot long enough for a second restore to arrive before it.
    void adjustOptions(SimulatorOptions& options) const override
    {
        options.rebootDelay = std::chrono::seconds(4);
    }

    // The partial backup with one of LINE's files changed and the LINE-only manifest, as a transfer leaves
    // it.
    QString prepare(const QByteArray& changed)
    {
        DevicePartialBackup backup(deviceInfoFor(m_udid), backupRoot(), false);
        backup.wantedApps << QStringLiteral("jp.naver.line");
        JobControl quiet;
        backup.run(quiet);
        const QString relative =
            QString::fromStdString(fs::relative(lineFile(), deviceFile(kLineAppDomain, "")).generic_string());
        const QString local = QString::fromStdString(path("changed.bin"));
        writeFileBytes(local, changed);
        BackupManifest manifest(backup.backupFolder().path());
        manifest.loadInfo();
        BackupFileMerger(manifest,
                         {MergeItem{QString::fromLatin1(kLineAppDomain), local, relative, true, false}})
            .run(quiet);
        manifest.pruneManifest(backup.backupFolder().filePath(QStringLiteral("Manifest-line.db")), false,
                               kLineDomains);
        return relative;
    }
};

TEST_F(RestoreTest, RestoreChangesLinesStoreAndNothingElse)
{
    const QString relative = prepare(QByteArray(300000, 'r'));
    // A file of another app, changed on the phone after the backup.
    std::string other;
    for (const auto& entry : fs::recursive_directory_iterator(m_deviceFolder + "/files"))
        if (entry.is_regular_file() && entry.path().string().find("/AppDomain-com.") != std::string::npos) {
            other = entry.path().string();
            break;
        }
    ASSERT_FALSE(other.empty());
    writeWholeFile(other, "changed on the phone");
    DeviceRestore restore(deviceInfoFor(m_udid), backupRoot(), false);
    restore.setManifestDbSubstitute(QStringLiteral("Manifest-line.db"));
    JobControl quiet;
    restore.run(quiet);
    EXPECT_EQ(readWholeFile(deviceFile(kLineAppDomain, relative.toStdString())), std::string(300000, 'r'));
    EXPECT_EQ(readWholeFile(other), "changed on the phone");

    // Before the phone restarted, the next restore is refused.
    DeviceRestore again(deviceInfoFor(m_udid), backupRoot(), false);
    again.setManifestDbSubstitute(QStringLiteral("Manifest-line.db"));
    try {
        again.run(quiet);
        ADD_FAILURE() << "a second restore before the reboot";
    } catch (const std::runtime_error& error) {
        const QString text = QString::fromUtf8(error.what());
        EXPECT_TRUE(text.startsWith(QStringLiteral("error code:102.\n\nPlease restart your iPhone first.")))
            << error.what();
    }
    EXPECT_TRUE(backupFolder().exists()) << "only a 205 answer discards the backup";
}

TEST_F(RestoreTest, FindMyIPhoneAndCancelsLeaveThePhoneAsItWas)
{
    const QString relative = prepare(QByteArray(4 << 20, 'c'));
    const std::string target = deviceFile(kLineAppDomain, relative.toStdString());
    const std::string before = readWholeFile(target);
    control("set " + m_udid + " FindMyiPhone on");
    RecordingProgressForm form;
    IOSMobileRestoreThread job(false, deviceInfoFor(m_udid), backupRoot().path(), false, &form);
    job.setManifestDbSubstitute(QStringLiteral("Manifest-line.db"));
    job.start();
    job.wait();
    QCoreApplication::processEvents();
    ASSERT_EQ(form.errors.size(), 1);
    EXPECT_TRUE(form.errors.first().startsWith(QStringLiteral("error code:-37. ")))
        << form.errors.first().toStdString();
    control("set " + m_udid + " FindMyiPhone off");

    // Cancelled in the middle of the changed file: nothing is applied.
    CancelAt cancel(40);
    JobControl cancelling = cancel.control();
    DeviceRestore restore(deviceInfoFor(m_udid), backupRoot(), false);
    restore.setManifestDbSubstitute(QStringLiteral("Manifest-line.db"));
    EXPECT_THROW(restore.run(cancelling), JobCancelled);
    EXPECT_EQ(readWholeFile(target), before);
    EXPECT_TRUE(backupFolder().exists());

    // A backup the phone cannot read is a partial backup the program can take again: it goes.
    control("fault " + m_udid + " error205");
    DeviceRestore unreadable(deviceInfoFor(m_udid), backupRoot(), false);
    unreadable.setManifestDbSubstitute(QStringLiteral("Manifest-line.db"));
    JobControl plain;
    EXPECT_THROW(unreadable.run(plain), std::runtime_error);
    EXPECT_FALSE(backupFolder().exists());
    control("fault " + m_udid + " clear");

    // Cancelled while the phone sends its backup: no folder is left to be taken for a backup.
    CancelAt early(25);
    JobControl stopping = early.control();
    DevicePartialBackup backup(deviceInfoFor(m_udid), backupRoot(), false);
    backup.wantedApps << QStringLiteral("jp.naver.line");
    EXPECT_THROW(backup.run(stopping), JobCancelled);
    EXPECT_FALSE(backupFolder().exists());
}

class NewestSystemTest : public DeviceSimTest
{
protected:
    GeneratorOptions deviceOptions() const override { return currentPhoneOptions("27.0"); }
};

TEST_F(NewestSystemTest, SparseRestoreWithAppDataIsDropped)
{
    DevicePartialBackup backup(deviceInfoFor(m_udid), backupRoot(), false);
    backup.wantedApps << QStringLiteral("jp.naver.line");
    JobControl quiet;
    backup.run(quiet);
    BackupManifest manifest(backup.backupFolder().path());
    manifest.loadInfo();
    manifest.pruneManifest(backup.backupFolder().filePath(QStringLiteral("Manifest-line.db")), false,
                           kLineDomains);
    const std::string store = lineFile();
    writeWholeFile(store, "on the phone");
    DeviceRestore restore(deviceInfoFor(m_udid), backupRoot(), false);
    restore.setManifestDbSubstitute(QStringLiteral("Manifest-line.db"));
    try {
        restore.run(quiet);
        ADD_FAILURE() << "the sparse restore was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(QStringLiteral("Connection to device lost.")))
            << error.what();
    }
    EXPECT_EQ(readWholeFile(store), "on the phone");
}

} // namespace
