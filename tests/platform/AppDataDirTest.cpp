#include "platform/AppDataDir.h"
#include "app/AppInfo.h"

#include <gtest/gtest.h>

TEST(AppDataDirTest, IsCreatedBelowTheTemporaryHomeAndHoldsLocalDatabases)
{
    const QDir data = appDataDir();
    EXPECT_TRUE(data.exists());
    EXPECT_TRUE(data.absolutePath().startsWith(QDir::homePath())) << data.absolutePath().toStdString();
    EXPECT_TRUE(data.absolutePath().endsWith(QStringLiteral("Vantorel/") + AppInfo::productId));
    const QDir local = localDbDir();
    EXPECT_TRUE(local.exists());
    EXPECT_EQ(local.absolutePath(), data.filePath(QStringLiteral("local_databases")));
}
