// The backup store's costs on device-sized inputs: unlocking with the device's iteration counts (first and
// again in the same run) against OpenSSL's own PBKDF2, copying a 1 GB encrypted file out against a plain
// copy, reading the records of a 300,000-file Manifest.db, plain and encrypted (decrypted in memory), and
// putting a 64 MB file into that encrypted backup. Inputs are written once, outside the timed loops, into a
// temporary folder that is removed at exit. Also: 5,000 small files put into a plain backup at once.
#include "BackupFixtureBuilder.h"
#include "app/JobControl.h"
#include "backup/BackupFileMerger.h"
#include "backup/BackupManifest.h"
#include "backup/UnlockedKeybagCache.h"

#include <openssl/evp.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace backupfixture;

namespace {

constexpr quint32 DeviceIter = 10'000;
constexpr quint32 DeviceDpic = 10'000'000;
constexpr qint64 LargeFileSize = qint64(1) << 30;
constexpr int RecordCount = 300'000;
const QString Password = QStringLiteral("benchmark password");
const QString Domain = QStringLiteral("AppDomainGroup-group.com.linecorp.line");

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

double peakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

QString unlockBackup()
{
    static const QString folder = [] {
        const QString path = workDir().filePath("unlock");
        BackupFixtureBuilder builder;
        EncryptionSettings encryption;
        encryption.enabled = true;
        encryption.password = Password;
        encryption.iterations = DeviceIter;
        encryption.dataProtectionIterations = DeviceDpic;
        builder.setEncryption(encryption);
        builder.addFile(Domain, "Library/a", "a", 3);
        builder.addFile(Domain, "Library/b", "b", 4);
        builder.write(path);
        return path;
    }();
    return folder;
}

void BM_Unlock(benchmark::State& state)
{
    const QString folder = unlockBackup();
    for (auto _ : state) {
        UnlockedKeybagCache::clear();
        BackupManifest backup(folder);
        backup.loadInfo();
        if (!backup.unlock(Password))
            state.SkipWithError("unlock failed");
    }
}
BENCHMARK(BM_Unlock)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same backup opened and unlocked again in the same run: the class keys come from memory.
void BM_UnlockAgain(benchmark::State& state)
{
    const QString folder = unlockBackup();
    {
        BackupManifest first(folder);
        first.loadInfo();
        first.unlock(Password);
    }
    for (auto _ : state) {
        BackupManifest backup(folder);
        backup.loadInfo();
        if (!backup.unlock(Password))
            state.SkipWithError("unlock failed");
    }
}
BENCHMARK(BM_UnlockAgain)->Unit(benchmark::kMillisecond);

// OpenSSL's own PBKDF2 with the same salts and counts: the floor any unlock has to pay.
void BM_OpenSslPbkdf2Reference(benchmark::State& state)
{
    const QByteArray salt(20, 's');
    unsigned char first[32];
    unsigned char second[32];
    for (auto _ : state) {
        PKCS5_PBKDF2_HMAC(Password.toUtf8().constData(), static_cast<int>(Password.toUtf8().size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()), 20, DeviceDpic,
                          EVP_sha256(), 32, first);
        PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(first), 32,
                          reinterpret_cast<const unsigned char*>(salt.constData()), 20, DeviceIter,
                          EVP_sha1(), 32, second);
        benchmark::DoNotOptimize(second);
    }
}
BENCHMARK(BM_OpenSslPbkdf2Reference)->Unit(benchmark::kMillisecond)->Iterations(3);

struct LargeBackup
{
    QString plainFile;
    QString folder;
};

const LargeBackup& largeBackup()
{
    static const LargeBackup backup = [] {
        LargeBackup result;
        result.plainFile = workDir().filePath("large.bin");
        QFile file(result.plainFile);
        file.open(QIODevice::WriteOnly);
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        for (qint64 written = 0; written < LargeFileSize; written += chunk.size()) {
            for (qsizetype i = 0; i < chunk.size(); i += 8)
                *reinterpret_cast<quint64*>(chunk.data() + i) =
                    static_cast<quint64>(written + i) * 0x9E3779B97F4A7C15ULL;
            file.write(chunk);
        }
        file.close();
        result.folder = workDir().filePath("large-backup");
        BackupFixtureBuilder builder;
        EncryptionSettings encryption;
        encryption.enabled = true;
        encryption.password = Password;
        encryption.iterations = 10;
        encryption.dataProtectionIterations = 10;
        builder.setEncryption(encryption);
        builder.addLocalFile(Domain, "Library/large.bin", result.plainFile, 4);
        builder.write(result.folder);
        return result;
    }();
    return backup;
}

void BM_CopyEncrypted1GB(benchmark::State& state)
{
    const LargeBackup& large = largeBackup();
    BackupManifest backup(large.folder);
    backup.loadInfo();
    backup.unlock(Password);
    const FileRecordSet set = backup.loadRecords();
    const BackupFileRecord record = set.records.value(BackupManifest::fileId(Domain, "Library/large.bin"));
    const QString destination = workDir().filePath("copied.bin");
    for (auto _ : state) {
        backup.copyItem(record, destination);
        state.PauseTiming(); // freeing a 1 GB file is the file system's cost, not the copy's
        QFile::remove(destination);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * LargeFileSize);
    state.counters["peak_rss_MB"] = peakRssMegabytes();
}
BENCHMARK(BM_CopyEncrypted1GB)->Unit(benchmark::kMillisecond)->Iterations(5);

