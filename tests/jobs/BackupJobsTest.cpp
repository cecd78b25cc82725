// The password and merge-into-backup jobs, run on their threads against RecordingProgressForm.
#include "../backup/BackupTestFixtures.h"
#include "FixtureBackupReader.h"
#include "QtPrinters.h"
#include "RecordingProgressForm.h"
#include "TestFiles.h"
#include "jobs/IOSMergeWAFiles2iTunesBKThread.h"
#include "jobs/IOSiTunesBKSetPasswordThread.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace backupfixture;
using namespace backuptest;

namespace {

const QString StorePath =
    QStringLiteral("Library/Application Support/PrivateStore/P_u1/Messages/Line.sqlite");
const QString PrefsPath = QStringLiteral("Library/Preferences/jp.naver.line.plist");

// Every file below a folder with the SHA-1 of its bytes, so "unchanged" can be checked exactly.
QMap<QString, QString> snapshot(const QString& folder)
{
    QMap<QString, QString> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path),
                     QString::fromLatin1(
                         QCryptographicHash::hash(readFileBytes(path), QCryptographicHash::Sha1).toHex()));
    }
    return files;
}

void expectSame(const QMap<QString, QString>& after, const QMap<QString, QString>& before)
{
    EXPECT_EQ(after.keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString();
}

// Asks for a cancel from the job's own thread at its given check, so the point of the cancel is exact.
class CancellingForm : public RecordingProgressForm
{
    Q_OBJECT

public:
    explicit CancellingForm(int cancelAtCheck) : m_cancelAtCheck(cancelAtCheck) {}
    Q_INVOKABLE bool isCancelled() const { return ++m_checks >= m_cancelAtCheck; }

private:
    int m_cancelAtCheck;
    mutable std::atomic<int> m_checks = 0;
};

void runJob(QThread& job)
{
    job.start();
    job.wait();
    QCoreApplication::processEvents();
}

MergeItem item(const QString& domain, const QString& path, const QString& local, bool overwrite, bool classD)
{
    return MergeItem{domain, local, path, overwrite, classD};
}

class BackupJobsTest : public ::testing::Test
{
protected:
    void write(bool encrypted, ManifestLayout layout = ManifestLayout::Database)
    {
        builder.setLayout(layout);
        if (encrypted)
            builder.setEncryption(encryption());
        addSampleFiles(builder);
        folder = dir.filePath("backup");
        ASSERT_TRUE(builder.write(folder));
        backup = openBackup(folder, true);
    }

    QString local(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath("local/" + name);
        QDir().mkpath(dir.filePath("local"));
        writeFileBytes(path, bytes);
        return path;
    }

    // Reads one file back through a fresh object, as a later run of the program would.
    QByteArray readBack(const QString& domain, const QString& path, BackupFileRecord* recordOut = nullptr)
    {
        const PBackupManifest fresh = openBackup(folder, true);
        const FileRecordSet set = fresh->loadRecords();
        const BackupFileRecord record = set.records.value(BackupManifest::fileId(domain, path));
        if (recordOut)
            *recordOut = record;
        if (record.isDirectory())
            return {};
        const QString out = dir.filePath("readback/" + BackupManifest::fileId(domain, path));
        fresh->copyItem(record, out);
        return readFileBytes(out);
    }

    QTemporaryDir dir;
    BackupFixtureBuilder builder;
    QString folder;
    PBackupManifest backup;
    RecordingProgressForm form;
};

} // namespace

TEST_F(BackupJobsTest, PasswordJobReportsTheResultWithoutAnErrorForAWrongPassword)
{
    write(true);
    BackupManifest fresh(folder);
    fresh.loadInfo();
    IOSiTunesBKSetPasswordThread wrong(&fresh, QStringLiteral("nope"), &form);
    runJob(wrong);
    EXPECT_FALSE(wrong.unlocked());
    EXPECT_EQ(form.successes, QStringList{QString()});
    ASSERT_FALSE(form.progress.isEmpty());
    EXPECT_EQ(form.progress[0].status, QStringLiteral("Verifying. Please wait..."));
    EXPECT_EQ(form.progress[0].progress, 99);

    RecordingProgressForm second;
    IOSiTunesBKSetPasswordThread right(&fresh, Password, &second);
    runJob(right);
    EXPECT_TRUE(right.unlocked());
    EXPECT_TRUE(fresh.isUnlocked());
    EXPECT_TRUE(second.errors.isEmpty());
}

