// ferrowyn-cli localdb: the chats and messages of a local message database.
#include "CliCommand.h"
#include "LineListing.h"
#include "line/LineLocalDb.h"

#include <QDir>

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
        return print(context, parser, std::make_shared<LineLocalDb>(folder));
    } catch (const std::exception& error) {
        return context.fail(QString::fromUtf8(error.what()));
    }
}

const CliRegistration registration(
    QStringLiteral("localdb"), QStringLiteral("Chats and messages of a local message database."),
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
    });

} // namespace
