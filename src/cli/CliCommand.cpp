#include "CliCommand.h"

#include "app/JobControl.h"
#include "platform/Console.h"

#include <QDateTime>
#include <QJsonDocument>

namespace {
const QString kQuiet = QStringLiteral("quiet");
const QString kProgress = QStringLiteral("progress");

// QCommandLineParser names the program as it was started (often a whole path) and knows nothing of the
// group and command: the first line becomes "Usage: ferrowyn-cli group command [options] ARGS".
QString withCommandInUsage(QString help, const QString& command)
{
    const QString usage = QStringLiteral("Usage: ");
    if (!help.startsWith(usage))
        return help;
    const qsizetype lineEnd = help.indexOf(QLatin1Char('\n'));
    const qsizetype options = help.indexOf(QStringLiteral(" [options]"));
    const qsizetype end = options >= 0 && (lineEnd < 0 || options < lineEnd) ? options : lineEnd;
    if (end < 0)
        return help;
    return usage + command + help.mid(end);
}
} // namespace

CliContext::CliContext(QStringList args, QTextStream& out, QTextStream& err, std::atomic<bool>* interrupted)
    : args(std::move(args)), out(out), err(err),
      m_interrupted(interrupted ? interrupted : &m_neverInterrupted)
{
}

bool CliContext::parse(QCommandLineParser& parser, const QString& description, int& exitCode)
{
    parser.setApplicationDescription(description);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    parser.addOption({kQuiet, QStringLiteral("Show no progress.")});
    parser.addOption({kProgress, QStringLiteral("Show progress on standard error even when it is not a "
                                                "terminal (one line per step there).")});
    if (!parser.parse(args)) {
        err << "error: " << parser.errorText() << "\n";
        err << "Run '" << args.value(0) << " --help' for the options.\n";
        err.flush();
        exitCode = CliUsage;
        return false;
    }
    if (parser.isSet(help)) {
        out << withCommandInUsage(parser.helpText(), args.value(0));
        out.flush();
        exitCode = CliOk;
        return false;
    }
    if (parser.isSet(kQuiet) && parser.isSet(kProgress)) {
        err << "error: --quiet and --progress exclude each other\n";
        err.flush();
        exitCode = CliUsage;
        return false;
    }
    const bool terminal = standardErrorIsTerminal();
    if (parser.isSet(kQuiet))
        m_progress = CliProgress::Hidden;
    else if (terminal)
        m_progress = CliProgress::Bar;
    else
        m_progress = parser.isSet(kProgress) ? CliProgress::Lines : CliProgress::Hidden;
    return true;
}

void CliContext::printJson(const QJsonObject& object)
{
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << "\n";
}

int CliContext::fail(const QString& text)
{
    out.flush();
    err << "error: " << text << "\n";
    err.flush();
    return CliFailed;
}

int CliContext::cancelled()
{
    out.flush();
    err << "cancelled\n";
    err.flush();
    return CliCancelled;
}

void CliContext::note(const QString& text)
{
    if (m_progress == CliProgress::Hidden || text.isEmpty())
        return;
    err << text << "\n";
    err.flush();
}

JobControl CliContext::control()
{
    JobControl::Listener listener;
    listener.status = [this](const QString& status, int) { note(status); };
    listener.cancelled = [flag = m_interrupted] { return flag->load(); };
    return JobControl(std::move(listener));
}

QString cliTime(const QDateTime& time)
{
    if (!time.isValid())
        return QString();
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

CliRegistry& CliRegistry::instance()
{
    static CliRegistry registry;
    return registry;
}

void CliRegistry::add(CliCommand command)
{
    m_commands.append(std::move(command));
}

QStringList CliRegistry::groups() const
{
    QStringList names;
    for (const CliCommand& command : m_commands) {
        if (!names.contains(command.group))
            names << command.group;
    }
    names.sort();
    return names;
}

QString CliRegistry::groupSummary(const QString& group) const
{
    for (const auto& [name, summary] : m_groupSummaries) {
        if (name == group)
            return summary;
    }
    return {};
}

void CliRegistry::setGroupSummary(const QString& group, const QString& summary)
{
    m_groupSummaries.append({group, summary});
}

CliRegistration::CliRegistration(const QString& group, const QString& groupSummary,
                                 QList<CliCommand> commands)
{
    CliRegistry& registry = CliRegistry::instance();
    registry.setGroupSummary(group, groupSummary);
    for (CliCommand& command : commands) {
        command.group = group;
        registry.add(std::move(command));
    }
}