TEST_F(BackupJobsTest, PasswordJobReportsADamagedKeybagAsAnError)
{
    QTemporaryDir empty;
    // A backup's property list whose keybag is damaged.
    writeFileBytes(empty.filePath("Manifest.plist"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                   "<key>IsEncrypted</key><true/><key>BackupKeyBag</key><data>AAAA</data></dict></plist>");
    BackupManifest broken(empty.path());
    broken.loadInfo();
    IOSiTunesBKSetPasswordThread job(&broken, Password, &form);
    runJob(job);
    EXPECT_FALSE(job.unlocked());
    ASSERT_EQ(form.errors.size(), 1);
    EXPECT_TRUE(form.errors[0].startsWith("IOSiTunesBKSetPasswordThread: ")) << form.errors[0].toStdString();
}

TEST_F(BackupJobsTest, MergeIntoAnEncryptedBackupAddsReplacesAndKeepsEverythingElse)
{
    write(true);
    const QMap<QString, QString> before = snapshot(folder);
    const QByteArray newStore = pattern(50000, 7);
    const QByteArray newPrefs = pattern(20, 8);
    const QByteArray fresh = pattern(12345, 9);
    const QList<MergeItem> items = {
        item(LineGroup, StorePath, local("Line.sqlite", newStore), true, true),
        item(LineApp, PrefsPath, local("prefs.plist", newPrefs), false, false), // kept: overwrite is off
        item(LineGroup, "Library/New Folder/deeper/new.bin", local("new.bin", fresh), false, false),
    };
    IOSMergeWAFiles2iTunesBKThread job(backup.get(), items, &form);
    runJob(job);
    ASSERT_TRUE(form.errors.isEmpty()) << form.errors.join("\n").toStdString();
    EXPECT_EQ(form.successes, QStringList{QString()});
    ASSERT_EQ(form.progress.size(), 4);
    EXPECT_EQ(form.progress[0].status, QStringLiteral("Transferring files..."));
    EXPECT_EQ(form.progress[1].progress, 33);
    EXPECT_EQ(form.progress[1].text, QStringLiteral("File: Line.sqlite"));
    EXPECT_EQ(form.progress[3].progress, 100);

    BackupFileRecord record;
    EXPECT_EQ(readBack(LineGroup, StorePath, &record), newStore);
    EXPECT_EQ(record.size, 50000u); // the new content's size, not the old one's
    EXPECT_EQ(record.protectionClass, 4);
    EXPECT_EQ(readBack(LineGroup, "Library/New Folder/deeper/new.bin", &record), fresh);
    EXPECT_EQ(record.protectionClass, 3);
    readBack(LineGroup, "Library/New Folder", &record);
    EXPECT_TRUE(record.isDirectory());
    EXPECT_EQ(record.mode, 040700);
    EXPECT_EQ(readBack(LineApp, PrefsPath, &record), pattern(300, 1)); // overwrite off: old content
    EXPECT_EQ(record.size, 300u);

    // Every file that was not merged reads back unchanged.
    const PBackupManifest reopened = openBackup(folder, true);
    const FileRecordSet set = reopened->loadRecords();
    for (const FileEntry& entry : builder.entries()) {
        if (entry.kind != FileEntry::Kind::File || entry.relativePath == StorePath)
            continue;
        EXPECT_EQ(readBack(entry.domain, entry.relativePath), entry.bytes)
            << entry.relativePath.toStdString();
    }
    const QMap<QString, QString> after = snapshot(folder);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.key().startsWith("Manifest") ||
            it.key().endsWith(BackupManifest::fileId(LineGroup, StorePath)))
            continue;
        EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString();
    }
    EXPECT_EQ(after.size(), before.size() + 1); // the one new content file, no temporaries
}

