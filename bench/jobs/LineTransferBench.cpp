// The whole transfer of 100,000 messages to a simulated iPhone whose LINE holds 1,000,000 (partial mode:
// a fresh incremental backup of LINE's files, the load of LINE's data out of it, the merge, the merged
// files put into a linked copy of the backup, the restore), run in this process through LineTransferFlow
// as the window and ferrowyn-cli run it. Reported: the whole time, the time of each job, and the rest
// (connecting, the linked copy, the reduced manifest); then the same transfer again (every message
// already on the phone) as counters again_*. The phone's first backup is taken outside the timing, as
// attaching the phone takes it.
#include "DeviceGenerator.h"
#include "LineContent.h"
#include "LineFixtureBuilder.h"
#include "Simulator.h"
#include "TimedTransferDialogs.h"
#include "jobs/LineTransferFlow.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "line/LineMsgsDataSource.h"
#include "platform/LocalTimeZone.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>

using namespace iphonesim;

namespace {

qint64 sizeFromEnvironment(const char* name, qint64 fallback)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariable(name).toLongLong() : fallback;
}

// FERROWYN_BENCH_MESSAGES / FERROWYN_BENCH_NEW override the sizes for quick runs.
const qint64 kTarget = sizeFromEnvironment("FERROWYN_BENCH_MESSAGES", 1000000);
const qint64 kNew = sizeFromEnvironment("FERROWYN_BENCH_NEW", 100000);

// Nothing to transfer: the warm-up only takes the phone's first backup (and restores its LINE data as it
// was).
class NoMessages : public AbsLineMsgsSource
{
public:
    qint64 count() override { return 0; }
    _LineMsg message(qint64) override { return {}; }
    QHash<_LineChat*, PAbsLineMsgsSource> splitByChat() override { return {}; }
};

struct Phone
{
    QTemporaryDir dir;
    std::unique_ptr<Simulator> simulator;
    std::string udid;
    std::shared_ptr<IOSLineDb> sourceDb;
    std::shared_ptr<_LineData> sourceData;
    double buildSeconds = 0;

    Phone()
    {
        QElapsedTimer timer;
        timer.start();
        const std::string root = dir.path().toStdString();
        LineFixtureOptions line;
        line.messages = kTarget;
        line.users = 20000;
        line.chats = 5000;
        line.attachments = false;
        line.messageThumbnails = false;
        GeneratorOptions options;
        options.productVersion = "18.6";
        options.settings.keybagIterations = 10;
        options.settings.keybagDataProtectionIterations = 10;
        options.fillLine = lineFixtureFiller(line);
        generateDevice(root + "/phone", options);

        LineFixtureOptions source = line;
        source.seed = 2;
        source.messages = kNew;
        source.users = 2000;
        source.chats = 500;
        const LineFixture built = LineFixtureBuilder::build(dir.filePath(QStringLiteral("source")), source);
        sourceDb = IOSLineStoreCache::openCopy(built.appRoot);
        sourceData = std::make_shared<_LineData>(sourceDb);
        sourceDb->loadContacts(sourceData);

        SimulatorOptions simulatorOptions;
        simulatorOptions.muxSocketPath = root + "/mux.sock";
        simulator = std::make_unique<Simulator>(simulatorOptions);
        simulator->start();
        udid = simulator->attach(root + "/phone");
        ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + simulatorOptions.muxSocketPath).c_str(), 1);
        buildSeconds = timer.elapsed() / 1000.0;
    }

    ~Phone() { simulator->stop(); }
};

void transferToPhone(benchmark::State& state)
{
    Phone phone;
    const QString udid = QString::fromStdString(phone.udid);
    LineTransferSource source{std::make_shared<LineMsgsDataSource>(phone.sourceData, nullptr, true), {}, {}};
    {
        // The first backup of the phone, which attaching it takes: the transfer's own is incremental.
        TimedTransferDialogs warmUp;
        if (LineTransferFlow(warmUp).transferToDevice({std::make_shared<NoMessages>(), {}, {}}, udid) !=
            LineTransferFlow::Result::Done) {
            state.SkipWithError(warmUp.errors().toStdString().c_str());
            return;
        }
        phone.simulator->waitForAttached(phone.udid, std::chrono::seconds(60));
    }
    for (auto _ : state) {
        TimedTransferDialogs dialogs;
        LineTransferFlow flow(dialogs);
        QElapsedTimer timer;
        timer.start();
        const LineTransferFlow::Result result = flow.transferToDevice(source, udid);
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        if (result != LineTransferFlow::Result::Done) {
            state.SkipWithError(dialogs.errors().toStdString().c_str());
            return;
        }
        state.SetIterationTime(seconds);
        double jobs = 0;
        for (const auto& [name, taken] : dialogs.jobSeconds()) {
            state.counters[(name + QStringLiteral("_s")).toStdString()] += taken;
            jobs += taken;
        }
        state.counters["other_s"] = seconds - jobs;
        state.counters["messages"] = double(flow.transferredCount());
        state.counters["messages_per_second"] = double(flow.transferredCount()) / seconds;

        // The same messages again, once the restored phone is back: all of them are there already.
        phone.simulator->waitForAttached(phone.udid, std::chrono::seconds(60));
        TimedTransferDialogs againDialogs;
        LineTransferFlow again(againDialogs);
        timer.restart();
        if (again.transferToDevice(source, udid) != LineTransferFlow::Result::Done) {
            state.SkipWithError(againDialogs.errors().toStdString().c_str());
            return;
        }
        const double againSeconds = double(timer.nsecsElapsed()) / 1e9;
        state.counters["again_s"] = againSeconds;
        state.counters["again_speedup"] = seconds / againSeconds;
        state.counters["again_restored"] = again.restoreSkipped() ? 0 : 1;
        for (const auto& [name, taken] : againDialogs.jobSeconds())
            state.counters[(QStringLiteral("again_") + name + QStringLiteral("_s")).toStdString()] += taken;
    }
    state.counters["fixture_build_s"] = phone.buildSeconds;
}
BENCHMARK(transferToPhone)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    pinLocalTimeZone();
    // The program's data folder (backups of the phone, caches, logs) stays inside a folder of this run.
    QTemporaryDir home;
    ::setenv("HOME", home.path().toUtf8().constData(), 1);
    ::setenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8().constData(), 1);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
