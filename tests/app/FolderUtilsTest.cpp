#include "app/FolderUtils.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RemoveTreeTest, RemovesNestedFoldersAndHiddenFiles)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    writeFileBytes(d.filePath(QStringLiteral("tree/a/b/c.txt")), "c");
    writeFileBytes(d.filePath(QStringLiteral("tree/.hidden")), "h");
    writeFileBytes(d.filePath(QStringLiteral("tree/a/d.bin")), "d");
    removeTree(d.filePath(QStringLiteral("tree")));
    EXPECT_FALSE(d.exists(QStringLiteral("tree")));
}

TEST(RemoveTreeTest, DoesNotFollowSymbolicLinks)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    writeFileBytes(d.filePath(QStringLiteral("keep/precious.txt")), "p");
    d.mkdir(QStringLiteral("tree"));
    ASSERT_TRUE(QFile::link(d.filePath(QStringLiteral("keep")), d.filePath(QStringLiteral("tree/link"))));
    removeTree(d.filePath(QStringLiteral("tree")));
    EXPECT_FALSE(d.exists(QStringLiteral("tree")));
    EXPECT_TRUE(d.exists(QStringLiteral("keep/precious.txt")));
}

TEST(RemoveTreeTest, MissingFolderIsNoError)
{
    QTemporaryDir dir;
    removeTree(QDir(dir.path()).filePath(QStringLiteral("missing")));
    EXPECT_TRUE(QDir(dir.path()).exists());
}
