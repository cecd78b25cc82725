// The long jobs on a million-message history read from LINE's iPhone store (built by the LINE fixture
// builder): exporting every message to CSV and to plain text, each against the plain message walk over
// the same store in the same run, and backing every message up into an empty local database and then
// into the same database again (every message a duplicate). Each job's peak resident memory above what
// the process held when it started is reported as peak_rss_growth_MB.
#include "LineFixtureBuilder.h"
#include "jobs/BackupLineMessagesThread.h"
#include "jobs/ExportMessagesThread.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "line/LineMsgsDataSource.h"
#include "platform/LocalTimeZone.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>
#include <thread>
#include <unistd.h>

namespace {

// FERROWYN_BENCH_MESSAGES overrides the size for quick runs; the figures quoted are for the default.
const qint64 kMessages = qEnvironmentVariableIsSet("FERROWYN_BENCH_MESSAGES")
                             ? qEnvironmentVariable("FERROWYN_BENCH_MESSAGES").toLongLong()
                             : 1000000;

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// Samples the resident memory every few milliseconds while it lives; peakGrowth() is the most it rose
// above the figure at construction.
class RssSampler
{
public:
    RssSampler() : m_start(residentBytes()), m_peak(m_start)
    {
        m_thread = std::thread([this] {
            while (!m_stop.load()) {
                const qint64 now = residentBytes();
                if (now > m_peak.load())
                    m_peak = now;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~RssSampler() { stop(); }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    double peakGrowthMB()
    {
        stop();
        return double(std::max<qint64>(0, m_peak.load() - m_start)) / (1024.0 * 1024.0);
    }

private:
    qint64 m_start;
    std::atomic<qint64> m_peak;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

struct Store
{
    QTemporaryDir dir;
    LineFixture fixture;
    std::shared_ptr<IOSLineDb> db;
    std::shared_ptr<_LineData> data;
    qint64 messages = 0;
    double buildSeconds = 0;
};

Store* g_store = nullptr;

Store& store()
{
    if (!g_store) {
        auto* s = new Store;
        QElapsedTimer timer;
        timer.start();
        LineFixtureOptions options;
        options.messages = kMessages;
        options.users = 20000;
        options.chats = 5000;
        options.attachments = false;
        options.messageThumbnails = false;
        s->fixture = LineFixtureBuilder::build(s->dir.filePath(QStringLiteral("app")), options);
        s->buildSeconds = timer.elapsed() / 1000.0;
        s->db = IOSLineStoreCache::openCopy(s->fixture.appRoot);
        s->data = std::make_shared<_LineData>(s->db);
        s->db->loadContacts(s->data);
        // The first walk writes the thumbnails of photos and videos into the cache; later walks find them.
        LineMsgsDataSource first(s->data, nullptr, true);
        s->messages = first.count();
        for (qint64 i = 0; i < s->messages; ++i)
            benchmark::DoNotOptimize(first.message(i));
        sync();
        g_store = s;
    }
    return *g_store;
}

PAbsLineMsgsSource allMessages()
{
    return std::make_shared<LineMsgsDataSource>(store().data, nullptr, true);
}

void messageWalk(benchmark::State& state)
{
    Store& s = store();
    RssSampler rss;
    for (auto _ : state) {
        const PAbsLineMsgsSource source = allMessages();
        qint64 bytes = 0;
        for (qint64 i = 0, n = source->count(); i < n; ++i)
            bytes += source->message(i).text.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["messages"] = double(s.messages);
    state.counters["store_build_s"] = s.buildSeconds;
    state.counters["peak_rss_growth_MB"] = rss.peakGrowthMB();
    state.SetItemsProcessed(state.iterations() * s.messages);
}
BENCHMARK(messageWalk)->Unit(benchmark::kMillisecond)->Iterations(3);

void exportFormat(benchmark::State& state, int format, const char* fileName)
{
    Store& s = store();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(fileName));
    RssSampler rss;
    for (auto _ : state) {
        ExportMessagesThread job(allMessages(), path, format, nullptr, QString());
        job.start();
        job.wait();
        if (!job.succeeded() || job.exportedCount() != s.messages)
            state.SkipWithError("the export failed");
    }
    state.counters["output_MB"] = double(QFile(path).size()) / (1024.0 * 1024.0);
    state.counters["peak_rss_growth_MB"] = rss.peakGrowthMB();
    state.SetItemsProcessed(state.iterations() * s.messages);
}

void exportCsv(benchmark::State& state)
{
    exportFormat(state, MessageExporter::Csv, "all.csv");
}
BENCHMARK(exportCsv)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void exportPlainText(benchmark::State& state)
{
    exportFormat(state, MessageExporter::PlainText, "all.txt");
}
BENCHMARK(exportPlainText)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Runs one backup of every message into folder; false when it did not succeed.
qint64 g_mediaCopied = 0;

bool backUp(const QString& folder, qint64* inserted)
{
    BackupLineMessagesThread job(allMessages(), folder, nullptr);
    job.start();
    job.wait();
    *inserted = job.insertedCount();
    g_mediaCopied = job.mediaCopiedCount();
    return job.succeeded();
}

QTemporaryDir* g_backupDir = nullptr;
int g_backups = 0;

// A new folder for each backup into an empty database. Nothing is deleted while the benchmarks run: on a
// file system without a journal, ext4 passes over inodes freed in the last half minute when it makes new
// files, so deleting one run's tens of thousands of media copies would slow the next run's for reasons
// no user meets.
QString newBackupFolder()
{
    if (!g_backupDir)
        g_backupDir = new QTemporaryDir;
    return g_backupDir->filePath(QStringLiteral("local-%1").arg(++g_backups));
}

QString firstBackupFolder()
{
    return g_backupDir->filePath(QStringLiteral("local-1"));
}

void backupIntoEmptyDatabase(benchmark::State& state)
{
    Store& s = store();
    qint64 inserted = 0;
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = newBackupFolder();
        sync();
        RssSampler rss;
        state.ResumeTiming();
        if (!backUp(folder, &inserted))
            state.SkipWithError("the backup failed");
        state.PauseTiming();
        peak = std::max(peak, rss.peakGrowthMB());
        state.ResumeTiming();
    }
    state.counters["inserted"] = double(inserted);
    state.counters["media_copied"] = double(g_mediaCopied);
    state.counters["peak_rss_growth_MB"] = peak;
    state.SetItemsProcessed(state.iterations() * s.messages);
}
BENCHMARK(backupIntoEmptyDatabase)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// Runs after the benchmark above, into the first database it filled.
void backupAgainAllDuplicates(benchmark::State& state)
{
    Store& s = store();
    qint64 inserted = 0;
    RssSampler rss;
    for (auto _ : state) {
        if (!backUp(firstBackupFolder(), &inserted))
            state.SkipWithError("the backup failed");
    }
    state.counters["inserted"] = double(inserted);
    state.counters["peak_rss_growth_MB"] = rss.peakGrowthMB();
    state.SetItemsProcessed(state.iterations() * s.messages);
}
BENCHMARK(backupAgainAllDuplicates)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // Caches go to a temporary HOME, removed at the end.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral(".local/share")).toLocal8Bit());
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    pinLocalTimeZone(); // as both programs do
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_backupDir;
    delete g_store;
    return 0;
}
