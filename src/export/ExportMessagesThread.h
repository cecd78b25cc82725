#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QThread>

class ExportOutputLog;
class JobReporter;
struct _LineChat;

// The export job: writes a message source to files in one of the formats below and reports through the
// progress form's slots by name (see JobReporter). What it writes appears under its final names only
// when everything succeeded; a cancel or a failure takes back exactly what this export created and
// leaves the user's own files and folders alone.
class ExportMessagesThread : public QThread
{
    Q_OBJECT

public:
    enum Format
    {
        PlainText = 0, // one file; also the ".doc" choice
        Csv = 1,       // one file
        Pdf = 2,       // not written by this job: the messages are counted, nothing is written
        Html = 3,      // a folder with one page per chat and a "files" subfolder
        LineText = 4,  // a folder with one LINE-layout text file per chat
    };

    ExportMessagesThread(PAbsLineMsgsSource source, const QString& outputPath, int format, QObject* form,
                         const QString& ownerName, QObject* parent = nullptr);

    // How many files of a folder export (one per chat) may be open at once; set before start().
    void setOpenFileLimit(int limit) { m_openFileLimit = limit; }

    // Read after the thread finished.
    qint64 exportedCount() const { return m_exportedCount; }
    bool succeeded() const { return m_succeeded; }
    // The most files that were open at the same time.
    int mostFilesOpen() const { return m_mostFilesOpen; }

    // The LINE-layout file name of a chat: "US-Chat history in "<group name>"" or
    // "US-Chat history with <first member>" percent-encoded, plus ".txt"; title and group flag on the way.
    static QString lineTextFileName(const _LineChat* chat, QString* title = nullptr, bool* isGroup = nullptr);

protected:
    void run() override;

private:
    enum class Outcome
    {
        Finished,
        Cancelled,
    };
    Outcome exportAll(ExportOutputLog& log, const JobReporter& reporter);
    void copyPageResources(ExportOutputLog& log) const;

    PAbsLineMsgsSource m_source;
    QString m_outputPath;
    int m_format;
    QObject* m_form;
    QString m_ownerName;
    int m_openFileLimit;
    qint64 m_exportedCount = 0;
    bool m_succeeded = false;
    int m_mostFilesOpen = 0;
};
