#include "CliPassword.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace CliPassword {
namespace {

const QString kVariable = QStringLiteral("FERROWYN_BACKUP_PASSWORD");
const QString kStdin = QStringLiteral("password-stdin");
const QString kFile = QStringLiteral("password-file");

QString firstLine(QFile& input)
{
    return QString::fromUtf8(input.readLine()).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
}

} // namespace

void addOptions(QCommandLineParser& parser)
{
    parser.addOption(
        {kStdin, QStringLiteral("Read the backup password from the first line of standard input.")});
    parser.addOption({kFile, QStringLiteral("Read the backup password from the first line of FILE."),
                      QStringLiteral("FILE")});
}

QString help()
{
    return QStringLiteral(
               "An encrypted backup's password comes from --password-stdin, --password-file or the "
               "environment variable %1.")
        .arg(kVariable);
}

bool read(const QCommandLineParser& parser, QString& password, bool& given, QString& error)
{
    given = true;
    if (parser.isSet(kStdin)) {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read the password from standard input");
            return false;
        }
        password = firstLine(input);
        return true;
    }
    if (parser.isSet(kFile)) {
        QFile input(parser.value(kFile));
        if (!input.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read the password file %1: %2")
                        .arg(QDir::toNativeSeparators(input.fileName()), input.errorString());
            return false;
        }
        password = firstLine(input);
        return true;
    }
    if (qEnvironmentVariableIsSet(qPrintable(kVariable))) {
        password = qEnvironmentVariable(qPrintable(kVariable));
        return true;
    }
    given = false;
    return true;
}

} // namespace CliPassword
