#include "CliCommand.h"

#include "app/AppDirs.h"
#include "app/AppInfo.h"
#include "app/Log.h"
#include "jobs/OnlineRemoteOptions.h"
#include "online/HttpLibrary.h"
#include "platform/AppLanguage.h"
#include "platform/Console.h"
#include "platform/LocalTimeZone.h"
#include "platform/RoamingFolder.h"

#include <QDir>
#include <QFileDevice>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {
constexpr int kLogFilesKept = 10;

void printOverview(QTextStream& out)
{
    out << "Usage: ferrowyn-cli <group> <command> [options]\n"
           "       ferrowyn-cli help [group [command]]\n"
           "       ferrowyn-cli --version\n\n"
           "Reads LINE chat history from iPhone backups, LINE app folders and local message databases.\n"
           "Every group and command takes --help; listing commands take --json (one object per line).\n";
    const CliRegistry& registry = CliRegistry::instance();
    if (!registry.groups().isEmpty())
        out << "\nGroups:\n";
    for (const QString& group : registry.groups())
        out << "  " << group.leftJustified(10) << " " << registry.groupSummary(group) << "\n";
}

void printGroup(QTextStream& out, const QString& group)
{
    const CliRegistry& registry = CliRegistry::instance();
    out << "Usage: ferrowyn-cli " << group << " <command> [options]\n\n"
        << registry.groupSummary(group) << "\n\nCommands:\n";
    for (const CliCommand& command : registry.commands()) {
        if (command.group == group)
            out << "  " << command.name.leftJustified(10) << " " << command.summary << "\n";
    }
}

const CliCommand* findCommand(const QString& group, const QString& name)
{
    for (const CliCommand& command : CliRegistry::instance().commands()) {
        if (command.group == group && command.name == name)
            return &command;
    }
    return nullptr;
}

bool isHelp(const QString& arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h") || arg == QLatin1String("help");
}

int dispatch(QStringList args, QTextStream& out, QTextStream& err, std::atomic<bool>& interrupted)
{
    if (args.isEmpty()) {
        printOverview(err);
        return CliUsage;
    }
    if (args.first() == QLatin1String("--version") || args.first() == QLatin1String("version")) {
        out << "ferrowyn-cli " << AppInfo::version << "\n";
        return CliOk;
    }
    bool helpRequested = false;
    if (isHelp(args.first())) {
        helpRequested = true;
        args.removeFirst();
        if (args.isEmpty()) {
            printOverview(out);
            return CliOk;
        }
    }
    const QString group = args.takeFirst();
    if (!CliRegistry::instance().groups().contains(group)) {
        err << "error: unknown group '" << group << "'\n\n";
        printOverview(err);
        return CliUsage;
    }
    if (const CliCommand* whole = findCommand(group, QString())) {
        // A group that is one command: everything after the group's name is the command's.
        if (helpRequested)
            args.prepend(QStringLiteral("--help"));
        args.prepend(QStringLiteral("ferrowyn-cli %1").arg(group));
        CliContext context(args, out, err, &interrupted);
        return whole->run(context);
    }
    if (args.isEmpty() || isHelp(args.first())) {
        printGroup(args.isEmpty() && !helpRequested ? err : out, group);
        return args.isEmpty() && !helpRequested ? CliUsage : CliOk;
    }
    const QString name = args.takeFirst();
    const CliCommand* command = findCommand(group, name);
    if (!command) {
        err << "error: unknown command '" << group << " " << name << "'\n\n";
        printGroup(err, group);
        return CliUsage;
    }
    if (helpRequested)
        args.prepend(QStringLiteral("--help"));
    args.prepend(QStringLiteral("ferrowyn-cli %1 %2").arg(group, name));
    CliContext context(args, out, err, &interrupted);
    return command->run(context);
}
} // namespace

int main(int argc, char* argv[])
{
    pinLocalTimeZone();
    // Diagnostics go to the daily log, Qt's own from the start (the GUI application warns while it starts):
    // standard output and error belong to the commands. The folder is made only when something is logged.
    startLog(QDir(dataDirPathFor(roamingDir())).filePath(QStringLiteral("qlogs")), kLogFilesKept,
             LogEcho::None);
    // PDF pages are painted with fonts and pictures, which needs a GUI application: the export command
    // gets one on Qt's offscreen platform (no window, no display needed); the others stay plain.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && qstrcmp(argv[1], "export") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("ferrowyn-cli"));
    QCoreApplication::setApplicationVersion(AppInfo::version);
    // Texts of the libraries (job results, errors) in the user's language.
    setAppLanguage(QString());
    initHttpLibrary();
    useOnlineRemoteOptions();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    // Ctrl+C during any part of a command (copying a store, unlocking a backup, a job) asks it to stop at a
    // safe point; a second one ends the program.
    std::atomic<bool> interrupted = false;
    const InterruptCatcher interrupt(interrupted);
    int code = dispatch(args, out, err, interrupted);
    out.flush();
    // A full disk or a closed pipe must not pass for success.
    const bool written = out.status() == QTextStream::Ok && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!written) {
        const auto* device = qobject_cast<QFileDevice*>(out.device());
        err << "error: cannot write to standard output"
            << (device && !device->errorString().isEmpty() ? QStringLiteral(": ") + device->errorString()
                                                           : QString())
            << "\n";
        if (code == CliOk)
            code = CliFailed;
    }
    err.flush();
    return code;
}
