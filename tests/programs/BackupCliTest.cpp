// ferrowyn-cli backup, run as a user would on backups the fixture builder writes.
#include "../backup/BackupTestFixtures.h"
#include "FixtureBackupReader.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "platform/AppDataDir.h"

#include <QCryptographicHash>
#include <QDirIterator>
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

// Runs ferrowyn-cli backup with FERROWYN_PAUSE_AT=point until it reports that it waits there, then kills
// it (SIGKILL). False when it ended or went silent without reaching the point.
bool killCliAt(const QString& point, const QStringList& args)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FERROWYN_BACKUP_PASSWORD"), Password);
    environment.insert(QStringLiteral("FERROWYN_PAUSE_AT"), point);
    process.setProcessEnvironment(environment);
    process.setReadChannel(QProcess::StandardError);
    process.start(QStringLiteral(FERROWYN_CLI_EXE), QStringList{QStringLiteral("backup")} + args);
    const QByteArray expected = "paused at " + point.toUtf8() + "\n";
    QByteArray err;
    while (!err.contains(expected) && process.waitForReadyRead(60000))
        err += process.readAllStandardError();
    const bool paused = err.contains(expected);
    process.kill();
    process.waitForFinished(60000);
    EXPECT_TRUE(paused) << point.toStdString() << " not reached: " << err.toStdString();
    return paused;
}

// Every file below folder by its relative path, with the SHA-1 of its bytes.
QMap<QString, QByteArray> digestsBelow(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path),
                     QCryptographicHash::hash(readFileBytes(path), QCryptographicHash::Sha1));
    }
    return files;
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
    // The merge's diagnostics go to the daily log, not over the command's output.
    EXPECT_FALSE(put.err.contains("BackupFileMerger")) << put.err.toStdString();
    QByteArray log;
    for (const QFileInfo& file : QDir(appDataDir().filePath("qlogs")).entryInfoList(QDir::Files))
        log += readFileBytes(file.filePath());
    EXPECT_TRUE(log.contains("BackupFileMerger: ")) << log.right(2000).toStdString();
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

TEST_F(BackupCliTest, PutGivesEveryFileAKeyOfItsOwnWhateverClassesTheBackupHolds)
{
    const QByteArray shared = pattern(4096, 5);
    for (const FileClasses classes : {FileClasses::OnlyThree, FileClasses::OnlyFour, FileClasses::NoFiles}) {
        BackupFixtureBuilder builder;
        builder.setEncryption(encryption());
        addFilesOfClasses(builder, classes);
        const QString backup = work.filePath(QString::number(int(classes)));
        ASSERT_TRUE(builder.write(backup));
        const QList<std::pair<QString, bool>> files = {
            {"Library/a.db", true}, {"Library/b.txt", false}, {"Library/c.txt", false}};
        for (const auto& [path, classD] : files) {
            writeFileBytes(work.filePath("put.bin"), shared + path.toUtf8());
            QStringList args = {"put",    backup, "--domain", LineGroup,
                                "--path", path,   "--file",   work.filePath("put.bin")};
            if (classD)
                args << "--class-d";
            const CliRun put = runCli(args, {}, Password);
            ASSERT_EQ(put.exitCode, 0) << put.err.toStdString();
        }
        const FixtureBackupReader independent(backup, Password);
        const PBackupManifest reader = openBackup(backup, true);
        const FileRecordSet set = reader->loadRecords();
        for (const auto& [path, classD] : files) {
            EXPECT_EQ(independent.content(LineGroup, path), shared + path.toUtf8()) << path.toStdString();
            EXPECT_EQ(independent.record(LineGroup, path).protectionClass, classD ? 4u : 3u);
            reader->copyItem(set.records.value(BackupManifest::fileId(LineGroup, path)),
                             work.filePath("out"));
            EXPECT_EQ(readFileBytes(work.filePath("out")), shared + path.toUtf8());
        }
        EXPECT_NE(independent.fileKey(LineGroup, "Library/b.txt"),
                  independent.fileKey(LineGroup, "Library/c.txt"));
        EXPECT_NE(independent.storedContent(LineGroup, "Library/b.txt").left(16),
                  independent.storedContent(LineGroup, "Library/c.txt").left(16));
    }
}

