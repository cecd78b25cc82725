// ferrowyn-cli import: backs up LINE's messages of an iTunes/Finder backup into a local message database
// in the program's data folder, as the program's import action does.
#include "CliCommand.h"
#include "CliPassword.h"
#include "ConsoleDeviceDialogs.h"
#include "jobs/LineTransferFlow.h"

#include <QCommandLineParser>
#include <QDir>

namespace {

const QString kBackup = QStringLiteral("backup");
const QString kName = QStringLiteral("name");

int exitFor(LineTransferFlow::Result result)
{
    switch (result) {
    case LineTransferFlow::Result::Done:
        return CliOk;
    case LineTransferFlow::Result::Cancelled:
        return CliCancelled;
    case LineTransferFlow::Result::Failed:
        break;
    }
    return CliFailed;
}

int importBackup(CliContext& context)
{
    QCommandLineParser parser;
    parser.addOption({kBackup, QStringLiteral("The iTunes/Finder backup folder (it is only read)."),
                      QStringLiteral("DIR")});
    parser.addOption({kName,
                      QStringLiteral("The local database's name (default: the backup's device name + "
                                     "\"_Backup\"); messages already in it are not added again."),
                      QStringLiteral("NAME")});
    CliPassword::addOptions(parser);
    int exitCode = CliOk;
    if (!context.parse(parser,
                       QStringLiteral("Backs up LINE's messages of a backup into a local message database in "
                                      "the program's data folder and prints its folder. ") +
                           CliPassword::help(),
                       exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty() || parser.value(kBackup).isEmpty()) {
        context.err << "error: give --backup DIR\n";
        return CliUsage;
    }
    ConsoleDeviceDialogs dialogs(context.out, context.err, parser, 0);
    LineTransferFlow flow(dialogs);
    const int result = exitFor(flow.importFromBackup(parser.value(kBackup), parser.value(kName)));
    if (result == CliOk) {
        context.out << QDir::toNativeSeparators(flow.localDbFolder()) << "\n";
        context.out.flush();
    }
    return result;
}

const CliRegistration registration(
    QStringLiteral("import"), QStringLiteral("Import LINE's messages of a backup into a local database."),
    {
        {QString(), QString(), QStringLiteral("Import a backup's LINE messages."), &importBackup},
    });

} // namespace
