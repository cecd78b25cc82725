// ferrowyn-cli transfer --to-device against simulated iPhones: the phone's own store, read with plain SQL,
// holds the union afterwards, and nothing outside LINE's containers changed.
#include "../device/DeviceTestSupport.h"
#include "CliProcess.h"
#include "LineContent.h"
#include "LineFixtureBuilder.h"
#include "device/PartialBackupRoot.h"
#include "storage/Sqlite3DB.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <chrono>
#include <sqlite3.h>

using namespace iphonesim;

namespace {

const QString LineApp = QStringLiteral("AppDomain-jp.naver.line");
const QString LineGroup = QStringLiteral("AppDomainGroup-group.com.linecorp.line");
const QString LateId = QStringLiteral("987654321012345");

class TransferDeviceCliTest : public SimulatorTest
{
protected:
    void SetUp() override
    {
        for (const char* folder : {"line", "line-full", "line-restore"})
            PartialBackupRoot::resetPartialBackupRoot(QLatin1String(folder));
        SimulatorTest::SetUp();
    }

    virtual std::string version() const { return "18.6"; }

    GeneratorOptions deviceOptions() const override
    {
        GeneratorOptions options = currentPhoneOptions(version());
        LineFixtureOptions line;
        line.seed = 4;
        line.messages = 40;
        line.users = 4;
        line.chats = 3;
        options.fillLine = [this, line](const LineContainers& containers) {
            m_fixture = fillLineContainers(containers, line);
        };
        return options;
    }

    QString udid() const { return QString::fromStdString(m_udid); }
    QString storePath() const
    {
        return QString::fromStdString(
            deviceFile(LineGroup.toStdString(), m_fixture.storeRelativePath.toStdString()));
    }

    qint64 storeValue(const char* sql) const
    {
        Sqlite3DB db;
        db.openFile(storePath(), SQLITE_OPEN_READONLY);
        return db.queryInt64(sql);
    }

    // A message that reaches the phone after it was attached.
    void receiveLateMessage() const
    {
        Sqlite3DB db;
        db.openFile(storePath(), SQLITE_OPEN_READWRITE);
        db.execute("create temp table late as select * from ZMESSAGE where ZCONTENTTYPE=0 and ZCHAT in "
                   "(select Z_PK from ZCHAT where ZENABLE=1) limit 1");
        db.execute(Sqlite3Sql("update late set Z_PK=(select max(Z_PK)+1 from ZMESSAGE), ZID='" + LateId +
                              "', ZTIMESTAMP=ZTIMESTAMP+1"));
        db.execute("insert into ZMESSAGE select * from late");
    }

    // Every file of the phone outside LINE's containers, with its digest.
    QMap<QString, QByteArray> otherFiles() const
    {
        QMap<QString, QByteArray> files;
        const QDir root(QString::fromStdString(m_deviceFolder) + QStringLiteral("/files"));
        for (const QString& domain : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (domain == LineApp || domain == LineGroup)
                continue;
            for (auto [name, digest] : fileDigests(root.filePath(domain)).asKeyValueRange())
                files.insert(name, digest);
        }
        return files;
    }

    // A local database holding the messages of another LINE fixture.
    QString sourceDb(qint64& messages)
    {
        LineFixtureOptions options;
        options.seed = 9;
        options.messages = 50;
        const LineFixture source =
            LineFixtureBuilder::build(QString::fromStdString(path("source-app")), options);
        messages = source.visibleMessages;
        const QString folder = QString::fromStdString(path("sourcedb"));
        const CliRun run = runCli({"localdb", "backup", folder, "--line", source.appRoot});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return folder;
    }

    void waitForPhone() { ASSERT_TRUE(m_simulator->waitForAttached(m_udid, std::chrono::seconds(20))); }

