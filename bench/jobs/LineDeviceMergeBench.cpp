// Merging messages into a copy of an iPhone's LINE data (what a transfer to an iPhone or into a backup
// does between its backup and its restore): 100,000 new messages into a store of 1,000,000, then the same
// messages again (every one already there). The store is copied afresh outside the timing before each
// first merge. Reported: messages_per_second of the merge step (wall clock, and per second of the CPU time
// of the merging thread, which a loaded machine does not spoil) and the files listed for the backup, and
// the plain walk over the source's messages that a merge includes.
#include "LineFixtureBuilder.h"
#include "app/JobControl.h"
#include "jobs/LineDeviceMerge.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "line/LineMsgsDataSource.h"
#include "platform/LocalTimeZone.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>

namespace {

qint64 sizeFromEnvironment(const char* name, qint64 fallback)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariable(name).toLongLong() : fallback;
}

// FERROWYN_BENCH_MESSAGES / FERROWYN_BENCH_NEW override the sizes for quick runs.
const qint64 kTarget = sizeFromEnvironment("FERROWYN_BENCH_MESSAGES", 1000000);
const qint64 kNew = sizeFromEnvironment("FERROWYN_BENCH_NEW", 100000);

struct Stores
{
    QTemporaryDir dir;
    LineFixture target;
    LineFixture source;
    std::shared_ptr<IOSLineDb> sourceDb;
    std::shared_ptr<_LineData> sourceData;
    double buildSeconds = 0;
};

Stores* g_stores = nullptr;

Stores& stores()
{
    if (!g_stores) {
        auto* s = new Stores;
        QElapsedTimer timer;
        timer.start();
        LineFixtureOptions target;
        target.messages = kTarget;
        target.users = 20000;
        target.chats = 5000;
        target.attachments = false;
        target.messageThumbnails = false;
        s->target = LineFixtureBuilder::build(s->dir.filePath(QStringLiteral("target")), target);
        LineFixtureOptions source = target;
        source.seed = 2;
        source.messages = kNew;
        source.users = 2000;
        source.chats = 500;
        s->source = LineFixtureBuilder::build(s->dir.filePath(QStringLiteral("source")), source);
        s->sourceDb = IOSLineStoreCache::openCopy(s->source.appRoot);
        s->sourceData = std::make_shared<_LineData>(s->sourceDb);
        s->sourceDb->loadContacts(s->sourceData);
        s->buildSeconds = timer.elapsed() / 1000.0;
        g_stores = s;
    }
    return *g_stores;
}

void copyFolder(const QString& from, const QString& to)
{
    QDir(to).removeRecursively();
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString copy = QDir(to).filePath(QDir(from).relativeFilePath(path));
        QDir().mkpath(QFileInfo(copy).path());
        QFile::copy(path, copy);
    }
}

PDeviceInfo phone()
{
    auto device = std::make_shared<DeviceInfo>();
    device->udid = QStringLiteral("bench");
    device->productVersion = QStringLiteral("18.6");
    return device;
}

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct MergeFigures
{
    double seconds = 0;
    double cpuSeconds = 0;
    qint64 handled = 0;
    qint64 items = 0;
};

void report(benchmark::State& state, const MergeFigures& figures)
{
    state.counters["messages"] = double(figures.handled);
    state.counters["messages_per_second"] = double(figures.handled) / figures.seconds;
    state.counters["cpu_s"] = figures.cpuSeconds;
    state.counters["messages_per_cpu_second"] = double(figures.handled) / figures.cpuSeconds;
}

void mergeOnce(const QString& work, MergeFigures& figures)
{
    Stores& s = stores();
    JobControl control;
    LineDeviceMerge merge(phone(), work, std::make_shared<LineMsgsDataSource>(s.sourceData, nullptr, true));
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = threadCpuSeconds();
    merge.run(control);
    figures.cpuSeconds = threadCpuSeconds() - cpuStart;
    figures.seconds = double(timer.nsecsElapsed()) / 1e9;
    figures.handled = merge.handledCount();
    figures.items = merge.items().size();
}

void mergeNew(benchmark::State& state)
{
    Stores& s = stores();
    const QString work = s.dir.filePath(QStringLiteral("work"));
    MergeFigures figures;
    for (auto _ : state) {
        copyFolder(s.target.appRoot, work);
        mergeOnce(work, figures);
        state.SetIterationTime(figures.seconds);
    }
    report(state, figures);
    state.counters["files_listed"] = double(figures.items);
    state.counters["fixture_build_s"] = s.buildSeconds;
}
BENCHMARK(mergeNew)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void mergeAgain(benchmark::State& state)
{
    Stores& s = stores();
    const QString work = s.dir.filePath(QStringLiteral("work"));
    copyFolder(s.target.appRoot, work);
    MergeFigures figures;
    mergeOnce(work, figures); // the messages are there from now on
    for (auto _ : state) {
        mergeOnce(work, figures);
        state.SetIterationTime(figures.seconds);
    }
    report(state, figures);
}
BENCHMARK(mergeAgain)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

// The part of a merge that only reads the source: every message, as the merge takes them.
void sourceWalk(benchmark::State& state)
{
    Stores& s = stores();
    qint64 count = 0;
    for (auto _ : state) {
        LineMsgsDataSource all(s.sourceData, nullptr, true);
        count = all.count();
        for (qint64 i = 0; i < count; ++i)
            benchmark::DoNotOptimize(all.message(i));
    }
    state.counters["messages"] = double(count);
    state.counters["messages_per_second"] = benchmark::Counter(double(count), benchmark::Counter::kIsRate);
}
BENCHMARK(sourceWalk)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_stores;
    return 0;
}
