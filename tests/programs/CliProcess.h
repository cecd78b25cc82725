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
