#pragma once

// Runs ferrowyn-cli (FERROWYN_CLI_EXE, defined by each test target) as a script would, and looks at what
// it leaves behind.
#include "TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;

    // One JSON object per line of standard output, as the --json listings print them.
    QList<QJsonObject> objects() const
    {
        QList<QJsonObject> list;
        for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
            list << document.object();
        }
        return list;
    }
};

inline CliRun runCli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(FERROWYN_CLI_EXE), args);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// How runCliWith starts the program besides its arguments.
struct CliSetup
{
    QString workingDirectory;
    QString standardOutputFile; // e.g. "/dev/full"
    QMap<QString, QString> environment;
};

inline CliRun runCliWith(const QStringList& args, const CliSetup& setup)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = setup.environment.cbegin(); it != setup.environment.cend(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    if (!setup.workingDirectory.isEmpty())
        process.setWorkingDirectory(setup.workingDirectory);
    if (!setup.standardOutputFile.isEmpty())
        process.setStandardOutputFile(setup.standardOutputFile);
    process.start(QStringLiteral(FERROWYN_CLI_EXE), args);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Runs ferrowyn-cli with FERROWYN_PAUSE_AT=point until it says it waits there, then presses Ctrl+C
// (SIGINT) interrupts times, lets it go on and returns how it ended. A second Ctrl+C ends the program at
// once, so with two the program dies where it waited; SIGINTs are sent until it does, since two sent at
// the same moment may arrive as one. interrupts 0: SIGKILL instead, a crash at that point.
inline CliRun interruptCliAt(const QString& point, const QStringList& args, int interrupts)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FERROWYN_PAUSE_AT"), point);
    process.setProcessEnvironment(environment);
    process.setReadChannel(QProcess::StandardError);
    process.start(QStringLiteral(FERROWYN_CLI_EXE), args);
    EXPECT_TRUE(process.waitForStarted(60000));
    const QByteArray expected = "paused at " + point.toUtf8() + "\n";
    QByteArray err;
    while (!err.contains(expected) && process.state() == QProcess::Running && process.waitForReadyRead(60000))
        err += process.readAllStandardError();
    EXPECT_TRUE(err.contains(expected)) << point.toStdString() << " not reached: " << err.toStdString();
    if (interrupts == 0) {
        process.kill();
    } else {
        ::kill(pid_t(process.processId()), SIGINT);
        for (int sent = 1; sent < interrupts || (interrupts > 1 && process.state() == QProcess::Running);) {
            ::kill(pid_t(process.processId()), SIGINT);
            ++sent;
            if (sent >= interrupts && process.waitForFinished(1000))
                break;
        }
        process.closeWriteChannel(); // the pause point goes on
    }
    process.waitForFinished(120000);
    CliRun run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(err + process.readAllStandardError())};
    return run;
}

// Every file below folder (hidden ones too) with the SHA-256 of its bytes.
inline QMap<QString, QByteArray> fileDigests(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, QCryptographicHash::hash(readFileBytes(path), QCryptographicHash::Sha256));
    }
    return files;
}
