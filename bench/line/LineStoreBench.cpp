// Walking a million-message history, as the views and exporters do, against one plain SQL scan of the
// same rows in the same run; loading 20,000 users and 5,000 chats; memory while walking. The store is
// built once per process in a temporary folder (HOME points there too, so caches stay out of the user's
// data folder).
#include "LineFixtureBuilder.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"
#include "line/LineData.h"
#include "line/LineLocalDb.h"
#include "line/LineLocalDbMerger.h"
#include "line/LineMsgsDataSource.h"
#include "platform/LocalTimeZone.h"
#include "storage/Sqlite3DB.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// FERROWYN_BENCH_MESSAGES overrides the size for quick runs; the figures quoted are for the default.
const qint64 kMessages = qEnvironmentVariableIsSet("FERROWYN_BENCH_MESSAGES")
                             ? qEnvironmentVariable("FERROWYN_BENCH_MESSAGES").toLongLong()
                             : 1000000;
constexpr int kUsers = 20000;
constexpr int kChats = 5000;

// Resident memory of the process in bytes.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

struct Stores
{
    QTemporaryDir dir;
    LineFixture fixture;
    std::shared_ptr<IOSLineDb> ios;
    std::shared_ptr<_LineData> iosData;
    std::shared_ptr<LineLocalDb> local;
    std::shared_ptr<_LineData> localData;
    double buildSeconds = 0;
    double firstWalkSeconds = 0;
    double localBuildSeconds = 0;
};

Stores* g_stores = nullptr;

// The iPhone store, built and loaded on first use.
Stores& stores()
{
    if (!g_stores) {
        auto* s = new Stores;
        QElapsedTimer timer;
        timer.start();
        LineFixtureOptions options;
        options.messages = kMessages;
        options.users = kUsers;
        options.chats = kChats;
        options.attachments = false;
        options.messageThumbnails = false;
        s->fixture = LineFixtureBuilder::build(s->dir.filePath(QStringLiteral("app")), options);
        s->buildSeconds = timer.elapsed() / 1000.0;

        s->ios = IOSLineStoreCache::openCopy(s->fixture.appRoot);
        s->iosData = std::make_shared<_LineData>(s->ios);
        s->ios->loadContacts(s->iosData);
        // The first walk writes the thumbnails of every photo and video into the cache; later walks find
        // them. It is measured once here, apart from the walks below.
        timer.restart();
        LineMsgsDataSource first(s->iosData, nullptr, true);
        for (qint64 i = 0, n = first.count(); i < n; ++i)
            benchmark::DoNotOptimize(first.message(i));
        s->firstWalkSeconds = timer.elapsed() / 1000.0;
        // The thumbnails just written go to disk now, not while the walks below are timed.
        sync();
        g_stores = s;
    }
    return *g_stores;
}

// The local database, filled from the iPhone store on first use.
Stores& storesWithLocal()
{
    Stores& s = stores();
    if (!s.local) {
        QElapsedTimer timer;
        timer.start();
        s.local = std::make_shared<LineLocalDb>(s.dir.filePath(QStringLiteral("local")));
        LineMsgsDataSource all(s.iosData, nullptr, true);
        LineLocalDbMerger(*s.local).merge(all);
        s.localBuildSeconds = timer.elapsed() / 1000.0;
        s.localData = std::make_shared<_LineData>(s.local);
        s.local->loadContacts(s.localData);
        sync();
    }
    return s;
}

// Steps through the rows of a query reading every column, the least any reader must do.
qint64 plainScan(Sqlite3DB& db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db.handle(), sql, -1, &statement, nullptr);
    qint64 rows = 0;
    qint64 bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int i = 0, n = sqlite3_column_count(statement); i < n; ++i) {
            switch (sqlite3_column_type(statement, i)) {
            case SQLITE_INTEGER:
                bytes += sqlite3_column_int64(statement, i) & 1;
                break;
            case SQLITE_FLOAT:
                bytes += sqlite3_column_double(statement, i) > 0;
                break;
            case SQLITE_TEXT:
                bytes += sqlite3_column_bytes(statement, i) + (sqlite3_column_text(statement, i) ? 0 : 1);
                break;
            case SQLITE_BLOB:
                bytes += sqlite3_column_bytes(statement, i) + (sqlite3_column_blob(statement, i) ? 0 : 1);
                break;
            default:
                break;
            }
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(bytes);
    return rows;
}

const char kIosScan[] =
    "select m.* from ZMESSAGE as m inner join ZCHAT as c on m.ZCHAT=c.Z_PK where m.ZTIMESTAMP < "
    "4000000000000 "
    "and m.ZID <> '' and m.ZID is not null and m.ZCONTENTTYPE in (0, 107, 1, 2, 3, 7, 13, 14, 100, 112) "
    "order by m.ZTIMESTAMP asc, m.Z_PK asc";