// A run killed at chosen points while it reads or writes an encrypted backup leaves no decrypted data in the
// backup folder, and the backup reads as before the run or as after it, never a mix.
TEST_F(BackupCliTest, KilledWhileReadingOrWritingTheBackupReadsAsBeforeOrAfterAndHoldsNoPlaintext)
{
    const QString storePath =
        QStringLiteral("Library/Application Support/PrivateStore/P_u1/Messages/Line.sqlite");
    const QByteArray oldStore = pattern(70000, 2);
    const QByteArray newStore = pattern(3 * 1024 * 1024 + 5, 11); // more than one cipher chunk
    writeFileBytes(work.filePath("store.sqlite"), newStore);
    const QList<QByteArray> plaintext = {oldStore.left(4096), newStore.left(4096), newStore.right(4096),
                                         "CREATE TABLE Files"};
    auto freshBackup = [&](const QString& name) {
        BackupFixtureBuilder builder;
        builder.setEncryption(encryption());
        addSampleFiles(builder);
        const QString folder = work.filePath(name);
        EXPECT_TRUE(builder.write(folder));
        return folder;
    };
    auto storeOf = [&](const QString& folder) {
        const PBackupManifest reader = openBackup(folder, true);
        const FileRecordSet set = reader->loadRecords();
        reader->copyItem(set.records.value(BackupManifest::fileId(LineGroup, storePath)),
                         work.filePath("store.out"));
        EXPECT_TRUE(FixtureBackupReader(folder, Password).content(LineGroup, storePath) ==
                    readFileBytes(work.filePath("store.out")));
        return readFileBytes(work.filePath("store.out"));
    };

    // Reading: the backup does not change at all.
    for (const QString point : {"manifest-decrypted", "content-decrypting"}) {
        const QString folder = freshBackup("read-" + point);
        const QMap<QString, QByteArray> before = digestsBelow(folder);
        ASSERT_TRUE(killCliAt(
            point, {"extract", folder, "--domain", LineGroup, "--out", work.filePath("x-" + point)}));
        EXPECT_EQ(plaintextFilesBelow(folder, plaintext), QStringList()) << point.toStdString();
        EXPECT_EQ(digestsBelow(folder), before) << point.toStdString();
        EXPECT_TRUE(storeOf(folder) == oldStore) << point.toStdString();
    }

    // Writing: before the commit the old store, from the commit on the new one.
    const QList<std::pair<QString, bool>> writePoints = {
        {"merge-records-loaded", false},  {"content-encrypting", false}, {"merge-content-staged", false},
        {"merge-manifest-staged", false}, {"commit-journaled", true},    {"commit-renaming", true},
        {"commit-renamed", true}};
    for (const auto& [point, committed] : writePoints) {
        const QString folder = freshBackup("write-" + point);
        QStringList names = digestsBelow(folder).keys();
        ASSERT_TRUE(killCliAt(point, {"put", folder, "--domain", LineGroup, "--path", storePath, "--file",
                                      work.filePath("store.sqlite"), "--overwrite", "--class-d"}));
        EXPECT_EQ(plaintextFilesBelow(folder, plaintext), QStringList()) << point.toStdString();
        EXPECT_TRUE(storeOf(folder) == (committed ? newStore : oldStore)) << point.toStdString();
        EXPECT_EQ(digestsBelow(folder).keys(), names) << point.toStdString(); // nothing left over
        const PBackupManifest reader = openBackup(folder, true);
        const FileRecordSet set = reader->loadRecords();
        EXPECT_EQ(set.records.value(BackupManifest::fileId(LineGroup, storePath)).size,
                  quint64(committed ? newStore.size() : oldStore.size()));
        reader->copyItem(
            set.records.value(BackupManifest::fileId(LineApp, "Library/Preferences/jp.naver.line.plist")),
            work.filePath("prefs.out"));
        EXPECT_EQ(readFileBytes(work.filePath("prefs.out")), pattern(300, 1));
    }
}

