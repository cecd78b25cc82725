// Export speed against the plain walk over the same messages, the bubble view's page build, and PDF pages.
// The store is a generated list of 1,000,000 messages in 200 chats (mostly text, with photos, stickers
// and files mixed in), held in memory: the walk costs only the copy of each message, so the ratios here
// are an upper bound of those on a database-backed source, whose walk also reads and decodes rows.
#include "ChatFixture.h"
#include "app/JobControl.h"
#include "export/ExportMessagesPdf.h"
#include "jobs/ExportMessagesThread.h"
#include "ui/LineBubblePageBuilder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
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

// The resident memory of this process in MiB, where the system tells it (Linux); 0 elsewhere.
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// One chat of N messages to PDF files of 100 pages: pages a second, and how far the resident memory rose
// above where it was before the export (sampled at every percent of progress). Flat across N means the
// pages, pictures and fonts of a finished file are not kept.
void exportPdf(benchmark::State& state)
{
    const qint64 count = state.range(0);
    const GeneratedMessages messages(count, 1);
    QTemporaryDir dir;
    qint64 pages = 0;
    double rise = 0;
    for (auto _ : state) {
        const double before = residentMiB();
        double peak = before;
        JobControl::Listener listener;
        listener.progress = [&peak](int, const QString&) { peak = std::max(peak, residentMiB()); };
        JobControl control(listener);
        ExportMessagesPdf exporter(messages.source(), QDir(dir.path()).filePath(QStringLiteral("pdf")));
        if (exporter.run(control) != count)
            state.SkipWithError("the export failed");
        pages = exporter.pageCount();
        rise = std::max(rise, peak - before);
    }
    state.counters["pages"] = double(pages);
    state.counters["pages_per_s"] =
        benchmark::Counter(double(pages) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["rss_rise_MiB"] = rise;
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(exportPdf)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // PDF pages are painted with fonts, which needs a GUI application; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
