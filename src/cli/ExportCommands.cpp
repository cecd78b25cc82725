// ferrowyn-cli export: writes the messages of a LINE app folder or a local message database to files,
// through the same export job as the program's export action (PDF pages included: the job paints them on
// its own thread, which needs no window).
#include "CliCommand.h"
#include "CliMessageSource.h"
#include "ConsoleJobReporter.h"
#include "jobs/ExportMessagesThread.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QString kFormat = QStringLiteral("format");
const QString kOut = QStringLiteral("out");
const QString kOwner = QStringLiteral("owner");
const QString kStickerHost = QStringLiteral("sticker-host");
const QString kMapHost = QStringLiteral("map-host");
const QString kStandardOutput = QStringLiteral("-");
constexpr qint64 kPieceSize = 1024 * 1024;

// The export job's format for a --format word; -1 for an unknown one.
int formatOf(const QString& word)
{
    if (word == QLatin1String("txt") || word == QLatin1String("doc"))
        return MessageExporter::PlainText; // a ".doc" export is the plain text under another name
    if (word == QLatin1String("csv"))
        return MessageExporter::Csv;
    if (word == QLatin1String("pdf"))
        return MessageExporter::Pdf;
    if (word == QLatin1String("html"))
        return MessageExporter::Html;
    if (word == QLatin1String("linetxt"))
        return MessageExporter::LineText;
    return -1;
}

// Copies a finished export file to standard output, piece by piece.
int copyToStandardOutput(CliContext& context, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return context.fail(QStringLiteral("cannot read the exported file %1: %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString()));
    context.out.flush();
    while (!file.atEnd()) {
        const QByteArray piece = file.read(kPieceSize);
        if (piece.isEmpty() && file.error() != QFileDevice::NoError)
            return context.fail(QStringLiteral("cannot read the exported file %1: %2")
                                    .arg(QDir::toNativeSeparators(path), file.errorString()));
        // A failed write is reported once, at the end of the command.
        if (std::fwrite(piece.constData(), 1, size_t(piece.size()), stdout) != size_t(piece.size()))
            break;
    }
    return CliOk;
}

int exportMessages(CliContext& context)
{
    QCommandLineParser parser;
    CliMessageSource::addOptions(parser);
    parser.addOption(
        {kFormat,
         QStringLiteral("txt, doc (plain text), csv (one file each), pdf (a folder with PDF files of "
                        "at most 100 pages per chat), html or linetxt (LINE's chat-history text; a "
                        "folder with one file per chat each)."),
         QStringLiteral("FORMAT")});
    parser.addOption({kOut,
                      QStringLiteral("The file (txt, doc, csv; - for standard output) or folder (pdf, html, "
                                     "linetxt) to write."),
                      QStringLiteral("PATH")});
    parser.addOption({kOwner, QStringLiteral("The owner's name in the linetxt format (default \"Me\")."),
                      QStringLiteral("NAME")});
    parser.addOption(
        {kStickerHost,
         QStringLiteral("html: show the stickers the store has no image of from this LINE sticker "
                        "image server (by default a sticker without an image shows its label)."),
         QStringLiteral("URL")});
    parser.addOption({kMapHost,
                      QStringLiteral("html: show a map picture of each shared place from this static map "
                                     "service (by default a place shows its name and coordinates)."),
                      QStringLiteral("URL")});
    int exitCode = CliOk;
    if (!context.parse(
            parser,
            QStringLiteral("Exports the messages of a LINE app folder or a local message database. "
                           "Files appear under their names only when the export is complete."),
            exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty()) {
        context.err << "error: unexpected argument '" << parser.positionalArguments().first() << "'\n";
        return CliUsage;
    }
    const int format = formatOf(parser.value(kFormat));
    if (format < 0) {
        context.err << "error: give --format txt, doc, csv, pdf, html or linetxt\n";
        return CliUsage;
    }
    if (parser.value(kOut).isEmpty()) {
        context.err << "error: give --out PATH\n";
        return CliUsage;
    }
    const bool toStandardOutput = parser.value(kOut) == kStandardOutput;
    if (toStandardOutput && format != MessageExporter::PlainText && format != MessageExporter::Csv) {
        context.err
            << "error: --out - writes one file to standard output: only txt, doc and csv are one file\n";
        return CliUsage;
    }
    CliMessageSource store;
    if (!store.open(context, parser, exitCode))
        return exitCode;
    // Standard output takes the export once it is complete, so a failed export writes nothing there.
    QTemporaryDir staging(QDir(QDir::tempPath()).filePath(QStringLiteral("ferrowyn-export-XXXXXX")));
    if (toStandardOutput && !staging.isValid())
        return context.fail(QStringLiteral("cannot create a temporary folder in %1: %2")
                                .arg(QDir::toNativeSeparators(QDir::tempPath()), staging.errorString()));
    const QString target = toStandardOutput ? staging.filePath(QStringLiteral("export")) : parser.value(kOut);
    ExportOptions options;
    options.stickerServer = parser.value(kStickerHost);
    options.mapServer = parser.value(kMapHost);
    options.stickerFiles = store.stickerFiles();
    ConsoleJobReporter reporter(context);
    reporter.setResultOnStandardError(toStandardOutput);
    ExportMessagesThread job(store.source(), target, format, &reporter, parser.value(kOwner));
    job.setOptions(options);
    const int result = reporter.run(job);
    if (result != CliOk || !toStandardOutput)
        return result;
    return copyToStandardOutput(context, target);
}

const CliRegistration registration(
    QStringLiteral("export"),
    QStringLiteral("Export messages to text, Word-compatible text, CSV, PDF, HTML or LINE's text layout."),
    {
        {QString(), QString(), QStringLiteral("Export messages."), &exportMessages},
    });

} // namespace
