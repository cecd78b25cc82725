#pragma once

#include <QCommandLineParser>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <atomic>
#include <functional>

class JobControl;
class QDateTime;

// Exit codes of ferrowyn-cli.
enum CliExit
{
    CliOk = 0,
    CliFailed = 1,      // the operation failed; the reason is on standard error
    CliUsage = 2,       // wrong arguments
    CliCancelled = 130, // interrupted by the user (Ctrl+C), as shells report a SIGINT
};

// How a command shows what it is doing, on standard error.
enum class CliProgress
{
    Hidden, // nothing: the default off a terminal, and --quiet
    Bar,    // one line redrawn in place: the default on a terminal
    Lines,  // a line per new headline or percentage: --progress off a terminal
};

// What a command sees: its own arguments (the first is "ferrowyn-cli group command"), the streams and the
// interrupt (Ctrl+C) of the whole command.
class CliContext
{
public:
    // interrupted: set by Ctrl+C while the command runs (main catches the interrupt for the whole
    // command); null for a context of its own that is never interrupted.
    CliContext(QStringList args, QTextStream& out, QTextStream& err,
               std::atomic<bool>* interrupted = nullptr);

    // Parses args with --help, --quiet and --progress added. Prints help (returning CliOk in exitCode) or
    // the error (CliUsage) and returns false when the command should stop.
    bool parse(QCommandLineParser& parser, const QString& description, int& exitCode);

    // One JSON object on one line.
    void printJson(const QJsonObject& object);
    // "error: text" on standard error; returns CliFailed.
    int fail(const QString& text);
    // "cancelled" on standard error; returns CliCancelled.
    int cancelled();

    // Whether the user pressed Ctrl+C since the command started.
    bool interrupted() const { return m_interrupted->load(); }
    std::atomic<bool>& interruptFlag() const { return *m_interrupted; }

    // Chosen by parse(): --quiet hides progress, --progress shows it on any output, otherwise it shows on
    // a terminal only.
    CliProgress progress() const { return m_progress; }
    // A line saying what the command is busy with ("Unlocking backup..."), shown like progress.
    void note(const QString& text);
    // For work done outside a job: cancelled by Ctrl+C, its headlines shown as notes.
    JobControl control();

    QStringList args;
    QTextStream& out;
    QTextStream& err;

private:
    std::atomic<bool> m_neverInterrupted = false;
    std::atomic<bool>* m_interrupted;
    CliProgress m_progress = CliProgress::Hidden;
};

// "2015-03-01T10:00:00+09:00": a time for scripts, with its offset from UTC so it means the same under any
// time zone; empty for an invalid time.
QString cliTime(const QDateTime& time);

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
