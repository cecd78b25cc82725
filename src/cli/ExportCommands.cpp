// ferrowyn-cli export: writes the messages of a LINE app folder or a local message database to files,
// through the same export job as the program's export action (PDF pages included: the job paints them on
// its own thread, which needs no window).
#include "CliCommand.h"
#include "CliMessageSource.h"
#include "ConsoleJobReporter.h"
#include "jobs/ExportMessagesThread.h"

#include <QCommandLineParser>

namespace {

const QString kFormat = QStringLiteral("format");
const QString kOut = QStringLiteral("out");
const QString kOwner = QStringLiteral("owner");

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
                      QStringLiteral("The file (txt, doc, csv) or folder (pdf, html, linetxt) to write."),
                      QStringLiteral("PATH")});
    parser.addOption({kOwner, QStringLiteral("The owner's name in the linetxt format (default \"Me\")."),
                      QStringLiteral("NAME")});
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
    CliMessageSource store;
    if (!store.open(context, parser, exitCode))
        return exitCode;
    ConsoleJobReporter reporter(context);
    ExportMessagesThread job(store.source(), parser.value(kOut), format, &reporter, parser.value(kOwner));
    return reporter.run(job);
}

const CliRegistration registration(
    QStringLiteral("export"),
    QStringLiteral("Export messages to text, Word-compatible text, CSV, PDF, HTML or LINE's text layout."),
    {
        {QString(), QString(), QStringLiteral("Export messages."), &exportMessages},
    });

} // namespace
