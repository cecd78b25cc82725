#include "backup/ManifestPruner.h"
#include "BackupTestFixtures.h"
#include "TestFiles.h"
#include "backup/ContentCipher.h"
#include "backup/MBDBParser.h"
#include "storage/Sqlite3DB.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace backupfixture;
using namespace backuptest;

namespace {

const QSet<QString> LineDomains = {LineApp, LineGroup};
const QString AppleApp = QStringLiteral("AppDomain-com.apple.mobilesafari");
const QString OtherApp = QStringLiteral("AppDomain-com.example.other");

class ManifestPrunerTest : public ::testing::Test
{
protected:
    void write(bool encrypted)
    {
        if (encrypted)
            builder.setEncryption(encryption());
        addSampleFiles(builder); // LINE files, purplebuddy, another maker's app, a link in LINE's domain
        builder.addFile("HomeDomain", "Library/SMS/sms.db", "messages");
        builder.addFile(AppleApp, "Library/Safari/History.db", "history");
        builder.addFile("MediaDomain", "Media/DCIM/a.jpg", "jpg");
        FileEntry missing;
        missing.domain = LineGroup;
        missing.relativePath = "Library/gone.txt";
        missing.bytes = "never stored";
        missing.writeContent = false;
        builder.addEntry(missing);
        folder = dir.filePath("backup");
        ASSERT_TRUE(builder.write(folder));
        backup = openBackup(folder, true);
    }

    // The (domain, path) pairs of a reduced plaintext manifest.
    QSet<QString> rowsOf(const QString& path)
    {
        QSet<QString> rows;
        Sqlite3DB db;
        db.openFile(path, Sqlite3DB::OpenReadOnly);
        Sqlite3Cursor cursor = db.query("select domain, relativePath from Files");
        while (cursor.moveNext())
            rows.insert(cursor.getText("domain") + ":" + cursor.getText("relativePath"));
        return rows;
    }

    QTemporaryDir dir;
    BackupFixtureBuilder builder;
    QString folder;
    PBackupManifest backup;
};

} // namespace

TEST_F(ManifestPrunerTest, WithoutOtherDomainsOnlyTheHomeSkeletonAndPresentWantedFilesStay)
{
    write(false);
    const QString destination = folder + "/Manifest-line.db";
    bool extraStepRan = false;
    backup->pruneManifest(destination, false, LineDomains, [&](Sqlite3DB& db) {
        extraStepRan = db.isOpen();
        EXPECT_EQ(db.queryInt64("select count(*) from Files where domain='MediaDomain'"), 0);
    });
    EXPECT_TRUE(extraStepRan);
    const QSet<QString> rows = rowsOf(destination);
    EXPECT_TRUE(rows.contains("HomeDomain:"));
    EXPECT_TRUE(rows.contains("HomeDomain:Library"));
    EXPECT_TRUE(rows.contains("HomeDomain:Library/Preferences"));
    EXPECT_TRUE(rows.contains("HomeDomain:Library/Preferences/com.apple.purplebuddy.plist"));
    EXPECT_FALSE(rows.contains("HomeDomain:Library/SMS/sms.db"));
    EXPECT_FALSE(rows.contains("HomeDomain:Library/SMS")); // a folder outside the wanted domains
    EXPECT_TRUE(
        rows.contains(LineGroup + ":Library/Application Support/PrivateStore/P_u1/Messages/Line.sqlite"));
    EXPECT_TRUE(rows.contains(LineGroup + ":Library")); // folders always stay
    EXPECT_TRUE(rows.contains(LineApp + ":"));
    EXPECT_FALSE(rows.contains(LineGroup + ":Library/gone.txt")); // its content is not in the backup
    EXPECT_FALSE(rows.contains(LineApp + ":Library/link"));       // links go
    EXPECT_FALSE(rows.contains(AppleApp + ":Library/Safari/History.db"));
    EXPECT_FALSE(rows.contains(OtherApp + ":Documents/other.txt"));
    EXPECT_FALSE(rows.contains("MediaDomain:Media/DCIM/a.jpg"));
    EXPECT_FALSE(QFileInfo::exists(destination + ".tmp"));
}