const char kLocalScan[] =
    "select m.* from line_msg as m inner join line_chat as c on m.chat_id=c._id order by m.ts asc, m._id asc";

void walk(benchmark::State& state, const std::shared_ptr<_LineData>& data)
{
    qint64 walked = 0;
    qint64 peakGrowth = 0;
    for (auto _ : state) {
        LineMsgsDataSource source(data, nullptr, true);
        const qint64 count = source.count();
        qint64 baseline = 0;
        for (qint64 i = 0; i < count; ++i) {
            benchmark::DoNotOptimize(source.message(i));
            // Memory after the first page against every later page start: flat means one page held.
            if (i % data->pageSize() == 0) {
                state.PauseTiming();
                const qint64 resident = residentBytes();
                if (i == qint64(data->pageSize()))
                    baseline = resident;
                else if (baseline > 0)
                    peakGrowth = std::max(peakGrowth, resident - baseline);
                state.ResumeTiming();
            }
        }
        walked = count;
    }
    state.counters["messages"] = double(walked);
    state.counters["rss_growth_MB"] = double(peakGrowth) / (1024.0 * 1024.0);
    state.SetItemsProcessed(state.iterations() * walked);
}

void iosPlainScan(benchmark::State& state)
{
    Stores& s = stores();
    qint64 rows = 0;
    for (auto _ : state)
        rows = plainScan(*s.ios, kIosScan);
    state.counters["messages"] = double(rows);
    state.counters["store_build_s"] = s.buildSeconds;
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(iosPlainScan)->Unit(benchmark::kMillisecond)->Iterations(3);

void iosWalk(benchmark::State& state)
{
    Stores& s = stores();
    walk(state, s.iosData);
    state.counters["first_walk_s"] = s.firstWalkSeconds;
}
BENCHMARK(iosWalk)->Unit(benchmark::kMillisecond)->Iterations(3);

void iosWalkBusiestChat(benchmark::State& state)
{
    Stores& s = stores();
    _LineChat* busiest = nullptr;
    qint64 most = -1;
    for (_LineChat* chat : s.iosData->chats()) {
        const qint64 count = s.ios->countMessages(chat);
        if (count > most) {
            most = count;
            busiest = chat;
        }
    }
    for (auto _ : state) {
        LineMsgsDataSource source(s.iosData, busiest, true);
        for (qint64 i = 0, n = source.count(); i < n; ++i)
            benchmark::DoNotOptimize(source.message(i));
    }
    state.counters["messages"] = double(most);
    state.SetItemsProcessed(state.iterations() * most);
}
BENCHMARK(iosWalkBusiestChat)->Unit(benchmark::kMillisecond)->Iterations(3);

void iosLoadContacts(benchmark::State& state)
{
    Stores& s = stores();
    // A database object of its own: a database remembers the data set it filled last, and the walks
    // above read through s.iosData.
    auto db = std::make_shared<IOSLineDb>(s.fixture.appRoot);
    db->useWorkFolder(IOSLineStoreCache::folderFor(s.fixture.appRoot));
    db->open();
    for (auto _ : state) {
        auto data = std::make_shared<_LineData>(db);
        db->loadContacts(data);
        benchmark::DoNotOptimize(data->chats().size());
    }
    state.counters["users"] = double(s.iosData->users().size());
    state.counters["chats"] = double(s.iosData->chats().size());
    state.counters["groups"] = double(s.iosData->groups().size());
}
BENCHMARK(iosLoadContacts)->Unit(benchmark::kMillisecond)->Iterations(5);

void localPlainScan(benchmark::State& state)
{
    Stores& s = storesWithLocal();
    qint64 rows = 0;
    for (auto _ : state)
        rows = plainScan(*s.local, kLocalScan);
    state.counters["messages"] = double(rows);
    state.counters["local_build_s"] = s.localBuildSeconds;
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(localPlainScan)->Unit(benchmark::kMillisecond)->Iterations(3);

void localWalk(benchmark::State& state)
{
    walk(state, storesWithLocal().localData);
}
BENCHMARK(localWalk)->Unit(benchmark::kMillisecond)->Iterations(3);

void localLoadContacts(benchmark::State& state)
{
    Stores& s = storesWithLocal();
    auto db = std::make_shared<LineLocalDb>(s.local->folder());
    db->open();
    for (auto _ : state) {
        auto data = std::make_shared<_LineData>(db);
        db->loadContacts(data);
        benchmark::DoNotOptimize(data->chats().size());
    }
    state.counters["users"] = double(s.localData->users().size());
    state.counters["chats"] = double(s.localData->chats().size());
}
BENCHMARK(localLoadContacts)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    // Caches and the account registry go to a temporary HOME, removed at the end.
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
    delete g_stores;
    return 0;
}
