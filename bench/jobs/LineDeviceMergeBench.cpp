// Merging messages into a copy of an iPhone's LINE data (what a transfer to an iPhone or into a backup
// does between its backup and its restore): 100,000 new messages into a store of 1,000,000, then the same
// messages again (every one already there). The store is copied afresh outside the timing before each
// first merge. Reported: messages_per_second of the merge step and the files listed for the backup, and
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

void mergeOnce(benchmark::State& state, const QString& work, double& seconds, qint64& handled, qint64& items)
{
    Stores& s = stores();
    JobControl control;
    LineDeviceMerge merge(phone(), work, std::make_shared<LineMsgsDataSource>(s.sourceData, nullptr, true));
    QElapsedTimer timer;
    timer.start();
    merge.run(control);
    seconds = timer.elapsed() / 1000.0;
    handled = merge.handledCount();
    items = merge.items().size();
    state.SetIterationTime(seconds);
}

void mergeNew(benchmark::State& state)
{
    Stores& s = stores();
    const QString work = s.dir.filePath(QStringLiteral("work"));
    double seconds = 0;
    qint64 handled = 0;
    qint64 items = 0;
    for (auto _ : state) {
        copyFolder(s.target.appRoot, work);
        mergeOnce(state, work, seconds, handled, items);
    }
    state.counters["messages"] = double(handled);
    state.counters["messages_per_second"] = double(handled) / seconds;
    state.counters["files_listed"] = double(items);
    state.counters["fixture_build_s"] = s.buildSeconds;
}
BENCHMARK(mergeNew)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void mergeAgain(benchmark::State& state)
{
    Stores& s = stores();
    const QString work = s.dir.filePath(QStringLiteral("work"));
    copyFolder(s.target.appRoot, work);
    double seconds = 0;
    qint64 handled = 0;
    qint64 items = 0;
    mergeOnce(state, work, seconds, handled, items); // the messages are there from now on
    for (auto _ : state)
        mergeOnce(state, work, seconds, handled, items);
    state.counters["messages"] = double(handled);
    state.counters["messages_per_second"] = double(handled) / seconds;
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
