#pragma once

#include <QString>

class CliContext;
class QCommandLineParser;

// LINE's data loaded before a command reads it: from an attached iPhone ("--device UDID", as 'device load'
// does) or from an iTunes/Finder backup folder ("--backup DIR", only read), with the password and trust
// options those take. The commands that read LINE's store offer these beside their own sources.
namespace CliLineLoad {

// insteadOf names what the options replace in the help ("APP_ROOT", "--line or --localdb").
void addOptions(QCommandLineParser& parser, const QString& insteadOf);

// Whether --device or --backup was given; both at once is a usage error of the caller.
bool isSet(const QCommandLineParser& parser);
bool bothSet(const QCommandLineParser& parser);

// Loads what the options name and returns LINE's app folder in the program's cache, or an empty text with
// exitCode set after the reason was printed.
QString load(CliContext& context, const QCommandLineParser& parser, int& exitCode);

} // namespace CliLineLoad
