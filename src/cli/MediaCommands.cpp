// ferrowyn-cli media: copies the attachments of a LINE app folder or a local message database into a
// folder, through the same job as the program's extract action.
#include "CliCommand.h"
#include "CliMessageSource.h"
#include "ConsoleJobReporter.h"
#include "jobs/ExtractMediaFilesThread.h"

#include <QCommandLineParser>

namespace {

const QString kOut = QStringLiteral("out");

int extract(CliContext& context)
{
    QCommandLineParser parser;
    CliMessageSource::addOptions(parser);
    parser.addOption({kOut, QStringLiteral("The folder to copy the attachments into (created when missing)."),
                      QStringLiteral("DIR")});
    int exitCode = CliOk;
    if (!context.parse(
            parser,
            QStringLiteral("Copies the photos, videos, voice messages and files of the messages into "
                           "DIR, named and dated by the time each message was sent. Existing files "
                           "are never replaced."),
            exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty()) {
        context.err << "error: unexpected argument '" << parser.positionalArguments().first() << "'\n";
        return CliUsage;
    }
    if (parser.value(kOut).isEmpty()) {
        context.err << "error: give --out DIR\n";
        return CliUsage;
    }
    if (parser.value(kOut) == QLatin1String("-")) {
        context.err << "error: --out names a folder; standard output cannot take attachments\n";
        return CliUsage;
    }
    CliMessageSource store;
    if (!store.open(context, parser, exitCode))
        return exitCode;
    ConsoleJobReporter reporter(context);
    ExtractMediaFilesThread job(store.source(), parser.value(kOut), &reporter);
    return reporter.run(job);
}

const CliRegistration registration(
    QStringLiteral("media"), QStringLiteral("Attachments of LINE messages."),
    {
        {QString(), QStringLiteral("extract"),
         QStringLiteral("Copy the attachments of an app folder or a local database into a folder."),
         &extract},
    });

} // namespace
