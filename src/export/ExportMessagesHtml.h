#pragma once

#include "export/AbsFormatExport.h"
#include "export/ExportMediaFiles.h"
#include "export/ExportOptions.h"
#include "export/ExportTextFile.h"
#include "line/LineMsg.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <functional>
#include <memory>
#include <vector>

class ExportOutputLog;

// One chat as static web pages that look like the bubble view: the same bubble markup and day
// separators, with the style sheet and images in the folder's "files" subfolder (put there by the export
// job). Each page is titled with the chat and holds at most ExportOptions::messagesPerPage messages; a
// longer chat goes on over further pages, each linking the one before and after it and the export's
// index. Each message's media are first copied beside the pages (ExportMediaFiles), then its bubble links
// the copies (ExportPageTarget). The pages appear under their names only at end().
class ExportMessagesHtml : public AbsFormatExport<_LineMsg>
{
    Q_DECLARE_TR_FUNCTIONS(ExportMessagesHtml)

public:
    // The name of page n (2, 3, ...) of the chat whose first page is fileName.
    using PageNamer = std::function<QString(int page)>;

    // Creates folder/files when missing. The pages, once put in place by end(), and every media copy are
    // recorded in log when one is given, as is a "files" folder created here.
    ExportMessagesHtml(const QString& folder, const QString& fileName, ExportOutputLog* log = nullptr);

    // Set before begin(). title: the chat's name for the pages' titles; indexName: the page listing the
    // chats, linked from every page (none when empty); pageName: names of the further pages (without it
    // "<first page's base>_page<n>.html").
    void setTitle(const QString& title) { m_title = title; }
    void setIndexName(const QString& indexName) { m_indexName = indexName; }
    void setPageNamer(PageNamer pageName) { m_pageName = std::move(pageName); }
    void setOptions(const ExportOptions& options);
    // Shares the export's bound on open files.
    void setOpenFiles(ExportOpenFiles* openFiles) { m_openFiles = openFiles; }

    void begin() override;
    void writeMessage(const _LineMsg& message) override;
    void end() override;

    // Copies a media file into "files" (ExportMediaFiles::copyIntoFiles) and returns the name used.
    QString copyIntoFiles(const QString& path, const QString& defaultSuffix)
    {
        return m_media.copyIntoFiles(path, defaultSuffix);
    }

    // What the export's index shows of the chat.
    QString fileName() const { return m_fileName; }
    const QString& title() const { return m_title; }
    qint64 messageCount() const { return m_messageCount; }
    const QDateTime& firstTime() const { return m_firstTime; }
    const QDateTime& lastTime() const { return m_lastTime; }
    int pageCount() const { return int(m_pages.size()); }

private:
    // The name of page n (1 is the first), claimed once: the link to a page is written before it opens.
    QString pageFileName(int page);
    void openPage();
    // Ends the current page with its links; hasNext: a page follows.
    void closePage(bool hasNext);
    QString navigation(int page, bool hasNext);
    QString link(const QString& fileName, const QString& text) const;

    QString m_folder;
    QString m_fileName;
    QString m_title;
    QString m_indexName;
    PageNamer m_pageName;
    ExportOptions m_options;
    ExportOutputLog* m_log;
    ExportOpenFiles* m_openFiles = nullptr;
    ExportMediaFiles m_media;

    std::vector<std::unique_ptr<ExportTextFile>> m_pages;
    QStringList m_pageNames; // of page 1, 2, ... as far as they were asked for
    QDate m_lastDay;
    int m_onPage = 0;
    qint64 m_messageCount = 0;
    QDateTime m_firstTime;
    QDateTime m_lastTime;
};