    mutable LineFixture m_fixture;
};

TEST_F(TransferDeviceCliTest,
       APartialTransferMergesKeepsLateMessagesAddsNothingTheSecondTimeAndWorksEncrypted)
{
    qint64 sourceMessages = 0;
    const QString db = sourceDb(sourceMessages);
    ASSERT_GT(sourceMessages, 0);
    ASSERT_EQ(runCli({"device", "load", udid()}).exitCode, 0);
    receiveLateMessage();
    // LINE's own notices are not carried over; everything else stays, hidden chats included.
    const qint64 before = storeValue("select count(*) from ZMESSAGE where ZCONTENTTYPE<>106");
    ASSERT_GT(storeValue("select count(*) from ZCHAT where ZENABLE=0"), 0);
    const qint64 hidden =
        storeValue("select count(*) from ZMESSAGE where ZCHAT in (select Z_PK from ZCHAT where ZENABLE=0)");
    ASSERT_GT(hidden, 0);
    const QMap<QString, QByteArray> others = otherFiles();
    const qint64 chatsBefore = storeValue("select max(Z_PK) from ZCHAT");

    const CliRun first = runCli({"transfer", "--localdb", db, "--to-device", udid()});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(
        first.out.contains(QStringLiteral("Successfully transferred %1 messages").arg(sourceMessages)))
        << first.out.toStdString();
    const qint64 after = storeValue("select count(*) from ZMESSAGE");
    EXPECT_EQ(after, before + sourceMessages);
    EXPECT_EQ(storeValue("select count(*) from (select distinct ZCHAT, ZID from ZMESSAGE)"), after);
    EXPECT_EQ(storeValue(("select count(*) from ZMESSAGE where ZID='" + LateId + "'").toUtf8().constData()),
              1);
    EXPECT_EQ(storeValue("select count(*) from ZMESSAGE where ZCHAT not in (select Z_PK from ZCHAT)"), 0);
    EXPECT_EQ(
        storeValue("select count(*) from ZMESSAGE where ZCHAT in (select Z_PK from ZCHAT where ZENABLE=0)"),
        hidden);
    EXPECT_EQ(otherFiles(), others);
    // The store went back as LINE keeps it: no log beside it with pages of the old store.
    EXPECT_EQ(QFileInfo(storePath() + QStringLiteral("-wal")).size(), 0);

    waitForPhone();
    const CliRun second = runCli({"transfer", "--localdb", db, "--to-device", udid()});
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    // Every message is there already: the phone is not restored (nor restarted) for nothing.
    EXPECT_TRUE(
        second.out.contains(QStringLiteral("All %1 messages are already on the iPhone").arg(sourceMessages)))
        << second.out.toStdString();
    EXPECT_EQ(storeValue("select count(*) from ZMESSAGE"), after);
    EXPECT_EQ(otherFiles(), others);

    // The phone as its own source is refused before anything changes.
    waitForPhone();
    const CliRun same = runCli({"transfer", "--device", udid(), "--to-device", udid()});
    EXPECT_EQ(same.exitCode, 1);
    EXPECT_TRUE(same.err.contains(QStringLiteral("come from this iPhone"))) << same.err.toStdString();
    EXPECT_EQ(storeValue("select count(*) from ZMESSAGE"), after);

    // Now with a backup password, and with one of the merged chats hidden on the phone: the transfer
    // shows it again.
    control("set " + m_udid + " WillEncrypt true");
    control("set " + m_udid + " BackupPassword secret");
    const QString passwordFile = QString::fromStdString(path("password"));
    writeFileBytes(passwordFile, "secret\n");
    const qint64 merged = storeValue("select max(Z_PK) from ZCHAT");
    ASSERT_GT(merged, chatsBefore);
    {
        Sqlite3DB store;
        store.openFile(storePath(), SQLITE_OPEN_READWRITE);
        store.execute(QStringLiteral("update ZCHAT set ZENABLE=0 where Z_PK=%1").arg(merged));
    }
    const QString enabled = QStringLiteral("select ZENABLE from ZCHAT where Z_PK=%1").arg(merged);
    control("passcode " + m_udid); // the encrypted backup waits for it
    const QStringList encryptedArgs{"transfer", "--localdb",       db,          "--to-device",
                                    udid(),     "--password-file", passwordFile};
    const CliRun encrypted = runCli(encryptedArgs);
    ASSERT_EQ(encrypted.exitCode, 0) << encrypted.err.toStdString();
    EXPECT_EQ(storeValue(enabled.toUtf8().constData()), 1);
    EXPECT_EQ(storeValue("select count(*) from ZMESSAGE"), after);
    EXPECT_EQ(otherFiles(), others);

    // A phone that refuses the partial restore is offered the whole-phone transfer; off a terminal
    // without --yes that is refused, and the phone stays as it was (the chat hidden again stays hidden).
    waitForPhone();
    {
        Sqlite3DB store;
        store.openFile(storePath(), SQLITE_OPEN_READWRITE);
        store.execute(QStringLiteral("update ZCHAT set ZENABLE=0 where Z_PK=%1").arg(merged));
    }
    control("set " + m_udid + " RestorePendingReboot true");
    control("passcode " + m_udid);
    const CliRun offered = runCli(encryptedArgs);
    EXPECT_EQ(offered.exitCode, 1);
    EXPECT_TRUE(offered.err.contains(QStringLiteral("whole iPhone"))) << offered.err.toStdString();
    EXPECT_TRUE(offered.err.contains(QStringLiteral("--yes"))) << offered.err.toStdString();
    EXPECT_EQ(storeValue(enabled.toUtf8().constData()), 0);
    EXPECT_EQ(storeValue("select count(*) from ZMESSAGE"), after);
    EXPECT_EQ(otherFiles(), others);
}

class TransferNewestDeviceCliTest : public TransferDeviceCliTest
{
protected:
    std::string version() const override { return "27.0"; }
};

TEST_F(TransferNewestDeviceCliTest, AFullTransferNeedsAConfirmationWorksEncryptedAndKeepsTheFullBackup)
{
    // The source is a second phone.
    GeneratorOptions sourceOptions = currentPhoneOptions("18.6");
    sourceOptions.seed = 2;
    LineFixtureOptions line;
    line.seed = 11;
    line.messages = 30;
    line.users = 3;
    line.chats = 2;
    LineFixture sourceFixture;
    sourceOptions.fillLine = [&sourceFixture, line](const LineContainers& containers) {
        sourceFixture = fillLineContainers(containers, line);
    };
    const QString source = QString::fromStdString(m_simulator->attach(makeDevice("source", sourceOptions)));
    ASSERT_NE(source, udid());

    control("set " + m_udid + " WillEncrypt true");
    control("set " + m_udid + " BackupPassword secret");
    const QString passwordFile = QString::fromStdString(path("password"));
    writeFileBytes(passwordFile, "secret\n");
    const qint64 rows = storeValue("select count(*) from ZMESSAGE");
    const qint64 before = storeValue("select count(*) from ZMESSAGE where ZCONTENTTYPE<>106");
    const QMap<QString, QByteArray> others = otherFiles();

    // Not on a terminal and without --yes: refused, the phone as it was.
    const QStringList args{"transfer", "--device",        source,      "--to-device",
                           udid(),     "--password-file", passwordFile};
    const CliRun refused = runCli(args);
    EXPECT_EQ(refused.exitCode, 1) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--yes"))) << refused.err.toStdString();
    EXPECT_EQ(storeValue("select count(*) from ZMESSAGE"), rows);

    control("passcode " + m_udid); // the encrypted backup waits for it
    const CliRun run = runCli(args + QStringList{"--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("Successfully transferred %1 messages").arg(sourceFixture.visibleMessages)))
        << run.out.toStdString();
    EXPECT_EQ(storeValue("select count(*) from ZMESSAGE"), before + sourceFixture.visibleMessages);
    EXPECT_EQ(otherFiles(), others);
    // The full backup as taken stays, to put the phone back.
    const QDir kept(PartialBackupRoot::partialBackupRoot(QStringLiteral("line-full")).filePath(udid()));
    EXPECT_TRUE(QFileInfo::exists(kept.filePath(QStringLiteral("Manifest.db"))));
    EXPECT_FALSE(PartialBackupRoot::partialBackupRoot(QStringLiteral("line-restore")).exists(udid()));
}

} // namespace
