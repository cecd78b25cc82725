// ferrowyn-cli line: the chats and messages of LINE's store in a mirrored app
// folder, of an iTunes/Finder backup or of an attached iPhone's LINE (both
// loaded first). The store is read from a copy in the program's cache; the
// folder itself is never changed.
#include "CliCommand.h"
#include "CliLineLoad.h"
#include "LineListing.h"
#include "app/JobControl.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"

#include <QDir>
#include <QFileInfo>

namespace {

using Printer = int (*)(CliContext&, const QCommandLineParser&, const std::shared_ptr<AbsLineDb>&);

int run(CliContext& context, const QString& description, bool messages, Printer print)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("APP_ROOT"),
                                 QStringLiteral("Folder mirroring LINE's app data (Documents, Library)."));
    CliLineLoad::addOptions(parser, QStringLiteral("APP_ROOT"));
    if (messages)
        LineListing::addMessagesOptions(parser);
    else
        LineListing::addChatsOptions(parser);
    int exitCode = CliOk;
    if (!context.parse(parser, description, exitCode))
        return exitCode;
    const bool loaded = CliLineLoad::isSet(parser);
    if (CliLineLoad::bothSet(parser) || parser.positionalArguments().size() != (loaded ? 0 : 1)) {
        context.err << "error: give exactly one APP_ROOT, --backup DIR or --device UDID\n";
        return CliUsage;
    }
    QString root =
        loaded ? CliLineLoad::load(context, parser, exitCode) : parser.positionalArguments().first();
    if (loaded && root.isEmpty())
        return exitCode;
    // Absolute, so that the paths of its media are too.
    root = QFileInfo(root).absoluteFilePath();
    if (!QFileInfo(root).isDir())
        return context.fail(QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(root)));
    try {
        JobControl control = context.control();
        return print(context, parser, IOSLineStoreCache::openCopy(root, control));
    } catch (const JobCancelled&) {
        return context.cancelled();
    } catch (const std::exception& error) {
        return context.fail(QString::fromUtf8(error.what()));
    }
}

const CliRegistration registration(
    QStringLiteral("line"), QStringLiteral("Chats and messages of LINE's store in a mirrored app folder."),
    {
        {QString(), QStringLiteral("chats"), QStringLiteral("List the chats of a LINE app folder."),
         [](CliContext& context) {
             return run(context, QStringLiteral("Lists the chats of the LINE store in APP_ROOT."), false,
                        &LineListing::printChats);
         }},
        {QString(), QStringLiteral("messages"), QStringLiteral("List the messages of a LINE app folder."),
         [](CliContext& context) {
             return run(context,
                        QStringLiteral("Lists the messages of the LINE store in "
                                       "APP_ROOT, oldest first."),
                        true, &LineListing::printMessages);
         }},
    });

} // namespace
