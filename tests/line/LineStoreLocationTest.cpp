#include "line/LineStoreLocation.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "line/LineAccountDB.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kMid = QStringLiteral("u1234abcd");

class LineStoreLocationTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }
    void touch(const QString& relative) { writeFileBytes(m_root.filePath(relative), "x"); }
    LineStoreLocation locate(const QString& mid = kMid) const
    {
        return LineStoreLocation::locate(m_root.path(), mid);
    }

    QTemporaryDir m_root;
};

TEST_F(LineStoreLocationTest, TheAccountFolderNamedForTheMidComesFirstWithItsGroupStore)
{
    const QString prefix = QStringLiteral("Library/Application Support/PrivateStore/P_u1234abcd/");
    touch(prefix + QStringLiteral("Messages/Line.sqlite"));
    touch(prefix + QStringLiteral("Messages/UnifiedGroup.sqlite"));
    touch(QStringLiteral("Library/Application Support/PrivateStore/P_other/Messages/Line.sqlite"));
    touch(QStringLiteral("Documents/talk.sqlite"));
    const LineStoreLocation location = locate();
    EXPECT_EQ(location.accountPrefix, prefix);
    EXPECT_EQ(location.storeRelativePath, prefix + QStringLiteral("Messages/Line.sqlite"));
    EXPECT_EQ(location.groupStoreRelativePath, prefix + QStringLiteral("Messages/UnifiedGroup.sqlite"));
}

TEST_F(LineStoreLocationTest, WithoutAGroupStoreThereIsNoGroupPath)
{
    touch(QStringLiteral("Library/Application Support/PrivateStore/P_u1234abcd/Messages/Line.sqlite"));
    EXPECT_TRUE(locate().groupStoreRelativePath.isEmpty());
}

TEST_F(LineStoreLocationTest, AFolderNamedForAnotherAccountIsFoundByWalkingTheAccountFolders)
{
    const QString privateStore = QStringLiteral("Library/Application Support/PrivateStore/");
    QDir().mkpath(m_root.filePath(privateStore + QStringLiteral("P_aaa_empty")));
    touch(privateStore + QStringLiteral("P_bbb/Messages/Line.sqlite"));
    touch(privateStore + QStringLiteral("P_bbb/Messages/UnifiedGroup.sqlite"));
    touch(privateStore + QStringLiteral("P_ccc/Messages/Line.sqlite"));
    for (const QString& mid : {kMid, QString()}) {
        const LineStoreLocation location = locate(mid);
        EXPECT_EQ(location.accountPrefix, privateStore + QStringLiteral("P_bbb/"));
        EXPECT_EQ(location.storeRelativePath, privateStore + QStringLiteral("P_bbb/Messages/Line.sqlite"));
        EXPECT_EQ(location.groupStoreRelativePath,
                  privateStore + QStringLiteral("P_bbb/Messages/UnifiedGroup.sqlite"));
    }
}

TEST_F(LineStoreLocationTest, TheOldDocumentsPrivateStoreKeepsTheNewAttachmentPrefix)
{
    const QString folder = QStringLiteral("Documents/PrivateStore/P_u1234abcd/");
    QDir().mkpath(m_root.filePath(folder));
    // None exists yet: the oldest fixed places follow, with their prefix.
    LineStoreLocation location = locate();
    EXPECT_EQ(location.accountPrefix, QStringLiteral("Library/Application Support/"));
    EXPECT_EQ(location.storeRelativePath, QStringLiteral("Documents/talk.sqlite"));

    touch(folder + QStringLiteral("Messages/talk.sqlite"));
    EXPECT_EQ(locate().storeRelativePath, folder + QStringLiteral("Messages/talk.sqlite"));
    touch(folder + QStringLiteral("Messages/Line.sqlite"));
    EXPECT_EQ(locate().storeRelativePath, folder + QStringLiteral("Messages/Line.sqlite"));
    touch(folder + QStringLiteral("talk.sqlite"));
    location = locate();
    EXPECT_EQ(location.storeRelativePath, folder + QStringLiteral("talk.sqlite"));
    EXPECT_EQ(location.accountPrefix,
              QStringLiteral("Library/Application Support/PrivateStore/P_u1234abcd/"));
}

TEST_F(LineStoreLocationTest, TheOldestLayoutsUseTheApplicationSupportPrefix)
{
    touch(QStringLiteral("Documents/talk.sqlite"));
    LineStoreLocation location = locate();
    EXPECT_EQ(location.accountPrefix, QStringLiteral("Library/Application Support/"));
    EXPECT_EQ(location.storeRelativePath, QStringLiteral("Documents/talk.sqlite"));
    touch(QStringLiteral("Library/Application Support/Messages/Line.sqlite"));
    location = locate();
    EXPECT_EQ(location.storeRelativePath, QStringLiteral("Library/Application Support/Messages/Line.sqlite"));
}

TEST_F(LineStoreLocationTest, AFolderWhereTheStoreShouldBeIsNoStore)
{
    QDir().mkpath(m_root.filePath(
        QStringLiteral("Library/Application Support/PrivateStore/P_u1234abcd/Messages/Line.sqlite")));
    touch(QStringLiteral("Documents/talk.sqlite"));
    EXPECT_EQ(locate().storeRelativePath, QStringLiteral("Documents/talk.sqlite"));
}

TEST(LineAccountDBTest, SavingTheSameMidTwiceKeepsOneRowWithTheLatestValues)
{
    QTemporaryDir dir;
    LineAccountDB registry(dir.filePath(LineAccountDB::FileName));
    registry.saveAccount({QStringLiteral("u1"), QStringLiteral("Old"), QStringLiteral("111")});
    registry.saveAccount({QStringLiteral("u2"), QStringLiteral("Other"), QString()});
    registry.saveAccount({QStringLiteral("u1"), QStringLiteral("New"), QStringLiteral("222")});
    registry.saveAccount({QString(), QStringLiteral("nobody"), QString()});
    const QList<LineAccount> expected = {{QStringLiteral("u1"), QStringLiteral("New"), QStringLiteral("222")},
                                         {QStringLiteral("u2"), QStringLiteral("Other"), QString()}};
    EXPECT_EQ(registry.accounts(), expected);
    // A second object on the same file opens the existing registry.
    LineAccountDB again(dir.filePath(LineAccountDB::FileName));
    EXPECT_EQ(again.accounts(), expected);
}

TEST(LineAccountDBTest, ABrokenRegistryNeverStopsTheCaller)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(LineAccountDB::FileName);
    writeFileBytes(path, QByteArray("garbage, not a database").repeated(100));
    LineAccountDB registry(path);
    EXPECT_NO_THROW(registry.saveAccount({QStringLiteral("u1"), QStringLiteral("Name"), QString()}));
    EXPECT_THROW(registry.accounts(), std::exception);
}

TEST(LineAccountDBTest, TheDefaultRegistryLivesInTheApplicationDataFolder)
{
    LineAccountDB registry;
    registry.saveAccount({QStringLiteral("u9"), QStringLiteral("Nine"), QString()});
    EXPECT_TRUE(registry.filePath().endsWith(QStringLiteral("/bk_line_account.db")));
    EXPECT_TRUE(QFileInfo(registry.filePath()).isFile());
}

} // namespace
