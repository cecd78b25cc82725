// ferrowyn-cli transfer: merges LINE messages of a local database, an app folder, a backup or an
// iPhone into an attached iPhone or an iTunes/Finder backup, through the same flows as the program's
// transfer actions.
#include "CliCommand.h"
#include "CliMessageSource.h"
#include "CliPassword.h"
#include "ConsoleDeviceDialogs.h"
#include "device/DeviceInfo.h"
#include "jobs/BackupLineLoad.h"
#include "jobs/DeviceLineLoad.h"
#include "jobs/LineTransferFlow.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

const QString kBackup = QStringLiteral("backup");
const QString kDevice = QStringLiteral("device");
const QString kLine = QStringLiteral("line");
const QString kLocalDb = QStringLiteral("localdb");
const QString kToBackup = QStringLiteral("to-backup");
const QString kToDevice = QStringLiteral("to-device");
const QString kYes = QStringLiteral("yes");
const QString kTargetPassword = QStringLiteral("target-password-file");

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

int countSet(const QCommandLineParser& parser, const QStringList& names)
{
    int count = 0;
    for (const QString& name : names)
        count += parser.isSet(name) ? 1 : 0;
    return count;
}

// Opens the source the options name: a backup or a device is loaded first. False with exitCode set after
// the reason was printed.
bool openSource(CliContext& context, const QCommandLineParser& parser, ConsoleDeviceDialogs& dialogs,
                CliMessageSource& store, LineTransferSource& source, int& exitCode)
{
    if (parser.isSet(kBackup)) {
        BackupLineLoad load(dialogs);
        const BackupLineLoad::Result result = load.load(parser.value(kBackup), BackupLineLoad::Role::Source);
        if (result != BackupLineLoad::Result::Loaded) {
            exitCode = result == BackupLineLoad::Result::Cancelled ? CliCancelled : CliFailed;
            return false;
        }
        source.backupFolder = parser.value(kBackup);
        if (!store.openAppRoot(context, parser, load.appFolder(), exitCode))
            return false;
    } else if (parser.isSet(kDevice)) {
        DeviceLineLoad load(dialogs);
        const PDeviceInfo device = load.connect(parser.value(kDevice));
        if (!device) {
            exitCode = CliFailed;
            return false;
        }
        const DeviceLineLoad::Result result = load.loadLine(device);
        if (result != DeviceLineLoad::Result::Loaded) {
            exitCode = result == DeviceLineLoad::Result::Cancelled ? CliCancelled : CliFailed;
            return false;
        }
        source.udid = device->udid;
        if (!store.openAppRoot(context, parser, lineCacheDir(*device), exitCode))
            return false;
    } else if (!store.open(context, parser, exitCode)) {
        return false;
    }
    source.messages = store.source();
    return true;
}

int transfer(CliContext& context)
{
    QCommandLineParser parser;
    CliMessageSource::addOptions(parser);
    parser.addOption(
        {kBackup, QStringLiteral("Read the messages of this iTunes/Finder backup folder (it is only read)."),
         QStringLiteral("DIR")});
    parser.addOption({kDevice, QStringLiteral("Read the messages of this attached iPhone (loaded first)."),
                      QStringLiteral("UDID")});
    parser.addOption({kToBackup,
                      QStringLiteral("Merge the messages into LINE's data in this iTunes/Finder backup."),
                      QStringLiteral("DIR")});
    parser.addOption(
        {kToDevice,
         QStringLiteral("Merge the messages into LINE's data on this attached iPhone, which then "
                        "restarts. iPhones on iOS 27 and later are backed up and restored "
                        "whole, after a confirmation."),
         QStringLiteral("UDID")});
    parser.addOption({kYes, QStringLiteral("Answer the transfer's confirmations with yes.")});
    CliPassword::addOptions(parser);
    parser.addOption({kTargetPassword,
                      QStringLiteral("When both the source and the target backup are encrypted: the target's "
                                     "password from the first line of FILE."),
                      QStringLiteral("FILE")});
    ConsoleDeviceDialogs::addTrustOption(parser);
    int exitCode = CliOk;
    if (!context.parse(
            parser,
            QStringLiteral("Merges LINE messages into an attached iPhone or an iTunes/Finder backup: "
                           "messages already there are not added again, and a transfer that fails "
                           "leaves the target as it was. Prints the number of messages "
                           "transferred. Confirmations are asked on a terminal; otherwise the "
                           "transfer stops unless --yes is given. ") +
                CliPassword::help(),
            exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty()) {
        context.err << "error: unexpected argument '" << parser.positionalArguments().first() << "'\n";
        return CliUsage;
    }
    if (countSet(parser, {kLocalDb, kLine, kBackup, kDevice}) != 1) {
        context.err << "error: give one of --localdb DIR, --line APP_ROOT, --backup DIR, --device UDID\n";
        return CliUsage;
    }
    if (countSet(parser, {kToBackup, kToDevice}) != 1) {
        context.err << "error: give one of --to-backup DIR, --to-device UDID\n";
        return CliUsage;
    }
    int trustWait = 0;
    if (!ConsoleDeviceDialogs::trustWait(parser, context.err, trustWait))
        return CliUsage;
    ConsoleDeviceDialogs dialogs(context.out, context.err, parser, trustWait);
    dialogs.setAssumeYes(parser.isSet(kYes));
    dialogs.setTargetPasswordFile(parser.value(kTargetPassword));
    CliMessageSource store;
    LineTransferSource source;
    if (!openSource(context, parser, dialogs, store, source, exitCode))
        return exitCode;
    LineTransferFlow flow(dialogs);
    const LineTransferFlow::Result result = parser.isSet(kToDevice)
                                                ? flow.transferToDevice(source, parser.value(kToDevice))
                                                : flow.exportToBackup(source, parser.value(kToBackup));
    // A confirmation answered no is a refusal, not an interrupt.
    if (result == LineTransferFlow::Result::Cancelled && dialogs.declined())
        return CliFailed;
    return exitFor(result);
}

const CliRegistration
    registration(QStringLiteral("transfer"),
                 QStringLiteral("Merge LINE messages into an iPhone or an iTunes backup."),
                 {
                     {QString(), QString(), QStringLiteral("Transfer messages."), &transfer},
                 });

} // namespace
