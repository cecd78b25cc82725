// The main window's models on a local database of 1,000,000 messages in 5,000 chats: selecting the database
// (its users, chats and groups loaded and the chats listed in the tree), the first rows of the
// all-messages view, and every row fetched in batches as a view scrolling to the end asks for them, with the
// resident memory afterwards; a message search's hit found through the search index and selected in the
// message list (a common word from the top, and the very last message), and the first batch of the
// results list.
#include "ChatFixture.h"
#include "app/JobControl.h"
#include "line/LineData.h"
#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineMsgsDataSource.h"
#include "search/MessageSearch.h"
#include "search/MessageSearchIndex.h"
#include "ui/ItemModelMain.h"
#include "ui/ItemModelSms.h"
#include "ui/MessageSearchPanel.h"
#include "ui/SearchResultsModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
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

// The search index of the database, built once (untimed): the first search of a database builds it
// behind a progress form.
MessageSearchIndex& searchIndex()
{
    static MessageSearchIndex index(loadedData());
    if (!index.isOpen()) {
        QElapsedTimer timer;
        timer.start();
        JobControl control;
        index.prepare(control);
        std::fprintf(stderr, "search index built in %.1f s\n", timer.elapsed() / 1000.0);
    }
    return index;
}

// Types a query into the keyword box of the all-messages view shown from its first row, and selects the
// hit it finds in the message list (reading the list's rows up to it).
void searchAndSelect(benchmark::State& state, const QString& query, qint64 expectedRow)
{
    MessageSearchIndex& index = searchIndex();
    QTreeView view;
    view.setUniformRowHeights(true);
    ItemModelSms model;
    view.setModel(&model);
    for (auto _ : state) {
        state.PauseTiming();
        model.setSource(std::make_shared<LineMsgsDataSource>(index.data(), nullptr, true));
        model.fetchMore({});
        MessageSearchPanel::selectRow(view, model, 0);
        state.ResumeTiming();
        MessageSearch search(index, query);
        const std::optional<qint64> hit = search.nextHit(nullptr, true, 0);
        if (!hit || !MessageSearchPanel::selectRow(view, model, *hit) ||
            (expectedRow >= 0 && view.currentIndex().row() != expectedRow))
            state.SkipWithError("the hit was not selected");
    }
}

void BM_SearchHitSelected(benchmark::State& state)
{
    // Every fourth generated message says "See you tomorrow at the station, OK?": the next is near.
    searchAndSelect(state, QStringLiteral("STATION"), -1);
}
BENCHMARK(BM_SearchHitSelected)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SearchLastMessageSelected(benchmark::State& state)
{
    // The generated file names are unique: the last file message is the only hit, at the very end.
    const qint64 last = (kMessages - 1) - ((kMessages - 1 - 17) % 20 + 20) % 20;
    searchAndSelect(state, QStringLiteral("notes-%1.pdf").arg(last), last);
}
BENCHMARK(BM_SearchLastMessageSelected)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SearchResultOpened(benchmark::State& state)
{
    // A hit chosen in the results list: its chat shown in the list and the hit selected there.
    MessageSearchIndex& index = searchIndex();
    MessageSearch search(index, QStringLiteral("station"));
    const QList<SearchHit> hits = search.hits(nullptr, true, SearchResultsModel::BatchSize);
    if (hits.isEmpty() || !hits.last().message.chat) {
        state.SkipWithError("no hit in a chat");
        return;
    }
    const SearchHit& hit = hits.last();
    QTreeView view;
    view.setUniformRowHeights(true);
    ItemModelSms model;
    view.setModel(&model);
    for (auto _ : state) {
        state.PauseTiming();
        model.setSource(nullptr);
        index.data()->clearCachedPage();
        state.ResumeTiming();
        model.setSource(std::make_shared<LineMsgsDataSource>(index.data(), hit.message.chat, true));
        if (!MessageSearchPanel::selectRow(view, model, hit.chatPosition))
            state.SkipWithError("the hit was not selected");
    }
}
BENCHMARK(BM_SearchResultOpened)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SearchResultsFirstBatch(benchmark::State& state)
{
    MessageSearchIndex& index = searchIndex();
    SearchResultsModel results;
    for (auto _ : state) {
        MessageSearch search(index, QStringLiteral("station"));
        results.setSearch(&search);
        if (results.rowCount() != SearchResultsModel::BatchSize)
            state.SkipWithError("not a full first batch");
        results.setSearch(nullptr);
    }
}
BENCHMARK(BM_SearchResultsFirstBatch)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    // The message list of the search benchmarks is a real view; no window is shown.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
