#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QCoreApplication>

class ExportOutputLog;
class JobControl;
struct _LineChat;

// Writes a message source to files in one of the formats below. What it writes appears under its final
// names only when everything succeeded; a cancel or a failure takes back exactly what this export
// created and leaves the user's own files and folders alone.
class MessageExporter
{
    Q_DECLARE_TR_FUNCTIONS(MessageExporter)

public:
    enum Format
    {
        PlainText = 0, // one file; also the ".doc" choice
        Csv = 1,       // one file
        Pdf = 2,       // a folder with PDF files per chat (ExportMessagesPdf), on the calling thread
        Html = 3,      // a folder with one page per chat and a "files" subfolder
        LineText = 4,  // a folder with one LINE-layout text file per chat
    };

    MessageExporter(PAbsLineMsgsSource source, const QString& outputPath, int format,
                    const QString& ownerName);

    // How many files of a folder export (one per chat) may be open at once.
    void setOpenFileLimit(int limit) { m_openFileLimit = limit; }

    // Exports every message and returns how many were written. Throws std::runtime_error with a text for
    // the user, or JobCancelled; either way nothing of this export is left behind.
    qint64 run(JobControl& control);

    // The most files that were open at the same time during the last run.
    int mostFilesOpen() const { return m_mostFilesOpen; }

    // The LINE-layout file name of a chat: "US-Chat history in "<group name>"" or
    // "US-Chat history with <first member>" percent-encoded, plus ".txt"; title and group flag on the way.
    static QString lineTextFileName(const _LineChat* chat, QString* title = nullptr, bool* isGroup = nullptr);

private:
    qint64 exportAll(ExportOutputLog& log, JobControl& control);
    void copyPageResources(ExportOutputLog& log) const;

    PAbsLineMsgsSource m_source;
    QString m_outputPath;
    int m_format;
    QString m_ownerName;
    int m_openFileLimit;
    int m_mostFilesOpen = 0;
};