// What a new user meets when a command cannot do what was asked: a reason on standard error naming what
// was asked for, a non-zero exit, and nothing on standard output that reads like success.
TEST_F(BackupCliTest, ACommandThatDidNotDoWhatWasAskedSaysWhyAndExitsNonZero)
{
    const QString backup = root.filePath("encrypted");
    const QString prefs = "Library/Preferences/jp.naver.line.plist";
    writeFileBytes(work.filePath("other.plist"), "other preferences");
    const CliRun kept =
        runCli({"put", backup, "--domain", LineApp, "--path", prefs, "--file", work.filePath("other.plist")},
               {}, Password);
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(kept.out.isEmpty()) << kept.out.toStdString();
    EXPECT_TRUE(kept.err.contains("kept") && kept.err.contains("--overwrite")) << kept.err.toStdString();
    EXPECT_EQ(FixtureBackupReader(backup, Password).content(LineApp, prefs), pattern(300, 1));

    const CliRun nope =
        runCli({"extract", backup, "--domain", "Nope", "--out", work.filePath("nope")}, {}, Password);
    EXPECT_EQ(nope.exitCode, 1);
    EXPECT_TRUE(nope.err.contains("'Nope'")) << nope.err.toStdString();
    const CliRun lower = runCli({"files", backup, "--domain", LineApp.toLower()}, {}, Password);
    EXPECT_EQ(lower.exitCode, 1);
    EXPECT_TRUE(lower.out.isEmpty());
    EXPECT_TRUE(lower.err.contains("did you mean '" + LineApp + "'")) << lower.err.toStdString();

    const QString junk = work.filePath("junk");
    writeFileBytes(junk + "/Manifest.plist", "this is no property list");
    const CliRun info = runCli({"info", junk, "--json"});
    EXPECT_EQ(info.exitCode, 1);
    EXPECT_TRUE(info.out.isEmpty()) << info.out.toStdString();
    EXPECT_TRUE(info.err.contains(QDir::toNativeSeparators(junk + "/Manifest.plist")))
        << info.err.toStdString();

    const CliRun missingRoot = runCli({"list", "--root", work.filePath("nonexistent")});
    EXPECT_EQ(missingRoot.exitCode, 1);
    EXPECT_TRUE(missingRoot.err.contains(work.filePath("nonexistent"))) << missingRoot.err.toStdString();
    ASSERT_TRUE(QDir().mkpath(work.filePath("empty-root")));
    const CliRun emptyRoot = runCli({"list", "--root", work.filePath("empty-root")});
    EXPECT_EQ(emptyRoot.exitCode, 0);
    EXPECT_TRUE(emptyRoot.err.contains("no device backups in " + work.filePath("empty-root")))
        << emptyRoot.err.toStdString();

    // Progress and what the command is busy with show on a terminal or when asked for, never otherwise.
    const CliRun unlocking = runCli({"files", backup, "--progress"}, {}, Password);
    EXPECT_EQ(unlocking.exitCode, 0);
    EXPECT_TRUE(unlocking.err.contains("Unlocking backup...")) << unlocking.err.toStdString();
    const CliRun quiet = runCli({"files", backup}, {}, Password);
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.toStdString();

    // Help shows the command as it is typed, not the binary's path with the group and command dropped.
    const CliRun help = runCli({"files", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: ferrowyn-cli backup files [options] BACKUP_DIR"))
        << help.out.toStdString();
    EXPECT_TRUE(runCli({"list", "--help"}).out.contains(QDir::homePath()))
        << "list --help names where it looks";
}

// The example of the README, run as written from a source folder whose "build" is this build.
TEST_F(BackupCliTest, TheReadmeFixtureExampleRunsAsWritten)
{
    const QString readme = QString::fromUtf8(readFileBytes(sourceDir() + QStringLiteral("/README.md")));
    const qsizetype intro = readme.indexOf("write an encrypted backup with the fixture builder");
    ASSERT_GE(intro, 0);
    const qsizetype start = readme.indexOf("```sh\n", intro);
    const qsizetype end = readme.indexOf("```", start + 6);
    ASSERT_TRUE(start >= 0 && end > start);
    // Everything the example writes below /tmp goes into this test's folder instead.
    QString script = readme.mid(start + 6, end - start - 6);
    script.replace("/tmp/", work.filePath("tmp") + "/");
    ASSERT_TRUE(QDir().mkpath(work.filePath("tmp")));
    ASSERT_TRUE(QDir().mkpath(work.filePath("source")));
    ASSERT_TRUE(QFile::link(QStringLiteral(FERROWYN_BINARY_DIR), work.filePath("source/build")));
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("FERROWYN_BACKUP_PASSWORD"));
    shell.setProcessEnvironment(environment);
    shell.setWorkingDirectory(work.filePath("source"));
    shell.start("sh", {"-e", "-c", script});
    ASSERT_TRUE(shell.waitForFinished(120000));
    const QString out = QString::fromUtf8(shell.readAllStandardOutput());
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("Line.sqlite")) << out.toStdString();
}
