// ferrowyn-cli line --backup, import and transfer --to-backup, run as a user would on backups the fixture
// builders write.
#include "BackupFixtureBuilder.h"
#include "CliProcess.h"
#include "LineFixtureBuilder.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "backup/BackupManifest.h"
#include "storage/Sqlite3DB.h"

#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QString Password = QStringLiteral("secret");
const QString GroupDomain = QStringLiteral("AppDomainGroup-group.com.linecorp.line");

class TransferCliTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        LineFixtureOptions target;
        target.messages = 80;
        s_target =
            new LineFixture(LineFixtureBuilder::build(s_dir->filePath(QStringLiteral("target")), target));
        LineFixtureOptions source;
        source.seed = 7;
        source.messages = 60;
        s_source =
            new LineFixture(LineFixtureBuilder::build(s_dir->filePath(QStringLiteral("source")), source));
        s_passwordFile = new QString(s_dir->filePath(QStringLiteral("password")));
        writeFileBytes(*s_passwordFile, Password.toUtf8() + "\n");
    }
    static void TearDownTestSuite()
    {
        delete s_passwordFile;
        delete s_source;
        delete s_target;
        delete s_dir;
    }

    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // A backup holding the target fixture's LINE data (or that of another app folder).
    QString writeBackup(const QString& name, bool encrypted,
                        backupfixture::ManifestLayout layout = backupfixture::ManifestLayout::Database,
                        const QString& appRoot = {})
    {
        backupfixture::BackupFixtureBuilder builder;
        builder.setLayout(layout).addLineAppFolder(appRoot.isEmpty() ? s_target->appRoot : appRoot);
        if (encrypted) {
            backupfixture::EncryptionSettings encryption;
            encryption.enabled = true;
            encryption.password = Password;
            encryption.dataProtectionKdf = layout == backupfixture::ManifestLayout::Database;
            builder.setEncryption(encryption);
        }
        const QString folder = m_dir.filePath(name);
        QString error;
        EXPECT_TRUE(builder.write(folder, &error)) << error.toStdString();
        return folder;
    }

    QStringList passwordArgs(bool encrypted) const
    {
        return encrypted ? QStringList{QStringLiteral("--password-file"), *s_passwordFile} : QStringList{};
    }

    // The messages LINE's data in a backup holds, counted through "line chats --backup".
    qint64 backupMessages(const QString& backup, bool encrypted)
    {
        const CliRun run = runCli(QStringList{QStringLiteral("line"), QStringLiteral("chats"),
                                              QStringLiteral("--backup"), backup, QStringLiteral("--json")} +
                                  passwordArgs(encrypted));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        qint64 messages = 0;
        for (const QJsonObject& chat : run.objects())
            messages += chat.value(QStringLiteral("messages")).toInteger();
        return messages;
    }

    qint64 localMessages(const QString& folder)
    {
        const CliRun run =
            runCli({QStringLiteral("localdb"), QStringLiteral("messages"), folder, QStringLiteral("--json")});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return run.out.count(QLatin1Char('\n'));
    }

    // A local database holding the source fixture's messages.
    QString sourceDb()
    {
        const QString folder = m_dir.filePath(QStringLiteral("sourcedb"));
        if (!QDir(folder).exists()) {
            const CliRun run = runCli({QStringLiteral("localdb"), QStringLiteral("backup"), folder,
                                       QStringLiteral("--line"), s_source->appRoot});
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        }
        return folder;
    }

    QTemporaryDir m_dir;
    static QTemporaryDir* s_dir;
    static LineFixture* s_target;
    static LineFixture* s_source;
    static QString* s_passwordFile;
};

QTemporaryDir* TransferCliTest::s_dir = nullptr;
LineFixture* TransferCliTest::s_target = nullptr;
LineFixture* TransferCliTest::s_source = nullptr;
QString* TransferCliTest::s_passwordFile = nullptr;

