#pragma once

#include "RecordingProgressForm.h"
#include "jobs/ExportMessagesThread.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Installs the English translation once, as the program does at start, so that the IDS_ keys read as
// their English texts.
void useEnglishTexts();

// Runs an export job to its end and delivers its queued reports to the form.
inline void runExport(ExportMessagesThread& job)
{
    job.start();
    job.wait();
    QCoreApplication::processEvents();
}

// Every file below folder, as paths relative to it, sorted.
inline QStringList filesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Compares output with tests/export/data/<name>. On a difference the actual output is written to
// <build>/test-artifacts/<name>.actual for a diff.
void expectGolden(const QByteArray& actual, const QString& name);

// A progress form that reports "cancelled" once the job asked this many times.
class CancellingForm : public RecordingProgressForm
{
    Q_OBJECT

public:
    explicit CancellingForm(int allowedChecks) : m_allowedChecks(allowedChecks) {}
    Q_INVOKABLE bool isCancelled() const { return m_checks.fetch_add(1) >= m_allowedChecks; }

private:
    int m_allowedChecks;
    mutable std::atomic<int> m_checks = 0;
};