TEST_F(BackupJobsTest, MergeIntoPlainBackupsOfBothLayoutsCopiesWithoutKeys)
{
    for (const ManifestLayout layout : {ManifestLayout::Database, ManifestLayout::Mbdb}) {
        QTemporaryDir other;
        BackupFixtureBuilder plain;
        plain.setLayout(layout);
        addSampleFiles(plain);
        ASSERT_TRUE(plain.write(other.filePath("b")));
        const PBackupManifest target = openBackup(other.filePath("b"), false);
        RecordingProgressForm plainForm;
        IOSMergeWAFiles2iTunesBKThread job(
            target.get(), {item(LineApp, "Documents/x.txt", local("x.txt", "plain"), false, true)},
            &plainForm);
        runJob(job);
        ASSERT_EQ(plainForm.successes.size(), 1);
        const FileRecordSet set = openBackup(other.filePath("b"), false)->loadRecords();
        const BackupFileRecord record = set.records.value(BackupManifest::fileId(LineApp, "Documents/x.txt"));
        EXPECT_FALSE(record.encryptionKey.present);
        EXPECT_EQ(record.size, 5u);
        EXPECT_EQ(readFileBytes(BackupManifest::contentPath(
                      QDir(other.filePath("b")), BackupManifest::fileId(LineApp, "Documents/x.txt"), false)),
                  QByteArray("plain"));
    }
}

TEST_F(BackupJobsTest, MergeIntoAnEncryptedMbdbBackup)
{
    write(true, ManifestLayout::Mbdb);
    IOSMergeWAFiles2iTunesBKThread job(
        backup.get(), {item(LineGroup, StorePath, local("s", "new store"), true, true)}, &form);
    runJob(job);
    ASSERT_EQ(form.successes.size(), 1) << form.errors.join("\n").toStdString();
    EXPECT_EQ(readBack(LineGroup, StorePath), QByteArray("new store"));
}

TEST_F(BackupJobsTest, MissingLocalFilesAndEmptyPathsAreSkippedWhileProgressAdvances)
{
    write(false);
    const QMap<QString, QString> before = snapshot(folder);
    IOSMergeWAFiles2iTunesBKThread job(backup.get(),
                                       {item(LineApp, "a", dir.filePath("does-not-exist"), true, false),
                                        item(LineApp, QString(), local("y", "y"), true, false)},
                                       &form);
    runJob(job);
    EXPECT_EQ(form.successes.size(), 1);
    EXPECT_EQ(form.progress.size(), 3);
    EXPECT_EQ(form.progress.last().progress, 100);
    expectSame(snapshot(folder), before);
}

TEST_F(BackupJobsTest, ACancelLeavesTheBackupExactlyAsItWas)
{
    write(true);
    const QMap<QString, QString> before = snapshot(folder);
    CancellingForm cancelling(2); // the first item is written, the second check cancels
    IOSMergeWAFiles2iTunesBKThread job(backup.get(),
                                       {item(LineGroup, StorePath, local("a", "replacement"), true, true),
                                        item(LineApp, "Documents/b", local("b", "new"), false, false)},
                                       &cancelling);
    runJob(job);
    EXPECT_TRUE(cancelling.successes.isEmpty());
    EXPECT_TRUE(cancelling.errors.isEmpty());
    EXPECT_EQ(cancelling.progress.size(), 2);
    expectSame(snapshot(folder), before);
}

TEST_F(BackupJobsTest, AContentFileThatCannotBeReplacedStopsTheMergeWithoutChanges)
{
    write(false);
    const QString target =
        BackupManifest::contentPath(backup->folder(), BackupManifest::fileId(LineApp, "Documents/dir"), true);
    QDir().mkpath(target); // a folder where the content file would go
    const QMap<QString, QString> before = snapshot(folder);
    IOSMergeWAFiles2iTunesBKThread job(backup.get(),
                                       {item(LineApp, "Documents/ok", local("ok", "ok"), true, false),
                                        item(LineApp, "Documents/dir", local("d", "d"), true, false)},
                                       &form);
    runJob(job);
    EXPECT_EQ(form.errors, QStringList{"cannot overwrite " + target});
    expectSame(snapshot(folder), before);
}

TEST_F(BackupJobsTest, ARecordErrorAfterReplacedContentRollsEverythingBack)
{
    write(true);
    const QMap<QString, QString> before = snapshot(folder);
    IOSMergeWAFiles2iTunesBKThread job(backup.get(),
                                       {item(LineGroup, StorePath, local("a", "replacement"), true, true),
                                        item(LineApp, PrefsPath + "/below", local("b", "b"), false, false)},
                                       &form);
    runJob(job);
    ASSERT_EQ(form.errors.size(), 1);
    EXPECT_TRUE(form.errors[0].contains("is not a folder")) << form.errors[0].toStdString();
    expectSame(snapshot(folder), before);
}

