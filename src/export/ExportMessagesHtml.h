#pragma once

#include "export/AbsFormatExport.h"
#include "export/ExportTextFile.h"
#include "line/LineMsg.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>

class ExportOutputLog;

// One chat as a static web page that looks like the bubble view: the same bubble markup and day
// separators, with the style sheet and images in the folder's "files" subfolder (put there by the export
// job) and a copy of each message's media beside them.
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

    // Copies a media file into "files" under its own name (defaultSuffix appended when the name has no
    // suffix), made unique with a "(n)" when taken, and returns the name used. The name is returned even
    // when there was nothing to copy, so the page then links a missing file.
    QString copyIntoFiles(const QString& path, const QString& defaultSuffix);

private:
    QString bodyOf(const _LineMsg& message);
    QString filesLink(const QString& name) const;

    QDate m_lastDay;
    QDir m_folder;
    QDir m_filesDir;
    QString m_path;
    ExportTextFile m_file;
    ExportOutputLog* m_log;
};
