// Taking LINE's data from a simulated iPhone through the sequence the main window and ferrowyn-cli share,
// with the user's answers scripted.
#include "../device/DeviceTestSupport.h"
#include "LineContent.h"
#include "RecordingProgressForm.h"
#include "TestFiles.h"
#include "backup/BackupFileMerger.h"
#include "backup/BackupFileOps.h"
#include "backup/BackupManifest.h"
#include "device/DeviceRestore.h"
#include "device/PartialBackupRoot.h"
#include "jobs/DeviceLineLoad.h"
#include "jobs/DeviceLoadDialogs.h"
#include "jobs/JobThread.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "storage/Sqlite3DB.h"

#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using namespace iphonesim;

namespace {

class ScriptedDialogs : public DeviceLoadDialogs
{
public:
    bool askRetryTrust(const QString&, const QString& errorText) override
    {
        trustErrors << errorText;
        return onRetry && onRetry();
    }
    void showError(const JobMessage& message) override { errors << message.text; }
    void showRefusal(const BackupSettingsRefusal& refusal) override { refusals << refusal.picture; }
    void showNotes() override { ++notes; }
    void passcodeNotice(bool shown) override
    {
        notices << shown;
        if (shown && onPasscode)
            onPasscode();
    }
    std::optional<QString> askBackupPassword(BackupManifest& backup) override
    {
        ++passwordQuestions;
        for (const QString& password : passwords) {
            if (backup.unlock(password))
                return password;
        }
        return std::nullopt;
    }
    QObject* progressForm() override
    {
        form = std::make_unique<RecordingProgressForm>();
        return form.get();
    }
    // Like a modal progress form: the queue is served while the job runs.
    void runJob(JobThread& job) override
    {
        job.start();
        while (!job.wait(20))
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        jobErrors << form->errors;
    }

    std::function<bool()> onRetry;
    std::function<void()> onPasscode;
    QStringList passwords;
    QStringList trustErrors;
    QStringList errors;
    QStringList jobErrors;
    QStringList refusals;
    QList<bool> notices;
    int notes = 0;
    int passwordQuestions = 0;
    std::unique_ptr<RecordingProgressForm> form;
};

class DeviceLoadTest : public SimulatorTest
{
protected:
    // Partial backups of earlier tests (devices of the same seed) are not this test's.
    void SetUp() override
    {
        PartialBackupRoot::resetPartialBackupRoot(QStringLiteral("line"));
        SimulatorTest::SetUp();
    }

    GeneratorOptions deviceOptions() const override
    {
        GeneratorOptions options = currentPhoneOptions();
        LineFixtureOptions line;
        line.seed = 3;
        line.messages = 60;
        line.users = 5;
        line.chats = 3;
        options.fillLine = [this, line](const LineContainers& containers) {
            m_fixture = fillLineContainers(containers, line);
        };
        return options;
    }

    // Reads the loaded LINE folder the way 'line chats' does.
    void expectFixtureIn(const QString& lineFolder)
    {
        const std::shared_ptr<IOSLineDb> db = IOSLineStoreCache::openCopy(lineFolder);
        auto data = std::make_shared<_LineData>(db);
        db->loadContacts(data);
        int enabled = 0;
        for (const LineFixtureChat& chat : m_fixture.chats)
            enabled += chat.enabled;
        EXPECT_EQ(data->chats().size(), enabled);
        EXPECT_EQ(db->countMessages(nullptr), m_fixture.visibleMessages);
        EXPECT_GT(m_fixture.visibleMessages, 0);
    }

