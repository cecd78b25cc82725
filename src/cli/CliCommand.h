#pragma once

#include <QCommandLineParser>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

// Exit codes of ferrowyn-cli.
enum CliExit
{
    CliOk = 0,
    CliFailed = 1,      // the operation failed; the reason is on standard error
    CliUsage = 2,       // wrong arguments
    CliCancelled = 130, // interrupted by the user (Ctrl+C), as shells report a SIGINT
};

// What a command sees: its own arguments (the first is "ferrowyn-cli group command") and the streams.
class CliContext
{
public:
    CliContext(QStringList args, QTextStream& out, QTextStream& err)
        : args(std::move(args)), out(out), err(err)
    {
    }

    // Parses args with --help added. Prints help (returning CliOk in exitCode) or the error (CliUsage) and
    // returns false when the command should stop.
    bool parse(QCommandLineParser& parser, const QString& description, int& exitCode);

    // One JSON object on one line.
    void printJson(const QJsonObject& object);
    // "error: text" on standard error; returns CliFailed.
    int fail(const QString& text);

    QStringList args;
    QTextStream& out;
    QTextStream& err;
};

struct CliCommand
{
    QString group;
    QString name;
    QString summary;
    std::function<int(CliContext&)> run;
};

// Every command of the program, gathered by CliRegistration objects at start-up.
class CliRegistry
{
public:
    static CliRegistry& instance();
    void add(CliCommand command);
    const QList<CliCommand>& commands() const { return m_commands; }
    QStringList groups() const;
    QString groupSummary(const QString& group) const;
    void setGroupSummary(const QString& group, const QString& summary);

private:
    QList<CliCommand> m_commands;
    QList<QPair<QString, QString>> m_groupSummaries;
};

// Registers a group's commands from a static object in the group's source file.
struct CliRegistration
{
    CliRegistration(const QString& group, const QString& groupSummary, QList<CliCommand> commands);
};
