#pragma once

#include "export/AbsFormatExport.h"
#include "export/ExportMediaFiles.h"
#include "export/ExportTextFile.h"
#include "line/LineMsg.h"

#include <QCoreApplication>
#include <QDate>

class ExportOutputLog;

// One chat as a static web page that looks like the bubble view: the same bubble markup and day
// separators, with the style sheet and images in the folder's "files" subfolder (put there by the export
// job). Each message's media are first copied beside them (ExportMediaFiles), then its bubble links the
// copies (ExportPageTarget).
class ExportMessagesHtml : public AbsFormatExport<_LineMsg>
{
    Q_DECLARE_TR_FUNCTIONS(ExportMessagesHtml)

public:
    // Creates folder/files when missing. The page, once put in place by end(), and every media copy are
    // recorded in log when one is given, as is a "files" folder created here.
    ExportMessagesHtml(const QString& folder, const QString& fileName, ExportOutputLog* log = nullptr);

    // Shares the export's bound on open files; set before begin().
    void setOpenFiles(ExportOpenFiles* openFiles) { m_file.setOpenFiles(openFiles); }

    void begin() override;
    void writeMessage(const _LineMsg& message) override;
    void end() override;

    // Copies a media file into "files" (ExportMediaFiles::copyIntoFiles) and returns the name used.
    QString copyIntoFiles(const QString& path, const QString& defaultSuffix)
    {
        return m_media.copyIntoFiles(path, defaultSuffix);
    }

private:
    QDate m_lastDay;
    QString m_path;
    ExportTextFile m_file;
    ExportOutputLog* m_log;
    ExportMediaFiles m_media;
};
