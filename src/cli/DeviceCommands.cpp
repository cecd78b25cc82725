// ferrowyn-cli device: the iPhones attached over USB: list and describe them, take a partial backup,
// load LINE's data from them and restore a backup onto them.
#include "CliCommand.h"
#include "CliPassword.h"
#include "ConsoleDeviceDialogs.h"
#include "ConsoleJobReporter.h"

#include "backup/BackupManifest.h"
#include "device/DeviceApps.h"
#include "device/DeviceBackupSettings.h"
#include "device/DeviceDirectory.h"
#include "device/DeviceInfo.h"
#include "device/RemoteSystemMode.h"
#include "jobs/DeviceLineLoad.h"
#include "jobs/IOSMobileBackupThread.h"
#include "jobs/IOSMobileRestoreThread.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <exception>

namespace {

const QString kJson = QStringLiteral("json");
const QString kOut = QStringLiteral("out");
const QString kFrom = QStringLiteral("from");
const QString kAllFiles = QStringLiteral("all-files");
const QString kManifest = QStringLiteral("manifest");

QJsonObject summaryJson(const DeviceSummary& device)
{
    return QJsonObject{
        {QStringLiteral("udid"), device.udid},
        {QStringLiteral("name"), device.name},
        {QStringLiteral("productType"), device.productType},
        {QStringLiteral("productVersion"), device.productVersion},
        {QStringLiteral("paired"), device.paired},
        {QStringLiteral("lineInstalled"), device.lineInstalled},
    };
}

// The one UDID argument; false (with the exit code set) when it is missing.
bool takeUdid(CliContext& context, const QCommandLineParser& parser, QString& udid, int& exitCode)
{
    if (parser.positionalArguments().size() != 1) {
        context.err << "error: give one device UDID (see 'ferrowyn-cli device list')\n";
        context.err.flush();
        exitCode = CliUsage;
        return false;
    }
    udid = parser.positionalArguments().first();
    return true;
}

// Connects to the device, waiting for the user to trust the computer when needed; null after printing why.
PDeviceInfo connectDevice(ConsoleDeviceDialogs& dialogs, const QString& udid)
{
    DeviceLineLoad load(dialogs);
    return load.connect(udid);
}

int exitFor(DeviceLineLoad::Result result)
{
    switch (result) {
    case DeviceLineLoad::Result::Loaded:
        return CliOk;
    case DeviceLineLoad::Result::Cancelled:
        return CliCancelled;
    case DeviceLineLoad::Result::Failed:
        break;
    }
    return CliFailed;
}

int listCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addOption({kJson, QStringLiteral("One JSON object per line.")});
    int exitCode = CliOk;
    if (!context.parse(
            parser,
            QStringLiteral("Lists the iPhones attached over USB. Nothing is asked of them: a device "
                           "that does not trust this computer yet shows as not paired."),
            exitCode))
        return exitCode;
    bool reachable = false;
    const QStringList udids = attachedDeviceUdids(&reachable);
    if (!reachable)
        return context.fail(QStringLiteral("the USB multiplexer (usbmuxd) does not answer; is it running?"));
    for (const QString& udid : udids) {
        const DeviceSummary device = describeDevice(udid);
        if (parser.isSet(kJson)) {
            context.printJson(summaryJson(device));
            continue;
        }
        context.out << device.udid << "\t" << device.name << "\t" << device.productType << "\t"
                    << device.productVersion << "\t" << (device.paired ? "paired" : "not paired") << "\t"
                    << (device.lineInstalled ? "LINE" : "no LINE") << "\n";
    }
    context.out.flush();
    return CliOk;
}

int infoCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("UDID"), QStringLiteral("The device."));
    parser.addOption({kJson, QStringLiteral("One JSON object.")});
    ConsoleDeviceDialogs::addTrustOption(parser);
    int exitCode = CliOk;
    if (!context.parse(parser, QStringLiteral("Shows a device's identity, backup settings and LINE's home."),
                       exitCode))
        return exitCode;
    QString udid;
    int trustWait = 0;
    if (!takeUdid(context, parser, udid, exitCode))
        return exitCode;
    if (!ConsoleDeviceDialogs::trustWait(parser, context.err, trustWait))
        return CliUsage;
    ConsoleDeviceDialogs dialogs(context.out, context.err, parser, trustWait);
    const PDeviceInfo device = connectDevice(dialogs, udid);
    if (!device)
        return CliFailed;
    const PlistCFType settings = DeviceBackupSettings::read(udid);
    const QJsonObject object{
        {QStringLiteral("udid"), device->udid},
        {QStringLiteral("name"), device->name},
        {QStringLiteral("productType"), device->productType},
        {QStringLiteral("productVersion"), device->productVersion},
        {QStringLiteral("countryCode"), device->countryCode},
        {QStringLiteral("paired"), true},
        {QStringLiteral("lineInstalled"), !device->lineHome.isEmpty()},
        {QStringLiteral("lineHome"), device->lineHome},
        {QStringLiteral("willEncrypt"), settings.value(QStringLiteral("WillEncrypt")).getBool()},
        {QStringLiteral("cloudBackupEnabled"),
         settings.value(QStringLiteral("CloudBackupEnabled")).getBool()},
    };
    if (parser.isSet(kJson)) {
        context.printJson(object);
        return CliOk;
    }
    for (const QString& key :
         {QStringLiteral("udid"), QStringLiteral("name"), QStringLiteral("productType"),
          QStringLiteral("productVersion"), QStringLiteral("countryCode"), QStringLiteral("paired"),
          QStringLiteral("lineInstalled"), QStringLiteral("lineHome"), QStringLiteral("willEncrypt"),
          QStringLiteral("cloudBackupEnabled")}) {
        const QJsonValue value = object.value(key);
        context.out << key << ": " << (value.isBool() ? (value.toBool() ? "yes" : "no") : value.toString())
                    << "\n";
    }
    context.out.flush();
    return CliOk;
}

int backupCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("UDID"), QStringLiteral("The device."));
    parser.addOption({kOut, QStringLiteral("The folder that holds the device's backup folder <UDID>."),
                      QStringLiteral("DIR")});
    parser.addOption({kAllFiles, QStringLiteral("Keep every file the device sends (a complete backup).")});
    ConsoleDeviceDialogs::addTrustOption(parser);
    int exitCode = CliOk;
    if (!context.parse(
            parser,
            QStringLiteral("Takes a partial backup of the device into DIR/<UDID>: the device sends a "
                           "full backup, and only its metadata and LINE's files are written (the "
                           "others are listed in dname.sqlite). When DIR/<UDID> holds a finished "
                           "earlier one, the device sends only what changed. The result opens with "
                           "the backup commands."),
            exitCode))
        return exitCode;
    QString udid;
    int trustWait = 0;
    if (!takeUdid(context, parser, udid, exitCode))
        return exitCode;
    if (!parser.isSet(kOut)) {
        context.err << "error: give --out DIR\n";
        return CliUsage;
    }
    if (!ConsoleDeviceDialogs::trustWait(parser, context.err, trustWait))
        return CliUsage;
    const QDir root(QFileInfo(parser.value(kOut)).absoluteFilePath());
    const QDir folder(root.filePath(udid));
    // The job deletes what it cannot reuse: never a folder this program did not make.
    if (folder.exists() && !folder.isEmpty() &&
        !QFileInfo::exists(folder.filePath(QStringLiteral("dname.sqlite"))))
        return context.fail(
            QStringLiteral("%1 holds a backup this program did not make; choose another --out")
                .arg(QDir::toNativeSeparators(folder.path())));
    ConsoleDeviceDialogs dialogs(context.out, context.err, parser, trustWait);
    const PDeviceInfo device = connectDevice(dialogs, udid);
    if (!device)
        return CliFailed;
    IOSMobileBackupThread job(false, device, parser.isSet(kAllFiles), root, dialogs.progressForm());
    job.wantedApps << QStringLiteral("jp.naver.line");
    if (parser.isSet(kAllFiles)) {
        // Every app's containers too: with the system files, nothing is thrown away.
        for (const PlistCFType& app : browseUserApps(udid, {QStringLiteral("CFBundleIdentifier")}))
            job.wantedApps << app.value(QStringLiteral("CFBundleIdentifier")).getString();
    }
    QObject::connect(&job, &IOSMobileBackupThread::passcodeRequested,
                     [&dialogs](bool shown) { dialogs.passcodeNotice(shown); });
    dialogs.runJob(job);
    if (dialogs.lastJobExit() != CliOk)
        return dialogs.lastJobExit();
    context.out << QDir::toNativeSeparators(folder.absolutePath()) << "\n";
    context.out.flush();
    return CliOk;
}

int loadCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("UDID"), QStringLiteral("The device."));
    CliPassword::addOptions(parser);
    ConsoleDeviceDialogs::addTrustOption(parser);
    int exitCode = CliOk;
    if (!context.parse(
            parser,
            QStringLiteral("Takes LINE's data from the device: checks its backup settings, takes a "
                           "partial backup, unlocks it when encrypted and copies LINE's files into "
                           "the program's cache. Prints the LINE folder, which 'line chats' and "
                           "'line messages' read. ") +
                CliPassword::help(),
            exitCode))
        return exitCode;
    QString udid;
    int trustWait = 0;
    if (!takeUdid(context, parser, udid, exitCode))
        return exitCode;
    if (!ConsoleDeviceDialogs::trustWait(parser, context.err, trustWait))
        return CliUsage;
    ConsoleDeviceDialogs dialogs(context.out, context.err, parser, trustWait);
    DeviceLineLoad load(dialogs);
    const PDeviceInfo device = load.connect(udid);
    if (!device)
        return CliFailed;
    const int result = exitFor(load.loadLine(device));
    if (result != CliOk)
        return result;
    context.out << QDir::toNativeSeparators(lineCacheDir(*device)) << "\n";
    context.out.flush();
    return CliOk;
}

int restoreCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("UDID"), QStringLiteral("The device."));
    parser.addOption({kFrom, QStringLiteral("The folder that holds the backup folder <UDID> to restore."),
                      QStringLiteral("DIR")});
    parser.addOption(
        {kManifest,
         QStringLiteral("Send this file of the backup folder when the device asks for Manifest.db "
                        "(e.g. Manifest-line.db from 'backup prune')."),
         QStringLiteral("NAME")});
    CliPassword::addOptions(parser);
    ConsoleDeviceDialogs::addTrustOption(parser);
    int exitCode = CliOk;
    if (!context.parse(parser,
                       QStringLiteral("Restores the backup folder DIR/<UDID> onto the device, which then "
                                      "restarts. ") +
                           CliPassword::help(),
                       exitCode))
        return exitCode;
    QString udid;
    int trustWait = 0;
    if (!takeUdid(context, parser, udid, exitCode))
        return exitCode;
    if (!parser.isSet(kFrom)) {
        context.err << "error: give --from DIR\n";
        return CliUsage;
    }
    if (!ConsoleDeviceDialogs::trustWait(parser, context.err, trustWait))
        return CliUsage;
    const QString root = QFileInfo(parser.value(kFrom)).absoluteFilePath();
    const QDir folder(QDir(root).filePath(udid));
    const QString manifestName = parser.value(kManifest);
    if (!manifestName.isEmpty() &&
        (manifestName.contains(QLatin1Char('/')) || manifestName.contains(QLatin1Char('\\')) ||
         manifestName == QLatin1String("..") || !QFileInfo(folder.filePath(manifestName)).isFile()))
        return context.fail(QStringLiteral("there is no file %1 in %2")
                                .arg(manifestName, QDir::toNativeSeparators(folder.path())));
    QString password;
    try {
        BackupManifest backup(folder.path());
        backup.loadInfo();
        if (backup.isEncrypted()) {
            bool given = false;
            QString error;
            if (!CliPassword::read(parser, password, given, error))
                return context.fail(error);
            if (!given)
                return context.fail(QStringLiteral("the backup is encrypted. ") + CliPassword::help());
            if (!backup.unlock(password))
                return context.fail(QStringLiteral("wrong password for the backup %1").arg(backup.path()));
        }
    } catch (const std::exception& failure) {
        return context.fail(QString::fromUtf8(failure.what()));
    }
    ConsoleDeviceDialogs dialogs(context.out, context.err, parser, trustWait);
    const PDeviceInfo device = connectDevice(dialogs, udid);
    if (!device)
        return CliFailed;
    if (const auto refusal = checkDeviceBackupSettings(*device, true, false)) {
        dialogs.showRefusal(*refusal);
        return CliFailed;
    }
    const bool systemMode = DeviceRemoteOptions::systemMode();
    IOSMobileRestoreThread job(false, device, root, systemMode, dialogs.progressForm());
    if (systemMode)
        job.setRestoreSystemFiles(false);
    job.setPassword(password);
    job.setManifestDbSubstitute(manifestName);
    dialogs.runJob(job);
    if (dialogs.lastJobExit() != CliOk)
        return dialogs.lastJobExit();
    context.out << "restored " << QDir::toNativeSeparators(folder.absolutePath()) << " onto " << udid << "\n";
    context.out.flush();
    return CliOk;
}

const CliRegistration registration(
    QStringLiteral("device"),
    QStringLiteral("iPhones attached over USB: list, back up, load LINE's data, restore."),
    {
        {QString(), QStringLiteral("list"), QStringLiteral("List the attached iPhones."), listCommand},
        {QString(), QStringLiteral("info"), QStringLiteral("Show one device's values."), infoCommand},
        {QString(), QStringLiteral("backup"), QStringLiteral("Take a partial backup (LINE's files)."),
         backupCommand},
        {QString(), QStringLiteral("load"), QStringLiteral("Load LINE's data from the device."), loadCommand},
        {QString(), QStringLiteral("restore"), QStringLiteral("Restore a backup folder onto the device."),
         restoreCommand},
    });

} // namespace