// A straightforward copy of the same plaintext in 1 MiB chunks.
void BM_PlainCopy1GB(benchmark::State& state)
{
    const LargeBackup& large = largeBackup();
    const QString destination = workDir().filePath("plain-copy.bin");
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (auto _ : state) {
        QFile source(large.plainFile);
        QFile target(destination);
        source.open(QIODevice::ReadOnly);
        target.open(QIODevice::WriteOnly);
        for (qint64 read; (read = source.read(buffer.data(), buffer.size())) > 0;)
            target.write(buffer.constData(), read);
        target.close();
        state.PauseTiming();
        QFile::remove(destination);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * LargeFileSize);
}
BENCHMARK(BM_PlainCopy1GB)->Unit(benchmark::kMillisecond)->Iterations(5);

QString recordsBackup(bool encrypted = false)
{
    static QString folders[2];
    QString& folder = folders[encrypted ? 1 : 0];
    if (folder.isEmpty()) {
        const QString path = workDir().filePath(encrypted ? "records-encrypted" : "records");
        BackupFixtureBuilder builder;
        if (encrypted) {
            EncryptionSettings encryption;
            encryption.enabled = true;
            encryption.password = Password;
            encryption.iterations = 10;
            encryption.dataProtectionIterations = 10;
            builder.setEncryption(encryption);
        }
        for (int i = 0; i < RecordCount; ++i) {
            FileEntry entry;
            entry.domain = Domain;
            entry.relativePath = QStringLiteral("Library/Message Attachments/%1/%2.jpg").arg(i % 500).arg(i);
            entry.bytes = QByteArray(8, 'x');
            entry.protectionClass = 3;
            entry.writeContent = false;
            builder.addEntry(entry);
        }
        builder.write(path);
        folder = path;
    }
    return folder;
}

void BM_LoadRecords300k(benchmark::State& state)
{
    BackupManifest backup(recordsBackup());
    backup.loadInfo();
    qsizetype count = 0;
    for (auto _ : state)
        count = backup.loadRecords().records.size();
    state.counters["records"] = static_cast<double>(count);
    state.counters["peak_rss_MB"] = peakRssMegabytes();
}
BENCHMARK(BM_LoadRecords300k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadRecords300kEncrypted(benchmark::State& state)
{
    BackupManifest backup(recordsBackup(true));
    backup.loadInfo();
    backup.unlock(Password);
    qsizetype count = 0;
    for (auto _ : state)
        count = backup.loadRecords().records.size();
    state.counters["records"] = static_cast<double>(count);
    state.counters["manifest_MB"] =
        static_cast<double>(QFileInfo(backup.folder().filePath("Manifest.db")).size()) / (1 << 20);
    state.counters["peak_rss_MB"] = peakRssMegabytes();
}
BENCHMARK(BM_LoadRecords300kEncrypted)->Unit(benchmark::kMillisecond)->Iterations(3);

// A fresh key, the file encrypted and staged, the manifest changed in memory, encrypted and committed.
void BM_Put64MBIntoEncrypted300k(benchmark::State& state)
{
    const QString local = workDir().filePath("put.bin");
    QFile file(local);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(64 << 20, 'p'));
    file.close();
    BackupManifest backup(recordsBackup(true));
    backup.loadInfo();
    backup.unlock(Password);
    const MergeItem item{Domain, local, QStringLiteral("Library/put.bin"), true, true};
    for (auto _ : state) {
        JobControl control;
        BackupFileMerger(backup, {item}).run(control);
    }
    state.SetBytesProcessed(state.iterations() * (qint64(64) << 20));
    state.counters["peak_rss_MB"] = peakRssMegabytes();
}
BENCHMARK(BM_Put64MBIntoEncrypted300k)->Unit(benchmark::kMillisecond)->Iterations(3);

// What a transfer's put step does with a chat history's media: 5,000 small files (8 KiB, as thumbnails)
// into a plain backup, each staged and all committed at once. Each iteration writes them anew.
void BM_Put5000SmallFiles(benchmark::State& state)
{
    constexpr int Files = 5000;
    const QDir locals(workDir().filePath("small"));
    QDir().mkpath(locals.path());
    QList<MergeItem> items;
    for (int i = 0; i < Files; ++i) {
        const QString local = locals.filePath(QStringLiteral("%1.thumb").arg(i));
        QFile file(local);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(8 << 10, char('a' + i % 26)));
        file.close();
        items.append({Domain, local,
                      QStringLiteral("Library/Message Thumbnails/%1/%2.thumb").arg(i % 50).arg(i), true,
                      false});
    }
    const QString folder = workDir().filePath("small-backup");
    BackupFixtureBuilder builder;
    builder.addFile(Domain, "Library/a", "a", 3);
    builder.write(folder);
    BackupManifest backup(folder);
    backup.loadInfo();
    for (auto _ : state) {
        JobControl control;
        BackupFileMerger(backup, items).run(control);
    }
    state.counters["files_per_second"] =
        benchmark::Counter(double(state.iterations() * Files), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Put5000SmallFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
