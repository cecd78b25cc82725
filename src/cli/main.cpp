#include "CliCommand.h"

#include "app/AppInfo.h"
#include "jobs/OnlineRemoteOptions.h"
#include "online/HttpLibrary.h"
#include "platform/LocalTimeZone.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {
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

int dispatch(QStringList args, QTextStream& out, QTextStream& err)
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
        CliContext context(args, out, err);
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
    CliContext context(args, out, err);
    return command->run(context);
}
} // namespace

int main(int argc, char* argv[])
{
    pinLocalTimeZone();
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
    initHttpLibrary();
    useOnlineRemoteOptions();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int code = dispatch(args, out, err);
    out.flush();
    err.flush();
    return code;
}
