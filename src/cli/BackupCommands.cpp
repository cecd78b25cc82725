// ferrowyn-cli backup: list, describe, read and change device backups on this computer.
#include "CliCommand.h"
#include "CliPassword.h"
#include "ConsoleJobReporter.h"

#include "backup/BackupDiscovery.h"
#include "backup/BackupManifest.h"
#include "backup/BackupPaths.h"
#include "jobs/IOSMergeWAFiles2iTunesBKThread.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <cstdio>
#include <exception>

namespace {

const QCommandLineOption JsonOption(QStringLiteral("json"), QStringLiteral("One JSON object per line."));
const QCommandLineOption DomainOption(QStringLiteral("domain"), QStringLiteral("The backup domain."),
                                      QStringLiteral("DOMAIN"));

QJsonObject backupJson(const BackupManifest& backup)
{
    return QJsonObject{
        {QStringLiteral("path"), backup.path()},
        {QStringLiteral("backupId"), backup.backupId()},
        {QStringLiteral("udid"), backup.udid()},
        {QStringLiteral("deviceName"), backup.deviceName()},
        {QStringLiteral("displayName"), backup.displayName()},
        {QStringLiteral("productType"), backup.productType()},
        {QStringLiteral("productVersion"), backup.productVersion()},
        {QStringLiteral("serialNumber"), backup.serialNumber()},
        {QStringLiteral("backupDate"), cliTime(backup.backupDate())},
        {QStringLiteral("isEncrypted"), backup.isEncrypted()},
    };
}

QJsonObject recordJson(const QString& fileId, const BackupFileRecord& record)
{
    return QJsonObject{
        {QStringLiteral("fileId"), fileId},
        {QStringLiteral("domain"), record.domain.text()},
        {QStringLiteral("relativePath"), record.relativePath.text()},
        {QStringLiteral("size"), static_cast<qint64>(record.size)},
        {QStringLiteral("mode"), record.mode},
        {QStringLiteral("isDirectory"), record.isDirectory()},
        {QStringLiteral("protectionClass"), record.protectionClass},
        {QStringLiteral("lastModified"),
         cliTime(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(record.lastModified)))},
    };
}

// Opens the backup folder given as the one positional argument, unlocking it when it is encrypted.
// Returns null after printing the reason.
PBackupManifest openBackup(CliContext& context, const QCommandLineParser& parser, bool needsKeys,
                           int& exitCode)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        context.err << "error: give one backup folder\n";
        context.err.flush();
        exitCode = CliUsage;
        return nullptr;
    }
    auto backup = std::make_shared<BackupManifest>(positional.first());
    try {
        backup->loadInfo();
        if (needsKeys && backup->isEncrypted()) {
            QString password;
            bool given = false;
            QString error;
            if (!CliPassword::read(parser, password, given, error)) {
                exitCode = context.fail(error);
                return nullptr;
            }
            if (!given) {
                exitCode = context.fail(QStringLiteral("the backup is encrypted. ") + CliPassword::help());
                return nullptr;
            }
            context.note(QStringLiteral("Unlocking backup..."));
            if (!backup->unlock(password)) {
                exitCode =
                    context.fail(QStringLiteral("wrong password for the backup %1").arg(backup->path()));
                return nullptr;
            }
            if (context.interrupted()) {
                exitCode = context.cancelled();
                return nullptr;
            }
        }
    } catch (const std::exception& error) {
        exitCode = context.fail(QString::fromUtf8(error.what()));
        return nullptr;
    }
    return backup;
}

void addPasswordOptions(QCommandLineParser& parser)
{
    CliPassword::addOptions(parser);
}