TEST_F(ManifestPrunerTest, WithOtherDomainsSystemAndAppleAppsStayOtherMakersGo)
{
    write(false);
    const QString destination = dir.filePath("reduced.db");
    backup->pruneManifest(destination, true, LineDomains);
    const QSet<QString> rows = rowsOf(destination);
    EXPECT_TRUE(rows.contains("HomeDomain:Library/SMS/sms.db"));
    EXPECT_TRUE(rows.contains("MediaDomain:Media/DCIM/a.jpg"));
    EXPECT_TRUE(rows.contains(AppleApp + ":Library/Safari/History.db"));
    EXPECT_FALSE(rows.contains(OtherApp + ":Documents/other.txt"));
    EXPECT_FALSE(rows.contains(OtherApp + ":")); // its folders too
}

TEST_F(ManifestPrunerTest, EncryptedBackupsGetAnEncryptedReducedManifestAndNoPlaintextBesideIt)
{
    write(true);
    const QString destination = folder + "/Manifest-line.db";
    const QStringList before = filesBelow(folder);
    backup->pruneManifest(destination, false, LineDomains);
    EXPECT_FALSE(readFileBytes(destination).startsWith("SQLite format 3"));
    QStringList expected = before;
    expected << "Manifest-line.db";
    expected.sort();
    QStringList after = filesBelow(folder);
    after.sort();
    EXPECT_EQ(after, expected);
    ContentCipher::decryptFile(builder.keys().manifestKey, destination, dir.filePath("plain.db"));
    const QSet<QString> rows = rowsOf(dir.filePath("plain.db"));
    EXPECT_TRUE(rows.contains(LineApp + ":Library/Preferences/jp.naver.line.plist"));
    EXPECT_FALSE(rows.contains(OtherApp + ":Documents/other.txt"));
}

TEST_F(ManifestPrunerTest, AFailingExtraStepLeavesNoDestinationAndNoTemporaryFile)
{
    write(false);
    const QString destination = folder + "/Manifest-line.db";
    writeFileBytes(destination, "earlier reduced manifest");
    EXPECT_THROW(backup->pruneManifest(destination, false, LineDomains,
                                       [](Sqlite3DB& db) { db.execute("select * from no_such_table"); }),
                 std::runtime_error);
    EXPECT_EQ(readFileBytes(destination), QByteArray("earlier reduced manifest"));
    EXPECT_FALSE(QFileInfo::exists(destination + ".tmp"));
}

TEST(ManifestPrunerRuleTest, NullsAndShortIdsStayFixedIdsAlwaysQualify)
{
    QTemporaryDir dir;
    ManifestPruner::Context context{QDir(dir.path()), false, {LineApp}};
    EXPECT_TRUE(ManifestPruner::keep(context, QString(), true, "D", false, 1));
    EXPECT_TRUE(ManifestPruner::keep(context, "abcd", false, QString(), true, 1));
    EXPECT_TRUE(ManifestPruner::keep(context, "ab", false, "D", false, 4));
    EXPECT_TRUE(
        ManifestPruner::keep(context, "C159D5C126017800B79C85665222FBE894C3DD77", false, "X", false, 2));
    EXPECT_FALSE(
        ManifestPruner::keep(context, "c159d5c126017800b79c85665222fbe894c3dd77", false, "X", false, 1));
    EXPECT_FALSE(ManifestPruner::keep(context, "../../../etc/passwd", false, LineApp, false, 1));
    EXPECT_EQ(ManifestPruner::fixedFileIds().values().size(), 4);
    for (const QString& path : {QString(), QStringLiteral("Library"), QStringLiteral("Library/Preferences"),
                                QStringLiteral("Library/Preferences/com.apple.purplebuddy.plist")})
        EXPECT_TRUE(ManifestPruner::fixedFileIds().contains(BackupManifest::fileId("HomeDomain", path)));
}

TEST(ManifestPrunerRuleTest, BackupsWithoutManifestDbCannotBePruned)
{
    QTemporaryDir dir;
    BackupFixtureBuilder builder;
    builder.setLayout(ManifestLayout::Mbdb);
    builder.addFile(LineApp, "a", "x");
    ASSERT_TRUE(builder.write(dir.filePath("b")));
    const PBackupManifest backup = openBackup(dir.filePath("b"), false);
    EXPECT_THROW(backup->pruneManifest(dir.filePath("out.db"), false, LineDomains), std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out.db")));
}
