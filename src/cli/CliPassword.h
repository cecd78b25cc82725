#pragma once

#include <QString>

class QCommandLineParser;

// Backup passwords on the command line: --password-stdin, --password-file FILE or the environment
// variable FERROWYN_BACKUP_PASSWORD, in that order. Shared by the command groups that read encrypted
// backups.
namespace CliPassword {

void addOptions(QCommandLineParser& parser);
// "An encrypted backup's password comes from ..." for the commands' help.
QString help();

// Reads the password from the first source given. given is false when none was; false with error set
// when a source cannot be read.
bool read(const QCommandLineParser& parser, QString& password, bool& given, QString& error);

} // namespace CliPassword
