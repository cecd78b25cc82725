#include "CliCommand.h"

#include <QJsonDocument>

bool CliContext::parse(QCommandLineParser& parser, const QString& description, int& exitCode)
{
    parser.setApplicationDescription(description);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    if (!parser.parse(args)) {
        err << "error: " << parser.errorText() << "\n";
        err << "Run '" << args.value(0) << " --help' for the options.\n";
        err.flush();
        exitCode = CliUsage;
        return false;
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        // QCommandLineParser names the program by its file; show the whole command instead.
        text.replace(QStringLiteral("Usage: ferrowyn-cli"), QStringLiteral("Usage: ") + args.value(0));
        out << text;
        out.flush();
        exitCode = CliOk;
        return false;
    }
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
