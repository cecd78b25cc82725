#include "line/IOSLineStoreCache.h"
#include "LineFixtureBuilder.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "line/IOSLineDb.h"
#include "line/LineData.h"
#include "line/LineMsgsDataSource.h"
#include "platform/AppDataDir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Relative path -> SHA-256 of every file below a folder (hidden ones included).
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path),
                     QCryptographicHash::hash(readFileBytes(path), QCryptographicHash::Sha256));
    }
    return files;
}

qint64 walkEverything(const std::shared_ptr<IOSLineDb>& db)
{
    auto data = std::make_shared<_LineData>(db, 50);
    db->loadContacts(data);
    qint64 walked = 0;
    for (bool ascending : {true, false}) {
        LineMsgsDataSource all(data, nullptr, ascending);
        for (qint64 i = 0; i < all.count(); ++i)
            walked += all.message(i).uid.isEmpty() ? 0 : 1;
    }
    const auto perChat = LineMsgsDataSource(data, nullptr, true).splitByChat();
    for (const PAbsLineMsgsSource& source : perChat) {
        for (qint64 i = 0; i < source->count(); ++i)
            source->message(i);
    }
    return walked;
}

TEST(IOSLineStoreCacheTest, ReadingThroughTheCacheNeverChangesAFileOfTheAppFolder)
{
    QTemporaryDir dir;
    LineFixtureOptions options;
    options.messages = 300;
    options.pendingWalMessages = 4;
    const LineFixture fixture = LineFixtureBuilder::build(dir.filePath(QStringLiteral("app")), options);
    const QMap<QString, QByteArray> before = snapshot(fixture.appRoot);
    ASSERT_TRUE(before.contains(fixture.storeRelativePath + QStringLiteral("-wal")));

    for (int round = 0; round < 2; ++round) {
        auto db = IOSLineStoreCache::openCopy(fixture.appRoot);
        // The messages still in the source's write-ahead log are read too.
        EXPECT_EQ(walkEverything(db), 2 * fixture.visibleMessages);
        db->close();
    }
    EXPECT_EQ(snapshot(fixture.appRoot), before);

    const QString cache = IOSLineStoreCache::folderFor(fixture.appRoot);
    EXPECT_TRUE(cache.startsWith(appDataDir().filePath(QStringLiteral("ios_cache/"))));
    EXPECT_TRUE(QFileInfo(QDir(cache).filePath(fixture.storeRelativePath)).isFile());
    EXPECT_FALSE(snapshot(QDir(cache).filePath(QStringLiteral("tmp/thumbnails"))).isEmpty());
}

TEST(IOSLineStoreCacheTest, EachAppFolderHasItsOwnCacheFolder)
{
    QTemporaryDir dir;
    EXPECT_NE(IOSLineStoreCache::folderFor(dir.filePath(QStringLiteral("one"))),
              IOSLineStoreCache::folderFor(dir.filePath(QStringLiteral("two"))));
    EXPECT_EQ(IOSLineStoreCache::folderFor(dir.filePath(QStringLiteral("one"))),
              IOSLineStoreCache::folderFor(dir.filePath(QStringLiteral("x/../one"))));
}

TEST(IOSLineStoreCacheTest, ACompanionTheSourceNoLongerHasIsRemovedFromTheCopy)
{
    QTemporaryDir dir;
    LineFixtureOptions options;
    options.messages = 50;
    const LineFixture fixture = LineFixtureBuilder::build(dir.filePath(QStringLiteral("app")), options);
    const QString cachedStore =
        QDir(IOSLineStoreCache::folderFor(fixture.appRoot)).filePath(fixture.storeRelativePath);
    writeFileBytes(cachedStore + QStringLiteral("-wal"), QByteArray(4096, '\x42'));
    auto db = IOSLineStoreCache::openCopy(fixture.appRoot);
    EXPECT_EQ(walkEverything(db), 2 * fixture.visibleMessages);
}

TEST(IOSLineStoreCacheTest, AFolderWithoutAStoreSaysSoInPlainWords)
{
    QTemporaryDir dir;
    writeFileBytes(dir.filePath(QStringLiteral("Documents/readme.txt")), "nothing here");
    auto db = IOSLineStoreCache::openCopy(dir.path());
    try {
        db->open();
        FAIL() << "opened a store that does not exist";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(QStringLiteral("Found no LINE messages")))
            << error.what();
    }
}

} // namespace
