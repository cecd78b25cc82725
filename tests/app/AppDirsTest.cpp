#include "app/AppDirs.h"
#include "app/AppInfo.h"

#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class AppDirsTest : public ::testing::Test
{
protected:
    QString path(const QString& relative) const { return QDir(m_dir.path()).filePath(relative); }
    void writeRedirect(const QByteArray& content)
    {
        writeFileBytes(
            path(QStringLiteral("roaming/Vantorel/") + AppInfo::productId + QStringLiteral(".redirect")),
            content);
    }

    QTemporaryDir m_dir;
};
} // namespace

TEST_F(AppDirsTest, DataFolderIsVendorFolderAndProductIdWithoutRedirect)
{
    EXPECT_EQ(dataDirPathFor(path("roaming")), path("roaming/Vantorel/") + AppInfo::productId);
}

TEST_F(AppDirsTest, RedirectToExistingFolderMovesDataFolder)
{
    QDir().mkpath(path("elsewhere"));
    writeRedirect(path("elsewhere").toUtf8());
    EXPECT_EQ(dataDirPathFor(path("roaming")), path("elsewhere/") + AppInfo::productId);
}

TEST_F(AppDirsTest, RedirectToMissingFolderOrWithLineBreakFallsBack)
{
    writeRedirect(path("missing").toUtf8());
    EXPECT_EQ(dataDirPathFor(path("roaming")), path("roaming/Vantorel/") + AppInfo::productId);

    QDir().mkpath(path("elsewhere"));
    writeRedirect(path("elsewhere").toUtf8() + "\n");
    EXPECT_EQ(dataDirPathFor(path("roaming")), path("roaming/Vantorel/") + AppInfo::productId);
}

TEST_F(AppDirsTest, WindowsProfileRulePrefersRoamingFolder)
{
    EXPECT_EQ(roamingDirUnder(m_dir.path()), path("Application Data"));
    QDir().mkpath(path("AppData/Roaming"));
    EXPECT_EQ(roamingDirUnder(m_dir.path()), path("AppData/Roaming"));
}
