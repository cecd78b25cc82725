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
#include <chrono>
#include <filesystem>
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

namespace {

// Sets the modification time of a file or folder days back.
void ageFile(const QString& path, int days)
{
    std::error_code error;
    const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * days);
    std::filesystem::last_write_time(path.toStdString(), when, error);
    ASSERT_FALSE(error) << path.toStdString() << ": " << error.message();
}

TEST(IOSLineStoreCacheTest, TheCacheKeepsTheRecentCopiesWithinItsLimitAndDropsWhatIsLeftOver)
{
    QTemporaryDir dir;
    LineFixtureOptions options;
    options.messages = 60;
    QStringList roots;
    qint64 visible = 0;
    for (const char* name : {"first", "second", "third"}) {
        const LineFixture fixture = LineFixtureBuilder::build(dir.filePath(QLatin1String(name)), options);
        roots << fixture.appRoot;
        visible = fixture.visibleMessages; // the same for each: same options, same seed
    }
    const QString cache = IOSLineStoreCache::cacheRoot();
    QDir(cache).removeRecursively(); // the copies of the other tests of this process

    // Room for two copies: the third one pushes out the least recently used.
    auto db = IOSLineStoreCache::openCopy(roots[0]);
    db->close();
    const qint64 oneCopy = [&] {
        qint64 size = 0;
        QDirIterator it(IOSLineStoreCache::folderFor(roots[0]), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            size += it.nextFileInfo().size();
        return size;
    }();
    ASSERT_GT(oneCopy, 0);
    IOSLineStoreCache::setSizeLimit(oneCopy * 5 / 2);
    ageFile(QDir(IOSLineStoreCache::folderFor(roots[0])).filePath(QStringLiteral(".last-used")), 1);
    IOSLineStoreCache::openCopy(roots[1])->close();
    EXPECT_TRUE(QFileInfo::exists(IOSLineStoreCache::folderFor(roots[0])));

    // What an interrupted copy left long ago goes, a copy being written now stays; a copy unused for
    // over a month goes whatever room there is, and folders that are no store copies stay.
    const QString deadStaging =
        QDir(cache).filePath(QStringLiteral("0123456789abcdef0123456789abcdef.part-1a2b"));
    const QString liveStaging =
        QDir(cache).filePath(QStringLiteral("0123456789abcdef0123456789abcdef.part-3c4d"));
    const QString staleCopy = QDir(cache).filePath(QStringLiteral("fedcba9876543210fedcba9876543210"));
    const QString deviceCache = QDir(cache).filePath(QStringLiteral("00008030-001A2B3C4D5E802E"));
    writeFileBytes(QDir(deadStaging).filePath(QStringLiteral("Line.sqlite")), QByteArray(100, 'x'));
    ageFile(QDir(deadStaging).filePath(QStringLiteral("Line.sqlite")), 1);
    ageFile(deadStaging, 1);
    writeFileBytes(QDir(liveStaging).filePath(QStringLiteral("Line.sqlite")), QByteArray(100, 'x'));
    writeFileBytes(QDir(staleCopy).filePath(QStringLiteral(".last-used")), "then");
    ageFile(QDir(staleCopy).filePath(QStringLiteral(".last-used")), IOSLineStoreCache::kStaleDays + 1);
    writeFileBytes(QDir(deviceCache).filePath(QStringLiteral("Line.sqlite")), QByteArray(100, 'x'));

    db = IOSLineStoreCache::openCopy(roots[2]);
    EXPECT_EQ(walkEverything(db), 2 * visible);
    db->close();
    EXPECT_FALSE(QFileInfo::exists(IOSLineStoreCache::folderFor(roots[0])));
    EXPECT_TRUE(QFileInfo::exists(IOSLineStoreCache::folderFor(roots[1])));
    EXPECT_TRUE(QFileInfo::exists(IOSLineStoreCache::folderFor(roots[2])));
    EXPECT_FALSE(QFileInfo::exists(deadStaging));
    EXPECT_TRUE(QFileInfo::exists(liveStaging));
    EXPECT_FALSE(QFileInfo::exists(staleCopy));
    EXPECT_TRUE(QFileInfo::exists(deviceCache));
    IOSLineStoreCache::setSizeLimit(-1);

    // A cache that cannot be written (here a file where its folder belongs) does not stop a read: the
    // store is read from a temporary copy, which goes away with the database.
    QDir(cache).removeRecursively();
    writeFileBytes(cache, "not a folder");
    QString temporaryCopy;
    {
        auto readOnly = IOSLineStoreCache::openCopy(roots[1]);
        EXPECT_EQ(walkEverything(readOnly), 2 * visible);
        temporaryCopy = readOnly->storePath();
        EXPECT_FALSE(temporaryCopy.startsWith(cache)) << temporaryCopy.toStdString();
        readOnly->close();
    }
    EXPECT_FALSE(QFileInfo::exists(temporaryCopy)) << temporaryCopy.toStdString();
    QFile::remove(cache);
}

} // namespace
