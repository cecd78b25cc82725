#include "CliLineLoad.h"

#include "CliCommand.h"
#include "CliPassword.h"
#include "ConsoleDeviceDialogs.h"
#include "device/DeviceInfo.h"
#include "jobs/BackupLineLoad.h"
#include "jobs/DeviceLineLoad.h"

#include <QCommandLineParser>

namespace {

const QString kDevice = QStringLiteral("device");
const QString kBackup = QStringLiteral("backup");

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

} // namespace

namespace CliLineLoad {

void addOptions(QCommandLineParser& parser, const QString& insteadOf)
{
    parser.addOption({kDevice,
                      QStringLiteral("Instead of %1, load LINE's data from this attached iPhone first "
                                     "(as 'device load' does). ")
                              .arg(insteadOf) +
                          CliPassword::help(),
                      QStringLiteral("UDID")});
    parser.addOption({kBackup,
                      QStringLiteral("Instead of %1, load LINE's data from this iTunes/Finder backup "
                                     "folder first (it is only read). ")
                              .arg(insteadOf) +
                          CliPassword::help(),
                      QStringLiteral("DIR")});
    CliPassword::addOptions(parser);
    ConsoleDeviceDialogs::addTrustOption(parser);
}

bool isSet(const QCommandLineParser& parser)
{
    return parser.isSet(kDevice) || parser.isSet(kBackup);
}

bool bothSet(const QCommandLineParser& parser)
{
    return parser.isSet(kDevice) && parser.isSet(kBackup);
}

QString load(CliContext& context, const QCommandLineParser& parser, int& exitCode)
{
    return parser.isSet(kDevice) ? loadFromDevice(context, parser, exitCode)
                                 : loadFromBackup(context, parser, exitCode);
}

} // namespace CliLineLoad
