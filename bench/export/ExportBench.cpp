// Export speed against the plain walk over the same messages, and the bubble view's page build.
// The store is a generated list of 1,000,000 messages in 200 chats (mostly text, with photos, stickers
// and files mixed in), held in memory: the walk costs only the copy of each message, so the ratios here
// are an upper bound of those on a database-backed source, whose walk also reads and decodes rows.
#include "ChatFixture.h"
#include "jobs/ExportMessagesThread.h"
#include "ui/LineBubblePageBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr qint64 kMessages = 1000000;

const GeneratedMessages& store()
{
    static const GeneratedMessages messages(kMessages, 200);
    return messages;
}

void messageWalk(benchmark::State& state)
{
    const PAbsLineMsgsSource source = store().source();
    for (auto _ : state) {
        const qint64 count = source->count();
        qint64 bytes = 0;
        for (qint64 i = 0; i < count; ++i) {
            const _LineMsg message = source->message(i);
            bytes += message.text.size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(messageWalk)->Unit(benchmark::kMillisecond)->Iterations(3);

void exportFormat(benchmark::State& state, int format, const char* fileName)
{
    const PAbsLineMsgsSource source = store().source();
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QString::fromLatin1(fileName));
    for (auto _ : state) {
        ExportMessagesThread job(source, path, format, nullptr, QString());
        job.start();
        job.wait();
        if (!job.succeeded() || job.exportedCount() != kMessages)
            state.SkipWithError("the export failed");
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
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

// The web page export: one page per chat with the bubble markup, over a tenth of the store (the pages
// are large); photos without files cost their lookups but copy nothing.
void exportHtml(benchmark::State& state)
{
    static const GeneratedMessages messages(kMessages / 10, 200);
    const PAbsLineMsgsSource source = messages.source();
    QTemporaryDir dir;
    int run = 0;
    for (auto _ : state) {
        const QString folder = QDir(dir.path()).filePath(QStringLiteral("html%1").arg(++run));
        ExportMessagesThread job(source, folder, MessageExporter::Html, nullptr, QString());
        job.start();
        job.wait();
        if (!job.succeeded() || job.exportedCount() != kMessages / 10)
            state.SkipWithError("the export failed");
        state.PauseTiming();
        QDir(folder).removeRecursively();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * (kMessages / 10));
}
BENCHMARK(exportHtml)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void bubblePageOf50(benchmark::State& state)
{
    const PAbsLineMsgsSource source = store().source();
    const qint64 count = source->count();
    qint64 page = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(LineBubblePageBuilder::build(*source, count, page));
        page = page % 1000 + 1;
    }
}
BENCHMARK(bubblePageOf50)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