int listCommand(CliContext& context)
{
    QCommandLineParser parser;
    const QCommandLineOption root(
        QStringLiteral("root"),
        QStringLiteral("Search this folder instead of the usual places (repeatable)."),
        QStringLiteral("DIR"));
    parser.addOption(root);
    parser.addOption(JsonOption);
    int exitCode = CliOk;
    QStringList usual;
    for (const QDir& folder : BackupDiscovery::backupRoots())
        usual << QDir::toNativeSeparators(folder.absolutePath());
    if (!context.parse(parser,
                       QStringLiteral("Lists the device backups in %1, or in the folders given by --root.")
                           .arg(usual.join(QStringLiteral(", "))),
                       exitCode))
        return exitCode;
    QList<QDir> roots;
    for (const QString& folder : parser.values(root)) {
        // A folder the user names must be there; the usual places may well be missing.
        if (!QFileInfo(folder).isDir())
            return context.fail(QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(folder)));
        roots.append(QDir(folder));
    }
    if (roots.isEmpty())
        roots = BackupDiscovery::backupRoots();
    const BackupDiscovery::Listing listing = BackupDiscovery::listBackups(roots);
    for (const BackupDiscovery::Failure& failure : listing.failures)
        context.err << "warning: cannot read the backup " << QDir::toNativeSeparators(failure.path) << ": "
                    << failure.error << "\n";
    if (listing.backups.isEmpty()) {
        QStringList places;
        for (const QDir& folder : std::as_const(roots))
            places << QDir::toNativeSeparators(folder.absolutePath()) +
                          (folder.exists() ? QString() : QStringLiteral(" (missing)"));
        context.err << "no device backups in " << places.join(QStringLiteral(", ")) << "\n";
    }
    context.err.flush();
    for (const PBackupManifest& backup : listing.backups) {
        if (parser.isSet(JsonOption)) {
            context.printJson(backupJson(*backup));
            continue;
        }
        context.out << backup->displayName() << "\t" << backup->backupDate().toString(Qt::ISODate) << "\t"
                    << (backup->isEncrypted() ? "encrypted" : "plain") << "\t" << backup->path() << "\n";
    }
    return CliOk;
}

int infoCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("BACKUP_DIR"), QStringLiteral("The backup folder."));
    parser.addOption(JsonOption);
    int exitCode = CliOk;
    if (!context.parse(parser, QStringLiteral("Shows a backup's metadata."), exitCode))
        return exitCode;
    const PBackupManifest backup = openBackup(context, parser, false, exitCode);
    if (!backup)
        return exitCode;
    const QJsonObject object = backupJson(*backup);
    if (parser.isSet(JsonOption)) {
        context.printJson(object);
        return CliOk;
    }
    for (const QString& key :
         {QStringLiteral("displayName"), QStringLiteral("deviceName"), QStringLiteral("udid"),
          QStringLiteral("productType"), QStringLiteral("productVersion"), QStringLiteral("serialNumber"),
          QStringLiteral("backupDate"), QStringLiteral("isEncrypted"), QStringLiteral("backupId"),
          QStringLiteral("path")}) {
        const QJsonValue value = object.value(key);
        context.out << key << ": " << (value.isBool() ? (value.toBool() ? "yes" : "no") : value.toString())
                    << "\n";
    }
    return CliOk;
}

// Records of one domain (all when domain is empty), by domain and path.
QList<QPair<QString, BackupFileRecord>> selectRecords(const FileRecordSet& set, const QString& domain)
{
    QList<QPair<QString, BackupFileRecord>> selected;
    for (auto it = set.records.cbegin(); it != set.records.cend(); ++it) {
        if (domain.isEmpty() || it->domain.text() == domain)
            selected.append({it.key(), it.value()});
    }
    std::sort(selected.begin(), selected.end(), [](const auto& a, const auto& b) {
        if (a.second.domain.bytes != b.second.domain.bytes)
            return a.second.domain.bytes < b.second.domain.bytes;
        return a.second.relativePath.bytes < b.second.relativePath.bytes;
    });
    return selected;
}

// Empty when the set holds records of the domain (or no domain was asked for); else why not, naming a
// domain that differs only in letter case, since domains are compared exactly.
QString missingDomain(const FileRecordSet& set, const QString& domain)
{
    if (domain.isEmpty())
        return QString();
    QString other;
    for (const BackupFileRecord& record : set.records) {
        const QString name = record.domain.text();
        if (name == domain)
            return QString();
        if (other.isEmpty() && name.compare(domain, Qt::CaseInsensitive) == 0)
            other = name;
    }
    QString text = QStringLiteral("the backup has no files in the domain '%1'").arg(domain);
    if (!other.isEmpty())
        text += QStringLiteral(" (domains are case-sensitive: did you mean '%1'?)").arg(other);
    return text;
}

int filesCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("BACKUP_DIR"), QStringLiteral("The backup folder."));
    parser.addOption(DomainOption);
    parser.addOption(JsonOption);
    addPasswordOptions(parser);
    int exitCode = CliOk;
    if (!context.parse(parser, QStringLiteral("Lists a backup's file records. ") + CliPassword::help(),
                       exitCode))
        return exitCode;
    const PBackupManifest backup = openBackup(context, parser, true, exitCode);
    if (!backup)
        return exitCode;
    try {
        const FileRecordSet set = backup->loadRecords();
        const QString missing = missingDomain(set, parser.value(DomainOption));
        if (!missing.isEmpty())
            return context.fail(missing);
        for (const auto& [fileId, record] : selectRecords(set, parser.value(DomainOption))) {
            if (context.interrupted())
                return context.cancelled();
            if (parser.isSet(JsonOption)) {
                context.printJson(recordJson(fileId, record));
                continue;
            }
            context.out << fileId << "\t" << QString::number(record.mode, 8) << "\t" << record.size << "\t"
                        << record.domain.text() << "\t" << record.relativePath.text() << "\n";
        }
    } catch (const std::exception& error) {
        return context.fail(QString::fromUtf8(error.what()));
    }
    return CliOk;
}

int extractCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("BACKUP_DIR"), QStringLiteral("The backup folder."));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("The folder to copy into."),
                                 QStringLiteral("DIR"));
    parser.addOption(DomainOption);
    parser.addOption(out);
    addPasswordOptions(parser);
    int exitCode = CliOk;
    if (!context.parse(
            parser,
            QStringLiteral("Copies a domain's files out of a backup (decrypting them), keeping their "
                           "relative paths. ") +
                CliPassword::help(),
            exitCode))
        return exitCode;
    if (!parser.isSet(DomainOption) || !parser.isSet(out)) {
        context.err << "error: --domain and --out are required\n";
        return CliUsage;
    }
    if (parser.value(out) == QLatin1String("-")) {
        context.err << "error: --out names a folder; standard output cannot take a domain's files\n";
        return CliUsage;
    }
    const PBackupManifest backup = openBackup(context, parser, true, exitCode);
    if (!backup)
        return exitCode;
    const QDir root(parser.value(out));
    int copied = 0;
    int refused = 0;
    int missing = 0;
    try {
        const FileRecordSet set = backup->loadRecords();
        const QString missingText = missingDomain(set, parser.value(DomainOption));
        if (!missingText.isEmpty())
            return context.fail(missingText);
        for (const auto& [fileId, record] : selectRecords(set, parser.value(DomainOption))) {
            if (context.interrupted())
                return context.cancelled();
            const QString destination = BackupPaths::destinationFor(root, record.relativePath.text());
            if (destination.isEmpty()) {
                context.err << "error: refused the unsafe path " << record.relativePath.text() << "\n";
                ++refused;
                continue;
            }
            if (record.isDirectory()) {
                QDir().mkpath(destination);
            } else if (record.isSymlink()) {
                context.err << "warning: skipped the link " << record.relativePath.text() << "\n";
            } else if (!QFileInfo::exists(backup->contentPath(fileId))) {
                // Devices store no content for some files; an empty one is still an empty file.
                if (record.size == 0) {
                    QDir().mkpath(QFileInfo(destination).absolutePath());
                    QFile empty(destination);
                    if (!empty.open(QIODevice::WriteOnly))
                        return context.fail(
                            QStringLiteral("cannot create %1: %2")
                                .arg(QDir::toNativeSeparators(destination), empty.errorString()));
                    ++copied;
                } else {
                    context.err << "error: the backup holds no content for " << record.relativePath.text()
                                << "\n";
                    ++missing;
                }
            } else {
                backup->copyItem(record, destination);
                ++copied;
            }
        }
    } catch (const std::exception& error) {
        return context.fail(QString::fromUtf8(error.what()));
    }
    context.out << "copied " << copied << " files to " << root.absolutePath() << "\n";
    if (refused > 0 || missing > 0)
        return context.fail(
            QStringLiteral("%1 unsafe paths were refused, %2 files have no content in the backup")
                .arg(refused)
                .arg(missing));
    return CliOk;
}

int putCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("BACKUP_DIR"), QStringLiteral("The backup folder."));
    const QCommandLineOption path(
        QStringLiteral("path"), QStringLiteral("The file's path inside the domain."), QStringLiteral("REL"));
    const QCommandLineOption file(QStringLiteral("file"), QStringLiteral("The local file to put in."),
                                  QStringLiteral("LOCAL"));
    const QCommandLineOption overwrite(QStringLiteral("overwrite"),
                                       QStringLiteral("Replace the content already in the backup."));
    const QCommandLineOption classD(
        QStringLiteral("class-d"),
        QStringLiteral("Data-protection class 4 (else 3) in an encrypted backup."));
    parser.addOptions({DomainOption, path, file, overwrite, classD});
    addPasswordOptions(parser);
    int exitCode = CliOk;
    if (!context.parse(parser, QStringLiteral("Puts a local file into a backup. ") + CliPassword::help(),
                       exitCode))
        return exitCode;
    if (!parser.isSet(DomainOption) || !parser.isSet(path) || !parser.isSet(file)) {
        context.err << "error: --domain, --path and --file are required\n";
        return CliUsage;
    }
    if (!QFileInfo(parser.value(file)).isFile())
        return context.fail(QStringLiteral("%1 is not a file").arg(parser.value(file)));
    const PBackupManifest backup = openBackup(context, parser, true, exitCode);
    if (!backup)
        return exitCode;
    MergeItem item;
    item.domain = parser.value(DomainOption);
    item.relativePath = parser.value(path);
    item.localPath = QFileInfo(parser.value(file)).absoluteFilePath();
    item.overwrite = parser.isSet(overwrite);
    item.classD = parser.isSet(classD);
    const QString fileId = BackupManifest::fileId(item.domain, item.relativePath);
    if (!item.overwrite) {
        // Without --overwrite the content already there is kept: that is no "put".
        try {
            if (backup->loadRecords().records.contains(fileId))
                return context.fail(
                    QStringLiteral("%1 %2 is already in the backup and was kept as it is; give "
                                   "--overwrite to replace it")
                        .arg(item.domain, item.relativePath));
        } catch (const std::exception& error) {
            return context.fail(QString::fromUtf8(error.what()));
        }
    }
    ConsoleJobReporter reporter(context);
    IOSMergeWAFiles2iTunesBKThread job(backup.get(), {item}, &reporter);
    const int result = reporter.run(job);
    if (result != CliOk)
        return result;
    context.out << "put " << item.domain << " " << item.relativePath << " (" << fileId << ")\n";
    return CliOk;
}

int pruneCommand(CliContext& context)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("BACKUP_DIR"), QStringLiteral("The backup folder."));
    const QCommandLineOption keep(QStringLiteral("keep"), QStringLiteral("A domain to keep (repeatable)."),
                                  QStringLiteral("DOMAIN"));
    const QCommandLineOption keepOthers(QStringLiteral("keep-other-domains"),
                                        QStringLiteral("Keep system domains and Apple's apps too."));
    const QCommandLineOption out(
        QStringLiteral("out"),
        QStringLiteral("The reduced manifest (default: Manifest-line.db in the backup)."),
        QStringLiteral("FILE"));
    parser.addOptions({keep, keepOthers, out});
    addPasswordOptions(parser);
    int exitCode = CliOk;
    if (!context.parse(parser, QStringLiteral("Writes a reduced copy of Manifest.db. ") + CliPassword::help(),
                       exitCode))
        return exitCode;
    if (!parser.isSet(keep)) {
        context.err << "error: give at least one --keep DOMAIN\n";
        return CliUsage;
    }
    if (parser.value(out) == QLatin1String("-")) {
        context.err << "error: --out names the reduced manifest, a database built in place; give a file\n";
        return CliUsage;
    }
    const PBackupManifest backup = openBackup(context, parser, true, exitCode);
    if (!backup)
        return exitCode;
    const QString destination = parser.isSet(out)
                                    ? QFileInfo(parser.value(out)).absoluteFilePath()
                                    : backup->folder().filePath(QStringLiteral("Manifest-line.db"));
    const QStringList domains = parser.values(keep);
    try {
        backup->pruneManifest(destination, parser.isSet(keepOthers),
                              QSet<QString>(domains.cbegin(), domains.cend()));
    } catch (const std::exception& error) {
        return context.fail(QString::fromUtf8(error.what()));
    }
    context.out << "wrote " << destination << "\n";
    return CliOk;
}

const CliRegistration registration(
    QStringLiteral("backup"), QStringLiteral("Device backups made by iTunes or Finder: list, read, change."),
    {
        {QString(), QStringLiteral("list"), QStringLiteral("List the backups on this computer."),
         listCommand},
        {QString(), QStringLiteral("info"), QStringLiteral("Show one backup's metadata."), infoCommand},
        {QString(), QStringLiteral("files"), QStringLiteral("List a backup's file records."), filesCommand},
        {QString(), QStringLiteral("extract"), QStringLiteral("Copy a domain's files out of a backup."),
         extractCommand},
        {QString(), QStringLiteral("put"), QStringLiteral("Put a local file into a backup."), putCommand},
        {QString(), QStringLiteral("prune"), QStringLiteral("Write a reduced manifest."), pruneCommand},
    });

} // namespace