TEST_F(BackupJobsTest, ALockedBackupOrOneWithoutTheClassKeyIsRefusedWithoutChanges)
{
    EncryptionSettings settings = encryption();
    settings.classes = {1, 2, 3};
    settings.manifestKeyClass = 3;
    builder.setEncryption(settings);
    builder.addFile(LineApp, "only", "class three", 3);
    folder = dir.filePath("backup");
    ASSERT_TRUE(builder.write(folder));
    const QMap<QString, QString> before = snapshot(folder);

    BackupManifest locked(folder);
    locked.loadInfo();
    IOSMergeWAFiles2iTunesBKThread lockedJob(&locked, {item(LineApp, "x", local("x", "x"), true, false)},
                                             &form);
    runJob(lockedJob);
    EXPECT_EQ(form.errors,
              QStringList{"The backup " + folder + " is encrypted: unlock it with its password first."});

    backup = openBackup(folder, true);
    RecordingProgressForm second;
    IOSMergeWAFiles2iTunesBKThread job(
        backup.get(),
        {item(LineApp, "x", local("x", "x"), true, false), item(LineGroup, "y", local("y", "y"), true, true)},
        &second);
    runJob(job);
    EXPECT_EQ(second.errors,
              QStringList{"The keybag of the backup " + folder + " holds no key of protection class 4."});
    expectSame(snapshot(folder), before);
}

class MergeIntoEncryptedBackupsTest : public BackupJobsTest, public ::testing::WithParamInterface<FileClasses>
{
};

TEST_P(MergeIntoEncryptedBackupsTest, EveryFileGetsAFreshKeyOfItsClassAndReadsBackByteIdentical)
{
    builder.setEncryption(encryption());
    addFilesOfClasses(builder, GetParam());
    folder = dir.filePath("backup");
    ASSERT_TRUE(builder.write(folder));
    backup = openBackup(folder, true);
    const QByteArray shared = pattern(4096, 5); // the same first blocks, then different bytes
    struct Expected
    {
        QString domain;
        QString path;
        QByteArray bytes;
        bool classD;
    };
    const QList<Expected> expected = {
        {LineApp, "Documents/first.bin", shared + pattern(1000, 6), false},
        {LineApp, "Documents/twin.bin", shared + pattern(1500, 7), false},
        {LineGroup, "Library/fourth.bin", shared + pattern(2000, 8), true},
        {LineGroup, StorePath, pattern(50000, 9), true}, // replaces the store, or is new
    };
    QList<MergeItem> items;
    for (const Expected& file : expected)
        items << item(file.domain, file.path, local(QString::number(items.size()), file.bytes), true,
                      file.classD);
    IOSMergeWAFiles2iTunesBKThread job(backup.get(), items, &form);
    runJob(job);
    ASSERT_EQ(form.successes.size(), 1) << form.errors.join("\n").toStdString();

    // Read back by the program and, independently, by OpenSSL with the keys unwrapped from the records.
    const FixtureBackupReader independent(folder, Password);
    QList<QByteArray> keys = builder.keys().fileKeys.values();
    for (const Expected& file : expected) {
        BackupFileRecord record;
        EXPECT_EQ(readBack(file.domain, file.path, &record), file.bytes) << file.path.toStdString();
        EXPECT_EQ(record.protectionClass, file.classD ? 4 : 3);
        EXPECT_EQ(record.size, static_cast<quint64>(file.bytes.size()));
        EXPECT_EQ(independent.content(file.domain, file.path), file.bytes) << file.path.toStdString();
        EXPECT_EQ(independent.record(file.domain, file.path).protectionClass, file.classD ? 4u : 3u);
        const QByteArray key = independent.fileKey(file.domain, file.path);
        EXPECT_FALSE(keys.contains(key)) << "borrowed or shared key: " << file.path.toStdString();
        keys << key;
    }
    EXPECT_NE(independent.storedContent(LineApp, "Documents/first.bin").left(16),
              independent.storedContent(LineApp, "Documents/twin.bin").left(16));
    for (const FileEntry& entry : builder.entries()) {
        if (entry.kind == FileEntry::Kind::File && entry.relativePath != StorePath) {
            EXPECT_EQ(independent.content(entry.domain, entry.relativePath), entry.bytes);
        }
    }
    EXPECT_EQ(plaintextFilesBelow(folder, {shared, pattern(50000, 9).left(4096)}), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Classes, MergeIntoEncryptedBackupsTest,
                         ::testing::Values(FileClasses::OnlyThree, FileClasses::OnlyFour,
                                           FileClasses::NoFiles),
                         fileClassesName);

#include "BackupJobsTest.moc"
