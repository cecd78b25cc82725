// The main window's models on a local database of 1,000,000 messages in 5,000 chats: selecting the database
// (its users, chats and groups loaded and the chats listed in the tree), the first rows of the
// all-messages view, and every row fetched in batches as a view scrolling to the end asks for them, with the
// resident memory afterwards.
#include "ChatFixture.h"
#include "line/LineData.h"
#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineMsgsDataSource.h"
#include "ui/ItemModelMain.h"
#include "ui/ItemModelSms.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <unistd.h>

namespace {

// FERROWYN_BENCH_MESSAGES overrides the size for quick runs; the figures quoted are for the default.
const qint64 kMessages = qEnvironmentVariableIsSet("FERROWYN_BENCH_MESSAGES")
                             ? qEnvironmentVariable("FERROWYN_BENCH_MESSAGES").toLongLong()
                             : 1000000;
constexpr int kChats = 5000;

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// The database folder, written once per run.
const QString& databaseFolder()
{
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString path = dir.filePath(QStringLiteral("local"));
        QElapsedTimer timer;
        timer.start();
        GeneratedMessages generated(kMessages, kChats);
        LineLocalDb db(path);
        LineLocalDbMerger(db).merge(*generated.source());
        std::fprintf(stderr, "local database of %lld messages written in %.1f s\n", kMessages,
                     timer.elapsed() / 1000.0);
        return path;
    }();
    return folder;
}

// A fresh connection and data set, as a database node holds before it is first selected.
PLineData loadedData()
{
    auto db = std::make_shared<LineLocalDb>(databaseFolder());
    auto data = std::make_shared<_LineData>(db);
    db->loadContacts(data);
    return data;
}

void BM_SelectDatabaseListsItsChats(benchmark::State& state)
{
    databaseFolder();
    for (auto _ : state) {
        ItemModelMain model;
        _LocalDbItemNode* node = model.addLocalDbNode(QStringLiteral("local"));
        node->data = loadedData();
        model.loadChats(node);
        if (node->childCount() != kChats)
            state.SkipWithError("not every chat listed");
    }
}
BENCHMARK(BM_SelectDatabaseListsItsChats)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_AllMessagesFirstRows(benchmark::State& state)
{
    const PLineData data = loadedData();
    ItemModelSms model;
    for (auto _ : state) {
        model.setSource(std::make_shared<LineMsgsDataSource>(data, nullptr, true));
        model.fetchMore({});
        if (model.rowCount() != ItemModelSms::BatchSize || model.total() != kMessages)
            state.SkipWithError("wrong first batch");
        // The next selection starts without a cached page, as after a tree selection elsewhere.
        state.PauseTiming();
        data->clearCachedPage();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AllMessagesFirstRows)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ScrollToTheEnd(benchmark::State& state)
{
    const PLineData data = loadedData();
    qint64 longestBatchNs = 0;
    for (auto _ : state) {
        ItemModelSms model;
        model.setSource(std::make_shared<LineMsgsDataSource>(data, nullptr, true));
        QElapsedTimer batch;
        while (model.canFetchMore({})) {
            batch.start();
            model.fetchMore({});
            longestBatchNs = std::max(longestBatchNs, batch.nsecsElapsed());
        }
        if (model.rowCount() != kMessages)
            state.SkipWithError("not every row fetched");
        state.counters["resident_MB"] = double(residentBytes()) / (1024.0 * 1024.0);
    }
    state.counters["longest_batch_ms"] = double(longestBatchNs) / 1e6;
}
BENCHMARK(BM_ScrollToTheEnd)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
