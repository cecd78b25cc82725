// The message search on a million-message LINE store: building the index (messages a second, file size
// against the indexed text), queries to the first 100 hits and "next hit after position N" (median and
// 95th percentile over many runs), against a scan of the same display texts in the same run. The store
// is built once per process in a temporary folder (HOME points there too, so caches stay out of the
// user's data folder).
#include "LineFixtureBuilder.h"
#include "app/JobControl.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "platform/LocalTimeZone.h"
#include "search/MessageSearch.h"
#include "search/MessageSearchIndex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <random>

namespace {

// FERROWYN_BENCH_MESSAGES overrides the size for quick runs; the figures quoted are for the default.
const qint64 kMessages = qEnvironmentVariableIsSet("FERROWYN_BENCH_MESSAGES")
                             ? qEnvironmentVariable("FERROWYN_BENCH_MESSAGES").toLongLong()
                             : 1000000;
constexpr int kRuns = 40;

struct Store
{
    QTemporaryDir dir;
    LineFixture fixture;
    std::shared_ptr<IOSLineDb> db;
    std::shared_ptr<_LineData> data;
    std::unique_ptr<MessageSearchIndex> index;
    _LineChat* busiest = nullptr;
    _LineChat* quiet = nullptr;
};

Store* g_store = nullptr;

Store& store()
{
    if (!g_store) {
        auto* s = new Store;
        LineFixtureOptions options;
        options.messages = kMessages;
        options.users = 20000;
        options.chats = 5000;
        options.attachments = false;
        options.messageThumbnails = false;
        s->fixture = LineFixtureBuilder::build(s->dir.filePath(QStringLiteral("app")), options);
        s->db = IOSLineStoreCache::openCopy(s->fixture.appRoot);
        s->data = std::make_shared<_LineData>(s->db);
        s->db->loadContacts(s->data);
        s->index = std::make_unique<MessageSearchIndex>(s->data);
        // The chat with the most messages and one with a few hundred.
        qint64 most = -1;
        for (_LineChat* chat : s->data->chatsById()) {
            const qint64 count = s->db->countMessages(chat);
            if (count > most) {
                most = count;
                s->busiest = chat;
            }
            if (!s->quiet && count >= 100 && count <= 1000)
                s->quiet = chat;
        }
        if (!s->quiet)
            s->quiet = s->busiest;
        g_store = s;
    }
    return *g_store;
}

Store& indexedStore()
{
    Store& s = store();
    if (!s.index->isOpen()) {
        JobControl control;
        s.index->prepare(control);
    }
    return s;
}

struct Spread
{
    double median = 0;
    double p95 = 0;
};

// The process's CPU time in milliseconds: on a shared, loaded machine the wall clock also counts the
// time other programs had the processor.
double cpuMillis()
{
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

Spread spreadOf(std::vector<double> millis)
{
    std::sort(millis.begin(), millis.end());
    if (millis.empty())
        return {};
    return {millis[millis.size() / 2], millis[std::min(millis.size() - 1, millis.size() * 95 / 100)]};
}

void indexBuild(benchmark::State& state)
{
    Store& s = store();
    qint64 textBytes = 0;
    s.db->forEachMessageText(
        [&](const _LineMsg& message) { textBytes += message.displayText().toUtf8().size(); });
    for (auto _ : state) {
        JobControl control;
        s.index->build(control);
    }
    const double indexBytes = double(QFileInfo(s.index->path()).size());
    state.counters["messages"] = double(s.index->messageCount());
    state.counters["text_MB"] = double(textBytes) / 1e6;
    state.counters["index_MB"] = indexBytes / 1e6;
    state.counters["index_per_text"] = indexBytes / double(std::max<qint64>(1, textBytes));
    state.SetItemsProcessed(state.iterations() * s.index->messageCount());
}
BENCHMARK(indexBuild)->Unit(benchmark::kMillisecond)->Iterations(1);

// The first 100 hits, newest first, of all chats or of one chat; each query built and run kRuns times.
void firstHundred(benchmark::State& state, const QString& query, bool oneChat)
{
    Store& s = indexedStore();
    _LineChat* chat = oneChat ? s.busiest : nullptr;
    std::vector<double> millis;
    std::vector<double> cpu;
    qint64 hits = 0;
    for (auto _ : state) {
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = cpuMillis();
            MessageSearch search(*s.index, query);
            hits = search.hits(chat, true, 100).size();
            cpu.push_back(cpuMillis() - cpuStart);
            millis.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    const Spread spread = spreadOf(millis);
    const Spread cpuSpread = spreadOf(cpu);
    // What the index alone gives, before each candidate's text is checked.
    state.counters["candidates"] =
        double(s.index->index().queryInt64(Sqlite3Sql("select count(*) from fts where fts match ?")
                                               .addTextBytesParam(MessageSearch::matchExpression(query))));
    QElapsedTimer ftsTimer;
    ftsTimer.start();
    Sqlite3Cursor all =
        s.index->index().query(Sqlite3Sql("select rowid from fts where fts match ? order by rowid desc")
                                   .addTextBytesParam(MessageSearch::matchExpression(query)));
    while (all.moveNext()) {
    }
    state.counters["fts_all_ms"] = ftsTimer.nsecsElapsed() / 1e6;
    state.counters["hits"] = double(hits);
    state.counters["median_ms"] = spread.median;
    state.counters["p95_ms"] = spread.p95;
    state.counters["cpu_median_ms"] = cpuSpread.median;
    state.counters["cpu_p95_ms"] = cpuSpread.p95;
}
BENCHMARK_CAPTURE(firstHundred, latin_common, QStringLiteral("hello"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, latin_two, QStringLiteral("ok"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, latin_phrase_rare, QStringLiteral("coffee late lunch"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, japanese_two, QStringLiteral("今日"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, japanese_word, QStringLiteral("ありがとう"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, chinese_two, QStringLiteral("謝謝"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, mixed_rare, QStringLiteral("了解 coffee 駅"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, rare_word, QStringLiteral("Marunouchi"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, rare_word_mixed, QStringLiteral("résumé がっこう"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, emoji_mixed, QStringLiteral("😀 train"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, none, QStringLiteral("nowhere to be found"), false)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, busiest_chat_latin, QStringLiteral("hello"), true)->Iterations(1);
BENCHMARK_CAPTURE(firstHundred, busiest_chat_japanese, QStringLiteral("今日"), true)->Iterations(1);

// "Next hit after position N" at random positions, in both orders, over all chats or one chat.
void nextHitAfter(benchmark::State& state, const QString& query, bool oneChat)
{
    Store& s = indexedStore();
    _LineChat* chat = oneChat ? s.busiest : nullptr;
    const qint64 count = chat ? s.index->chatPositions(chat->id).size() : s.index->messageCount();
    std::mt19937_64 random(7);
    std::vector<double> millis;
    std::vector<double> cpu;
    qint64 found = 0;
    for (auto _ : state) {
        MessageSearch search(*s.index, query);
        for (int run = 0; run < kRuns * 5; ++run) {
            const qint64 after = qint64(random() % quint64(count));
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = cpuMillis();
            found += search.nextHit(chat, run % 2 == 0, after).has_value() ? 1 : 0;
            cpu.push_back(cpuMillis() - cpuStart);
            millis.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    const Spread spread = spreadOf(millis);
    const Spread cpuSpread = spreadOf(cpu);
    state.counters["found"] = double(found);
    state.counters["median_ms"] = spread.median;
    state.counters["p95_ms"] = spread.p95;
    state.counters["cpu_median_ms"] = cpuSpread.median;
    state.counters["cpu_p95_ms"] = cpuSpread.p95;
}
BENCHMARK_CAPTURE(nextHitAfter, latin, QStringLiteral("hello"), false)->Iterations(1);
BENCHMARK_CAPTURE(nextHitAfter, japanese, QStringLiteral("ありがとう"), false)->Iterations(1);
BENCHMARK_CAPTURE(nextHitAfter, rare_mixed, QStringLiteral("了解 coffee 駅"), false)->Iterations(1);
BENCHMARK_CAPTURE(nextHitAfter, busiest_chat, QStringLiteral("今日"), true)->Iterations(1);

// A scan of every display text, as a search without the index does, for the first 100 hits newest
// first (the whole history has to be read) and through the library's own fallback (one character).
void scan(benchmark::State& state)
{
    Store& s = indexedStore();
    qint64 hits = 0;
    for (auto _ : state) {
        hits = 0;
        s.db->forEachMessageText([&](const _LineMsg& message) {
            hits += message.displayText().contains(QStringLiteral("今日"), Qt::CaseInsensitive) ? 1 : 0;
        });
    }
    state.counters["hits"] = double(hits);
    state.SetItemsProcessed(state.iterations() * s.index->messageCount());
}
BENCHMARK(scan)->Unit(benchmark::kMillisecond)->Iterations(3);

void scanFallbackOneCharacter(benchmark::State& state)
{
    Store& s = indexedStore();
    qint64 hits = 0;
    for (auto _ : state)
        hits = MessageSearch(*s.index, QStringLiteral("駅")).hits(nullptr, true, 100).size();
    state.counters["hits"] = double(hits);
}
BENCHMARK(scanFallbackOneCharacter)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    // Caches and the account registry go to a temporary HOME, removed at the end.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral(".local/share")).toLocal8Bit());
    pinLocalTimeZone(); // as both programs do
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_store;
    return 0;
}
