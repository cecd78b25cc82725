// ferrowyn-cli line: the chats and messages of LINE's store in a mirrored app
// folder, of an iTunes/Finder backup or of an attached iPhone's LINE (both
// loaded first). The store is read from a copy in the program's cache; the
// folder itself is never changed.
#include "CliCommand.h"
#include "CliPassword.h"
#include "ConsoleDeviceDialogs.h"
#include "LineListing.h"
#include "app/JobControl.h"
#include "device/DeviceInfo.h"
#include "jobs/BackupLineLoad.h"
#include "jobs/DeviceLineLoad.h"
#include "line/IOSLineDb.h"
#include "line/IOSLineStoreCache.h"

#include <QDir>
#include <QFileInfo>

namespace {

using Printer = int (*)(CliContext&, const QCommandLineParser&, const std::shared_ptr<AbsLineDb>&);

const QString kDevice = QStringLiteral("device");
const QString kBackup = QStringLiteral("backup");

// Loads LINE's data from the device named by --device; returns the LINE folder, or empty with exitCode
// set after the reason was printed.
QString loadFromDevice(CliContext& context, const QCommandLineParser& parser, int& exitCode)
{
    int trustWait = 0;
    if (!ConsoleDeviceDialogs::trustWait(parser, context.err, trustWait)) {
        exitCode = CliUsage;
        return {};
    }
    ConsoleDeviceDialogs dialogs(context.out, context.err, parser, trustWait);
    DeviceLineLoad load(dialogs);
    const PDeviceInfo device = load.connect(parser.value(kDevice));
    if (!device) {
        exitCode = CliFailed;
        return {};
    }
    const DeviceLineLoad::Result result = load.loadLine(device);
    if (result != DeviceLineLoad::Result::Loaded) {
        exitCode = result == DeviceLineLoad::Result::Cancelled ? CliCancelled : CliFailed;
        return {};
    }
    return lineCacheDir(*device);
}

// Loads LINE's data from the backup folder named by --backup into the backup's cache; returns the LINE
// folder, or empty with exitCode set after the reason was printed.
QString loadFromBackup(CliContext& context, const QCommandLineParser& parser, int& exitCode)
{
    ConsoleDeviceDialogs dialogs(context.out, context.err, parser, 0);
    BackupLineLoad load(dialogs);
    const BackupLineLoad::Result result = load.load(parser.value(kBackup), BackupLineLoad::Role::Source);
    if (result != BackupLineLoad::Result::Loaded) {
        exitCode = result == BackupLineLoad::Result::Cancelled ? CliCancelled : CliFailed;
        return {};
    }
    return load.appFolder();
}

int run(CliContext& context, const QString& description, bool messages, Printer print)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("APP_ROOT"),
                                 QStringLiteral("Folder mirroring LINE's app data (Documents, Library)."));
    parser.addOption({kDevice,
                      QStringLiteral("Instead of APP_ROOT, load LINE's data from this attached iPhone first "
                                     "(as 'device load' does). ") +
                          CliPassword::help(),
                      QStringLiteral("UDID")});
    parser.addOption({kBackup,
                      QStringLiteral("Instead of APP_ROOT, load LINE's data from this iTunes/Finder backup "
                                     "folder first (it is only read). ") +
                          CliPassword::help(),
                      QStringLiteral("DIR")});
    CliPassword::addOptions(parser);
    ConsoleDeviceDialogs::addTrustOption(parser);
    if (messages)
        LineListing::addMessagesOptions(parser);
    else
        LineListing::addChatsOptions(parser);
    int exitCode = CliOk;
    if (!context.parse(parser, description, exitCode))
        return exitCode;
    const bool loaded = parser.isSet(kDevice) || parser.isSet(kBackup);
    if ((parser.isSet(kDevice) && parser.isSet(kBackup)) ||
        parser.positionalArguments().size() != (loaded ? 0 : 1)) {
        context.err << "error: give exactly one APP_ROOT, --backup DIR or --device UDID\n";
        return CliUsage;
    }
    QString root;
    if (parser.isSet(kDevice))
        root = loadFromDevice(context, parser, exitCode);
    else if (parser.isSet(kBackup))
        root = loadFromBackup(context, parser, exitCode);
    else
        root = parser.positionalArguments().first();
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