    ScriptedDialogs dialogs;
    mutable LineFixture m_fixture;
};

TEST_F(DeviceLoadTest, LoadsLineOnceThePhoneTrustsTheComputer)
{
    control("trust " + m_udid + " dialog");
    dialogs.onRetry = [this] {
        control("accept " + m_udid);
        return true;
    };
    DeviceLineLoad load(dialogs);
    const PDeviceInfo device = load.connect(QString::fromStdString(m_udid));
    ASSERT_TRUE(device);
    EXPECT_EQ(dialogs.trustErrors.size(), 1);
    EXPECT_EQ(device->productVersion, QStringLiteral("18.6"));
    EXPECT_FALSE(device->lineHome.isEmpty());
    ASSERT_EQ(load.loadLine(device), DeviceLineLoad::Result::Loaded)
        << dialogs.jobErrors.join('\n').toStdString();
    EXPECT_EQ(dialogs.notes, 1);
    expectFixtureIn(lineCacheDir(*device));
    // Again: the earlier partial backup is reused and the cache rebuilt.
    ASSERT_EQ(load.loadLine(device), DeviceLineLoad::Result::Loaded);
    expectFixtureIn(lineCacheDir(*device));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(DeviceLoadTest, EncryptedPhoneAsksForThePasscodeAndOnceForThePassword)
{
    control("set " + m_udid + " BackupPassword secret");
    control("set " + m_udid + " WillEncrypt on");
    dialogs.onPasscode = [this] { control("passcode " + m_udid); };
    dialogs.passwords = {QStringLiteral("wrong"), QStringLiteral("secret")};
    DeviceLineLoad load(dialogs);
    const PDeviceInfo device = load.connect(QString::fromStdString(m_udid));
    ASSERT_TRUE(device);
    ASSERT_EQ(load.loadLine(device), DeviceLineLoad::Result::Loaded)
        << dialogs.jobErrors.join('\n').toStdString();
    EXPECT_EQ(device->backupPassword, QStringLiteral("secret"));
    EXPECT_TRUE(dialogs.notices.contains(true)) << "the user is told to enter the passcode on the iPhone";
    expectFixtureIn(lineCacheDir(*device));
    ASSERT_EQ(load.loadLine(device), DeviceLineLoad::Result::Loaded);
    EXPECT_EQ(dialogs.passwordQuestions, 1) << "the remembered password is tried first";

    // A user who cannot give the password stops the load.
    device->backupPassword.clear();
    dialogs.passwords = {QStringLiteral("wrong")};
    EXPECT_EQ(load.loadLine(device), DeviceLineLoad::Result::Failed);
}

TEST_F(DeviceLoadTest, ChangedStoreRestoredToThePhoneIsWhatTheNextLoadReads)
{
    DeviceLineLoad load(dialogs);
    const PDeviceInfo device = load.connect(QString::fromStdString(m_udid));
    ASSERT_TRUE(device);
    ASSERT_EQ(load.loadLine(device), DeviceLineLoad::Result::Loaded);

    // LINE's store changed on the computer, as a transfer changes it.
    const QString relative = m_fixture.storeRelativePath;
    const QString changed = QString::fromStdString(path("Line.sqlite"));
    BackupFileOps::copyDatabase(QDir(lineCacheDir(*device)).filePath(relative), changed);
    {
        Sqlite3DB db;
        db.openFile(changed, Sqlite3DB::OpenReadWrite);
        db.execute(
            "UPDATE ZMESSAGE SET ZTEXT='restored to the phone' WHERE Z_PK=(SELECT MIN(Z_PK) FROM ZMESSAGE "
            "WHERE ZTEXT IS NOT NULL AND ZTEXT<>'')");
        ASSERT_EQ(db.changes(), 1);
    }
    const QDir partial = PartialBackupRoot::partialBackupRoot(QStringLiteral("line"));
    BackupManifest backup(partial.filePath(QString::fromStdString(m_udid)));
    backup.loadInfo();
    JobControl quiet;
    BackupFileMerger(backup,
                     {MergeItem{QString::fromLatin1(kLineGroupDomain), changed, relative, true, true}})
        .run(quiet);
    backup.pruneManifest(backup.folder().filePath(QStringLiteral("Manifest-line.db")), false,
                         {QString::fromLatin1(kLineAppDomain), QString::fromLatin1(kLineGroupDomain)});
    DeviceRestore restore(device, partial, false);
    restore.setManifestDbSubstitute(QStringLiteral("Manifest-line.db"));
    restore.run(quiet);
    EXPECT_EQ(QByteArray::fromStdString(readWholeFile(deviceFile(kLineGroupDomain, relative.toStdString()))),
              readFileBytes(changed));

    // The phone restarts after the restore.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(m_simulator->waitForAttached(m_udid, std::chrono::seconds(10)));
    ASSERT_EQ(load.loadLine(device), DeviceLineLoad::Result::Loaded)
        << dialogs.jobErrors.join('\n').toStdString();
    Sqlite3DB reloaded;
    reloaded.openFile(QDir(lineCacheDir(*device)).filePath(relative), Sqlite3DB::OpenReadOnly);
    EXPECT_EQ(reloaded.queryInt64("SELECT count(*) FROM ZMESSAGE WHERE ZTEXT='restored to the phone'"), 1);
}

TEST_F(DeviceLoadTest, DeniedTrustCloudBackupAndMissingLineStopTheLoad)
{
    control("trust " + m_udid + " denied");
    DeviceLineLoad load(dialogs);
    EXPECT_FALSE(load.connect(QString::fromStdString(m_udid)));
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.first().contains(QStringLiteral("Could not connect to lockdownd")))
        << dialogs.errors.first().toStdString();

    control("trust " + m_udid + " automatic");
    control("set " + m_udid + " CloudBackupEnabled on");
    const PDeviceInfo device = load.connect(QString::fromStdString(m_udid));
    ASSERT_TRUE(device);
    EXPECT_EQ(load.loadLine(device), DeviceLineLoad::Result::Failed);
    EXPECT_EQ(dialogs.refusals, QStringList({QStringLiteral(":res/close_icloudbk.jpg")}));

    GeneratorOptions options = currentPhoneOptions();
    options.seed = 11;
    options.lineInstalled = false;
    const std::string bare = m_simulator->attach(makeDevice("bare", options));
    const PDeviceInfo withoutLine = load.connect(QString::fromStdString(bare));
    ASSERT_TRUE(withoutLine);
    EXPECT_TRUE(withoutLine->lineHome.isEmpty());
    EXPECT_EQ(load.loadLine(withoutLine), DeviceLineLoad::Result::Failed);
    EXPECT_EQ(dialogs.errors.last(),
              QStringLiteral("Can't access Line data on your iPhone. Please make sure you have "
                             "installed and logined Line Messenger on your iPhone."));
}

} // namespace
