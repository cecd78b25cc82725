#pragma once

#include "export/ExportOptions.h"
#include "line/AbsLineMsgsSource.h"

#include <QCoreApplication>

class ExportOutputLog;
class JobControl;
struct _LineChat;

// Writes a message source to files in one of the formats below. What it writes appears under its final
// names only when everything succeeded; a cancel or a failure takes back exactly what this export
// created and leaves the user's own files and folders alone. Missing folders on the way to the target
// are made for every format. Temporary files that an earlier, killed export left in the target folder are
// removed first.
class MessageExporter
{
    Q_DECLARE_TR_FUNCTIONS(MessageExporter)

public:
    enum Format
    {
        PlainText = 0, // one file; also the ".doc" choice
        Csv = 1,       // one file
        Pdf = 2,       // a folder with PDF files per chat (ExportMessagesPdf), on the calling thread
        Html = 3,      // a folder with pages per chat, an "index.html" and a "files" subfolder
        LineText = 4,  // a folder with one LINE-layout text file per chat
    };

    MessageExporter(PAbsLineMsgsSource source, const QString& outputPath, int format,
                    const QString& ownerName);

    // How many files of a folder export (one per chat) may be open at once.
    void setOpenFileLimit(int limit) { m_openFileLimit = limit; }
    // Paging and images of web pages; set before run().
    void setOptions(const ExportOptions& options) { m_options = options; }

    // Exports every message and returns how many were written. Throws std::runtime_error with a text for
    // the user, or JobCancelled; either way nothing of this export is left behind.
    qint64 run(JobControl& control);

    // The most files that were open at the same time during the last run.
    int mostFilesOpen() const { return m_mostFilesOpen; }

    // The LINE-layout file name of a chat, percent-encoded, plus ".txt"; title and group flag on the way.
    // A chat with one person is "US-Chat history with <that person>"; a chat of several (a group, a
    // room) is "US-Chat history in "<group name>"", or in the chat's own title (its members' names) when
    // it has no group name; "Unknown" stands for a name there is none of.
    static QString lineTextFileName(const _LineChat* chat, QString* title = nullptr, bool* isGroup = nullptr);

private:
    qint64 exportAll(ExportOutputLog& log, JobControl& control);
    void prepareTarget(ExportOutputLog& log) const;
    void copyPageResources(ExportOutputLog& log) const;

    PAbsLineMsgsSource m_source;
    QString m_outputPath;
    int m_format;
    QString m_ownerName;
    int m_openFileLimit;
    ExportOptions m_options;
    int m_mostFilesOpen = 0;
};
