#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QCoreApplication>
#include <QStringList>

class ExportOutputLog;
class JobControl;

// Writes messages as PDF files into a folder: each chat on its own, in files of at most 100 A4 pages
// named after the chat ("<chat file name>.pdf", then "<chat file name with 2>.pdf" and so on), whose page
// numbers go on from one file to the next (the second file starts at 101). The pages are those of
// printing (PrintLineMsgsExec). Runs on the thread that calls it, with no window: a program with a
// window calls it on its GUI thread and processes events when the control is asked about a cancel. What
// it writes appears under the final names only when every file was written; a cancel or a failure takes
// back exactly what this export created.
class ExportMessagesPdf
{
    Q_DECLARE_TR_FUNCTIONS(ExportMessagesPdf)

public:
    static constexpr int kPagesPerFile = 100;

    ExportMessagesPdf(PAbsLineMsgsSource source, const QString& folder);

    // Exports every message that belongs to a chat and returns how many were written. Throws
    // std::runtime_error with a text for the user, or JobCancelled.
    qint64 run(JobControl& control);
    // The same, recording what was created in log (which the caller rolls back on failure).
    qint64 run(JobControl& control, ExportOutputLog& log);

    // The files written by the last successful run, in the order they were written, and their pages.
    const QStringList& files() const { return m_files; }
    qint64 pageCount() const { return m_pages; }

    // "Successfully exported %1 Messages." for the user.
    static QString successText(qint64 count);

private:
    PAbsLineMsgsSource m_source;
    QString m_folder;
    QStringList m_files;
    qint64 m_pages = 0;
};
