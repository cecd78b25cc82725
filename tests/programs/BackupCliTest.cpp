// ferrowyn-cli backup, run as a user would on backups the fixture builder writes.
#include "../backup/BackupTestFixtures.h"
#include "TestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace backupfixture;
using namespace backuptest;

namespace {

struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& args, const QByteArray& input = {}, const QString& password = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("FERROWYN_BACKUP_PASSWORD"));
    if (!password.isNull())
        environment.insert(QStringLiteral("FERROWYN_BACKUP_PASSWORD"), password);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(FERROWYN_CLI_EXE), QStringList{QStringLiteral("backup")} + args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QList<QJsonObject> jsonLines(const QString& text)
{
    QList<QJsonObject> objects;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts))
        objects.append(QJsonDocument::fromJson(line.toUtf8()).object());
    return objects;
}

class BackupCliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BackupFixtureBuilder encrypted;
        encrypted.setEncryption(encryption());
        addSampleFiles(encrypted);
        encrypted.addFile(LineApp, "../escape.txt", "outside");
        FileEntry absent;
        absent.domain = LineApp;
        absent.relativePath = "Documents/absent.bin";
        absent.bytes = "never stored";
        absent.writeContent = false;
        encrypted.addEntry(absent);
        absent.relativePath = "Documents/empty-without-content";
        absent.bytes.clear();
        encrypted.addEntry(absent);
        ASSERT_TRUE(encrypted.write(root.filePath("encrypted")));
        BackupFixtureBuilder plain;
        plain.setLayout(ManifestLayout::Mbdb);
        addSampleFiles(plain);
        ASSERT_TRUE(plain.write(root.filePath("plain")));
        writeFileBytes(work.filePath("password.txt"), (Password + "\n").toUtf8());
    }

    QTemporaryDir root;
    QTemporaryDir work;
};

} // namespace

TEST_F(BackupCliTest, ListAndInfoDescribeBackupsAsJson)
{
    const CliRun list = runCli({"list", "--root", root.path(), "--json"});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QList<QJsonObject> backups = jsonLines(list.out);
    ASSERT_EQ(backups.size(), 2);
    QStringList keys = backups[0].keys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"backupDate", "backupId", "deviceName", "displayName", "isEncrypted", "path",
                                 "productType", "productVersion", "serialNumber", "udid"}));
    const CliRun info = runCli({"info", root.filePath("encrypted"), "--json"});
    ASSERT_EQ(info.exitCode, 0);
    const QJsonObject object = jsonLines(info.out).value(0);
    EXPECT_TRUE(object.value("isEncrypted").toBool());
    EXPECT_EQ(object.value("deviceName").toString(), QStringLiteral("Test iPhone"));
    EXPECT_EQ(object.value("path").toString(), root.filePath("encrypted"));

    const CliRun text = runCli({"list", "--root", root.path()});
    EXPECT_EQ(text.out.count('\n'), 2);
    EXPECT_EQ(runCli({"info", work.path()}).exitCode, 1); // no Manifest.plist
}

TEST_F(BackupCliTest, PasswordsComeFromStdinAFileOrTheEnvironmentNeverFromArguments)
{
    const QStringList files = {"files", root.filePath("encrypted"), "--domain", LineGroup, "--json"};
    const CliRun none = runCli(files);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("FERROWYN_BACKUP_PASSWORD")) << none.err.toStdString();
    EXPECT_EQ(runCli(files + QStringList{"--password-stdin"}, (Password + "\n").toUtf8()).exitCode, 0);
    EXPECT_EQ(runCli(files + QStringList{"--password-file", work.filePath("password.txt")}).exitCode, 0);
    const CliRun environment = runCli(files, {}, Password);
    ASSERT_EQ(environment.exitCode, 0) << environment.err.toStdString();
    const QList<QJsonObject> records = jsonLines(environment.out);
    ASSERT_FALSE(records.isEmpty());
    QStringList keys = records[0].keys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"domain", "fileId", "isDirectory", "lastModified", "mode", "protectionClass",
                                 "relativePath", "size"}));
    bool foundStore = false;
    for (const QJsonObject& record : records) {
        EXPECT_EQ(record.value("domain").toString(), LineGroup);
        if (record.value("relativePath").toString().endsWith("Line.sqlite")) {
            foundStore = true;
            EXPECT_EQ(record.value("size").toInt(), 70000);
            EXPECT_EQ(record.value("protectionClass").toInt(), 4);
        }
    }
    EXPECT_TRUE(foundStore);
    const CliRun wrong = runCli(files, {}, "wrong");
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.err.contains("wrong password"));
    EXPECT_EQ(runCli({"files", "--password", Password, root.filePath("encrypted")}).exitCode, 2);
}

TEST_F(BackupCliTest, ExtractDecryptsAndRefusesPathsThatLeaveTheDestination)
{
    const QString out = work.filePath("out/inner");
    const CliRun run =
        runCli({"extract", root.filePath("encrypted"), "--domain", LineApp, "--out", out}, {}, Password);
    EXPECT_EQ(run.exitCode, 1); // one path was refused, one file has no content
    EXPECT_TRUE(run.err.contains("../escape.txt")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("no content for Documents/absent.bin")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out + "/Documents/absent.bin"));
    EXPECT_TRUE(QFileInfo(out + "/Documents/empty-without-content").isFile());
    EXPECT_FALSE(QFileInfo::exists(work.filePath("out/escape.txt")));
    EXPECT_EQ(readFileBytes(out + "/Library/Preferences/jp.naver.line.plist"), pattern(300, 1));

    const QString plainOut = work.filePath("plain");
    const CliRun plain =
        runCli({"extract", root.filePath("plain"), "--domain", LineGroup, "--out", plainOut});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(readFileBytes(plainOut + "/Library/Application Support/PrivateStore/P_u1/Messages/Line.sqlite"),
              pattern(70000, 2));
    EXPECT_EQ(runCli({"extract", root.filePath("plain"), "--out", plainOut}).exitCode, 2);
}

TEST_F(BackupCliTest, PutThenReadBackAndPrune)
{
    writeFileBytes(work.filePath("new.db"), "a new LINE database");
    const QString backup = root.filePath("encrypted");
    const CliRun put = runCli({"put", backup, "--domain", LineGroup, "--path", "Library/new.db", "--file",
                               work.filePath("new.db"), "--class-d"},
                              {}, Password);
    ASSERT_EQ(put.exitCode, 0) << put.err.toStdString();
    const CliRun again = runCli({"put", backup, "--domain", LineGroup, "--path", "Library/new.db", "--file",
                                 work.filePath("missing.db")},
                                {}, Password);
    EXPECT_EQ(again.exitCode, 1);
    const CliRun extract =
        runCli({"extract", backup, "--domain", LineGroup, "--out", work.filePath("x")}, {}, Password);
    ASSERT_EQ(extract.exitCode, 0) << extract.err.toStdString();
    EXPECT_EQ(readFileBytes(work.filePath("x/Library/new.db")), QByteArray("a new LINE database"));

    const CliRun prune = runCli({"prune", backup, "--keep", LineApp, "--keep", LineGroup}, {}, Password);
    ASSERT_EQ(prune.exitCode, 0) << prune.err.toStdString();
    EXPECT_TRUE(QFileInfo(backup + "/Manifest-line.db").size() > 0);
    EXPECT_FALSE(QFileInfo::exists(backup + "/Manifest-decrypted.db"));
    EXPECT_EQ(runCli({"prune", backup}, {}, Password).exitCode, 2);
}
