// ferrowyn-cli localdb: the chats and messages of a local message database, and backing messages up
// into one.
#include "CliCommand.h"
#include "CliMessageSource.h"
#include "ConsoleJobReporter.h"
#include "LineListing.h"
#include "jobs/BackupLineMessagesThread.h"
#include "line/LineLocalDb.h"

#include <QDir>
#include <QFileInfo>

namespace {

using Printer = int (*)(CliContext&, const QCommandLineParser&, const std::shared_ptr<AbsLineDb>&);

int run(CliContext& context, const QString& description, bool messages, Printer print)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("DB_FOLDER"),
                                 QStringLiteral("Folder of the local message database."));
    if (messages)
        LineListing::addMessagesOptions(parser);
    else
        LineListing::addChatsOptions(parser);
    int exitCode = CliOk;
    if (!context.parse(parser, description, exitCode))
        return exitCode;
    if (parser.positionalArguments().size() != 1) {
        context.err << "error: give exactly one DB_FOLDER\n";
        return CliUsage;
    }
    const QString folder = parser.positionalArguments().first();
    // Listing must not create a database where there was none.
    if (!LineLocalDb::existsIn(folder))
        return context.fail(
            QStringLiteral("there is no local message database in %1").arg(QDir::toNativeSeparators(folder)));
    try {
        // Absolute, so that the paths of its media are too.
        return print(context, parser, std::make_shared<LineLocalDb>(QFileInfo(folder).absoluteFilePath()));
    } catch (const std::exception& error) {
        return context.fail(QString::fromUtf8(error.what()));
    }
}

bool sameFolder(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() && first.canonicalFilePath() == second.canonicalFilePath();
}

int backup(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(
        QStringLiteral("DB_FOLDER"),
        QStringLiteral("Folder of the local message database to back up into (created when missing)."));
    CliMessageSource::addOptions(parser);
    int exitCode = CliOk;
    if (!context.parse(
            parser,
            QStringLiteral("Backs up the messages of a LINE app folder or of another local message "
                           "database into the local message database in DB_FOLDER, with their "
                           "chats, contacts, thumbnails and media. Messages already there are not "
                           "added again."),
            exitCode))
        return exitCode;
    if (parser.positionalArguments().size() != 1) {
        context.err << "error: give exactly one DB_FOLDER\n";
        return CliUsage;
    }
    const QString target = parser.positionalArguments().first();
    CliMessageSource store;
    if (!store.open(context, parser, exitCode))
        return exitCode;
    if (!store.localDbFolder().isEmpty() && sameFolder(store.localDbFolder(), target))
        return context.fail(
            QStringLiteral("%1 would be backed up into itself").arg(QDir::toNativeSeparators(target)));
    ConsoleJobReporter reporter(context);
    BackupLineMessagesThread job(store.source(), target, &reporter);
    return reporter.run(job);
}

const CliRegistration registration(
    QStringLiteral("localdb"),
    QStringLiteral("Chats and messages of a local message database; backing messages up into one."),
    {
        {QString(), QStringLiteral("chats"), QStringLiteral("List the chats of a local database."),
         [](CliContext& context) {
             return run(context,
                        QStringLiteral("Lists the chats of the local message database in DB_FOLDER."), false,
                        &LineListing::printChats);
         }},
        {QString(), QStringLiteral("messages"), QStringLiteral("List the messages of a local database."),
         [](CliContext& context) {
             return run(context,
                        QStringLiteral(
                            "Lists the messages of the local message database in DB_FOLDER, oldest first."),
                        true, &LineListing::printMessages);
         }},
        {QString(), QStringLiteral("backup"),
         QStringLiteral(
             "Back up the messages of an app folder or another local database into a local database."),
         &backup},
    });

} // namespace