TEST_F(TransferCliTest, LineAndImportReadPlainAndEncryptedBackupsAndASecondImportAddsNothing)
{
    for (const bool encrypted : {false, true}) {
        SCOPED_TRACE(encrypted ? "encrypted" : "plain");
        const QString backup =
            writeBackup(encrypted ? QStringLiteral("enc") : QStringLiteral("plain"), encrypted);
        const QMap<QString, QByteArray> before = fileDigests(backup);
        EXPECT_EQ(backupMessages(backup, encrypted), s_target->visibleMessages);
        const CliRun messages =
            runCli(QStringList{QStringLiteral("line"), QStringLiteral("messages"), QStringLiteral("--backup"),
                               backup, QStringLiteral("--json")} +
                   passwordArgs(encrypted));
        ASSERT_EQ(messages.exitCode, 0) << messages.err.toStdString();
        EXPECT_EQ(messages.objects().size(), s_target->visibleMessages);
        // A search of the backup finds exactly the messages whose text holds the query.
        QString query;
        for (const QJsonObject& object : messages.objects()) {
            const QString text = object.value(QStringLiteral("text")).toString();
            if (text.size() >= 4) {
                query = text.left(4);
                break;
            }
        }
        ASSERT_FALSE(query.isEmpty());
        int holding = 0;
        for (const QJsonObject& object : messages.objects())
            holding += object.value(QStringLiteral("text")).toString().contains(query, Qt::CaseInsensitive);
        const CliRun found =
            runCli(QStringList{QStringLiteral("search"), query, QStringLiteral("--backup"), backup,
                               QStringLiteral("--limit"), QStringLiteral("0"), QStringLiteral("--json")} +
                   passwordArgs(encrypted));
        ASSERT_EQ(found.exitCode, 0) << found.err.toStdString();
        EXPECT_EQ(found.objects().size(), holding);

        const QString name = encrypted ? QStringLiteral("Enc") : QString();
        QStringList args{QStringLiteral("import"), QStringLiteral("--backup"), backup};
        if (!name.isEmpty())
            args << QStringLiteral("--name") << name;
        const CliRun first = runCli(args + passwordArgs(encrypted));
        ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
        const QString folder = first.out.trimmed().split(QLatin1Char('\n')).last();
        EXPECT_EQ(QDir(folder).dirName(), name.isEmpty() ? QStringLiteral("Test iPhone_Backup") : name);
        EXPECT_EQ(localMessages(folder), s_target->visibleMessages);
        const CliRun second = runCli(args + passwordArgs(encrypted));
        ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
        EXPECT_EQ(localMessages(folder), s_target->visibleMessages);
        EXPECT_EQ(fileDigests(backup), before);
    }
    // Without the password an encrypted backup is refused.
    const CliRun locked = runCli({QStringLiteral("line"), QStringLiteral("chats"), QStringLiteral("--backup"),
                                  m_dir.filePath(QStringLiteral("enc"))});
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_TRUE(locked.err.contains(QStringLiteral("encrypted"))) << locked.err.toStdString();
}

TEST_F(TransferCliTest, TransferIntoBackupsOfEveryKindMergesOnceAndReadsBack)
{
    struct Kind
    {
        const char* name;
        bool encrypted;
        backupfixture::ManifestLayout layout;
    };
    const QString db = sourceDb();
    const qint64 sourceMessages = localMessages(db);
    ASSERT_EQ(sourceMessages, s_source->visibleMessages);
    for (const Kind& kind : {Kind{"plain", false, backupfixture::ManifestLayout::Database},
                             Kind{"mbdb", false, backupfixture::ManifestLayout::Mbdb},
                             Kind{"enc", true, backupfixture::ManifestLayout::Database}}) {
        SCOPED_TRACE(kind.name);
        const QString backup = writeBackup(QLatin1String(kind.name), kind.encrypted, kind.layout);
        const QStringList args = QStringList{QStringLiteral("transfer"), QStringLiteral("--localdb"), db,
                                             QStringLiteral("--to-backup"), backup} +
                                 passwordArgs(kind.encrypted);
        const CliRun first = runCli(args);
        ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
        EXPECT_TRUE(
            first.out.contains(QStringLiteral("Successfully transferred %1 messages").arg(sourceMessages)))
            << first.out.toStdString();
        EXPECT_EQ(backupMessages(backup, kind.encrypted), s_target->visibleMessages + sourceMessages);
        // The backup stays a backup the backup commands read.
        const CliRun files = runCli(QStringList{QStringLiteral("backup"), QStringLiteral("files"), backup,
                                                QStringLiteral("--domain"), GroupDomain} +
                                    passwordArgs(kind.encrypted));
        EXPECT_EQ(files.exitCode, 0) << files.err.toStdString();
        EXPECT_TRUE(files.out.contains(QStringLiteral("Line.sqlite-wal"))) << files.out.toStdString();

        const CliRun again = runCli(args);
        ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
        EXPECT_EQ(backupMessages(backup, kind.encrypted), s_target->visibleMessages + sourceMessages);
    }
}

