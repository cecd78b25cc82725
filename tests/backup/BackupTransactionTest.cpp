// Changes to several files of a backup: undone without a commit, finished by the next open after one, and
// never steered outside the backup's own files by a journal found in the folder.
#include "backup/BackupTransaction.h"
#include "BackupTestFixtures.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace backupfixture;
using namespace backuptest;

namespace {

const QString Prefs = QStringLiteral("Library/Preferences/jp.naver.line.plist");

class BackupTransactionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        addSampleFiles(builder);
        folder = dir.filePath("backup");
        ASSERT_TRUE(builder.write(folder));
        content = BackupManifest::contentPath(QDir(folder), BackupManifest::fileId(LineApp, Prefs), false);
    }

    QTemporaryDir dir;
    BackupFixtureBuilder builder;
    QString folder;
    QString content;
};

} // namespace

TEST_F(BackupTransactionTest, WithoutACommitEverythingStagedGoesAndASecondWriterIsHeldOff)
{
    const QStringList before = filesBelow(folder);
    {
        BackupTransaction transaction{QDir(folder)};
        const QString staged = transaction.stage(content);
        EXPECT_TRUE(staged.startsWith(content + "."));
        writeFileBytes(staged, "new content");
        writeFileBytes(staged + ".Ab12Cd", "a save that was cut short");
        EXPECT_TRUE(QFileInfo::exists(folder + "/" + BackupTransaction::JournalName));
        try {
            BackupTransaction second{QDir(folder)};
            FAIL() << "two writers at once";
        } catch (const std::runtime_error& error) {
            EXPECT_TRUE(QString(error.what()).startsWith("Another run of the program is changing the backup"))
                << error.what();
        }
        BackupTransaction::recover(QDir(folder)); // the writer is alive: nothing is touched
        EXPECT_TRUE(QFileInfo::exists(staged));
        EXPECT_THROW(transaction.stage(folder + "/Info.plist"), std::runtime_error);
    }
    EXPECT_EQ(filesBelow(folder), before);
    EXPECT_EQ(filesBelow(QFileInfo(content).absolutePath()), QStringList{QFileInfo(content).fileName()});
    EXPECT_EQ(readFileBytes(content), pattern(300, 1));
}

TEST_F(BackupTransactionTest, TheNextOpenFinishesACommittedJournalOfAKilledRunButOnlyForBackupFiles)
{
    const QString staged = content + ".0123456789ab.tmp";
    writeFileBytes(staged, "committed content");
    writeFileBytes(folder + "/Info.plist.0123456789ab.tmp", "not a backup file to replace");
    writeFileBytes(dir.filePath("outside.0123456789ab.tmp"), "outside");
    const QString relative = QDir(folder).relativeFilePath(content);
    writeFileBytes(
        folder + "/" + BackupTransaction::JournalName,
        "ferrowyn backup journal 1\ncommitted\n" + (relative + ".0123456789ab.tmp\t" + relative).toUtf8() +
            "\nInfo.plist.0123456789ab.tmp\tInfo.plist\n../outside.0123456789ab.tmp\t../outside\n");
    // The lock of a process that no longer runs.
    writeFileBytes(folder + "/" + BackupTransaction::LockName, "4194305\nferrowyn-cli\n\n");

    const QByteArray info = readFileBytes(folder + "/Info.plist");
    openBackup(folder, false);
    EXPECT_EQ(readFileBytes(content), QByteArray("committed content"));
    EXPECT_FALSE(QFileInfo::exists(staged));
    EXPECT_FALSE(QFileInfo::exists(folder + "/" + BackupTransaction::JournalName));
    EXPECT_FALSE(QFileInfo::exists(folder + "/" + BackupTransaction::LockName));
    EXPECT_EQ(readFileBytes(folder + "/Info.plist"), info);
    EXPECT_TRUE(QFileInfo::exists(folder + "/Info.plist.0123456789ab.tmp"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("outside")));

    // A journal that never got to its commit: what it staged goes, the target stays.
    writeFileBytes(staged, "half written");
    writeFileBytes(folder + "/" + BackupTransaction::JournalName,
                   "ferrowyn backup journal 1\nstaged\n" +
                       (relative + ".0123456789ab.tmp\t" + relative).toUtf8());
    openBackup(folder, false);
    EXPECT_FALSE(QFileInfo::exists(staged));
    EXPECT_EQ(readFileBytes(content), QByteArray("committed content"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/" + BackupTransaction::JournalName));
}
