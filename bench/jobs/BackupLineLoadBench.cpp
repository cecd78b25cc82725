// Loading LINE from an encrypted iTunes backup whose LINE store holds 1,000,000 messages, as
// "ferrowyn-cli line chats --backup" and the window's backup list do: unlocking the backup with its password
// (the key derivation as iPhones set it: 10,000,000 rounds of PBKDF2-HMAC-SHA256 and 10,000 of SHA-1),
// the load job that decrypts Manifest.db and mirrors LINE's files, a copy of the store opened (the
// program's indexes made), and the data set's users, chats and groups loaded. Each step is reported.
#include "BackupFixtureBuilder.h"
#include "LineFixtureBuilder.h"
#include "TimedTransferDialogs.h"
#include "jobs/BackupLineLoad.h"
#include "jobs/LoadLineDbThread.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "platform/LocalTimeZone.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

qint64 sizeFromEnvironment(const char* name, qint64 fallback)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariable(name).toLongLong() : fallback;
}

// FERROWYN_BENCH_MESSAGES and FERROWYN_BENCH_DPIC override the size and the rounds for quick runs.
const qint64 kMessages = sizeFromEnvironment("FERROWYN_BENCH_MESSAGES", 1000000);
const qint64 kDataProtectionRounds = sizeFromEnvironment("FERROWYN_BENCH_DPIC", 10000000);
const QString kPassword = QStringLiteral("bench password");

double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

void loadEncryptedBackup(benchmark::State& state)
{
    QTemporaryDir dir;
    QElapsedTimer build;
    build.start();
    LineFixtureOptions line;
    line.messages = kMessages;
    line.users = 20000;
    line.chats = 5000;
    line.attachments = false;
    line.messageThumbnails = false;
    const LineFixture fixture = LineFixtureBuilder::build(dir.filePath(QStringLiteral("line")), line);
    backupfixture::EncryptionSettings encryption;
    encryption.enabled = true;
    encryption.password = kPassword;
    encryption.iterations = 10000;
    encryption.dataProtectionIterations = quint32(kDataProtectionRounds);
    backupfixture::BackupFixtureBuilder builder;
    builder.addLineAppFolder(fixture.appRoot).setEncryption(encryption);
    const QString backup = dir.filePath(QStringLiteral("backup"));
    QString error;
    if (!builder.write(backup, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    const double buildSeconds = seconds(build);

    for (auto _ : state) {
        QDir(dir.filePath(QStringLiteral("cache"))).removeRecursively();
        TimedTransferDialogs dialogs(kPassword);
        QElapsedTimer whole;
        whole.start();
        BackupLineLoad load(dialogs);
        if (load.load(backup, BackupLineLoad::Role::Source, dir.filePath(QStringLiteral("cache"))) !=
            BackupLineLoad::Result::Loaded) {
            state.SkipWithError(dialogs.errors().toStdString().c_str());
            return;
        }
        const double mirrored = seconds(whole);
        QElapsedTimer step;
        step.start();
        const std::shared_ptr<IOSLineDb> db = IOSLineStoreCache::openCopy(load.appFolder());
        db->open();
        const double opened = seconds(step);
        const std::shared_ptr<_LineData> data = LoadLineDbThread::load(db, dialogs);
        const double total = seconds(whole);
        state.SetIterationTime(total);
        double jobs = 0;
        for (const auto& [name, taken] : dialogs.jobSeconds()) {
            if (name != QLatin1String("LoadLineDbThread"))
                jobs += taken;
            state.counters[(name + QStringLiteral("_s")).toStdString()] += taken;
        }
        state.counters["backup_other_s"] = mirrored - jobs;
        state.counters["store_copy_open_s"] = opened;
        state.counters["chats"] = data ? double(data->chats().size()) : 0.0;
    }
    state.counters["messages"] = double(fixture.visibleMessages);
    state.counters["fixture_build_s"] = buildSeconds;
}
BENCHMARK(loadEncryptedBackup)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    pinLocalTimeZone();
    // The program's data folder (the store cache) stays inside a folder of this run.
    QTemporaryDir home;
    ::setenv("HOME", home.path().toUtf8().constData(), 1);
    ::setenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8().constData(), 1);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