TEST_F(TransferCliTest, RefusedOrFailedTransfersLeaveTheBackupByteIdentical)
{
    const QString backup = writeBackup(QStringLiteral("enc"), true);
    const QMap<QString, QByteArray> before = fileDigests(backup);
    const QString db = sourceDb();

    // The same backup as source and target.
    CliRun run =
        runCli({QStringLiteral("transfer"), QStringLiteral("--backup"), backup, QStringLiteral("--to-backup"),
                backup, QStringLiteral("--password-file"), *s_passwordFile});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("come from this backup"))) << run.err.toStdString();
    EXPECT_EQ(fileDigests(backup), before);

    // A wrong password for the target.
    const QString wrong = m_dir.filePath(QStringLiteral("wrong"));
    writeFileBytes(wrong, "wrong\n");
    run = runCli({QStringLiteral("transfer"), QStringLiteral("--localdb"), db, QStringLiteral("--to-backup"),
                  backup, QStringLiteral("--password-file"), wrong});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("wrong password"))) << run.err.toStdString();
    EXPECT_EQ(fileDigests(backup), before);

    // The last step fails: the content file of the store's log can not be written.
    const QString storeLog = s_target->storeRelativePath + QStringLiteral("-wal");
    const QString blocked =
        BackupManifest::contentPath(QDir(backup), BackupManifest::fileId(GroupDomain, storeLog), true);
    ASSERT_TRUE(QDir().mkpath(blocked));
    run = runCli({QStringLiteral("transfer"), QStringLiteral("--localdb"), db, QStringLiteral("--to-backup"),
                  backup, QStringLiteral("--password-file"), *s_passwordFile});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_EQ(fileDigests(backup), before);
    EXPECT_EQ(backupMessages(backup, true), s_target->visibleMessages);

    // The merge itself fails half-way: the store refuses its sixth new message.
    LineFixtureOptions options;
    options.messages = 80;
    const LineFixture failing = LineFixtureBuilder::build(m_dir.filePath(QStringLiteral("failing")), options);
    {
        Sqlite3DB store;
        store.openFile(QDir(failing.appRoot).filePath(failing.storeRelativePath), SQLITE_OPEN_READWRITE);
        const qint64 rows = store.queryInt64("select count(*) from ZMESSAGE where ZCONTENTTYPE<>106");
        store.execute(QStringLiteral("create trigger refuse_sixth before insert on ZMESSAGE when "
                                     "(select count(*) from ZMESSAGE) >= %1 begin "
                                     "select raise(abort, 'the disk is full'); end")
                          .arg(rows + 5));
    }
    for (const bool encrypted : {false, true}) {
        SCOPED_TRACE(encrypted ? "encrypted" : "plain");
        const QString target =
            writeBackup(encrypted ? QStringLiteral("failing-enc") : QStringLiteral("failing-plain"),
                        encrypted, backupfixture::ManifestLayout::Database, failing.appRoot);
        const QMap<QString, QByteArray> untouched = fileDigests(target);
        run = runCli(QStringList{QStringLiteral("transfer"), QStringLiteral("--localdb"), db,
                                 QStringLiteral("--to-backup"), target} +
                     passwordArgs(encrypted));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(QStringLiteral("the disk is full"))) << run.err.toStdString();
        EXPECT_EQ(fileDigests(target), untouched);
        EXPECT_EQ(backupMessages(target, encrypted), failing.visibleMessages);
    }
}

} // namespace
