#include "export/ExportMessagesHtml.h"

#include "app/TextUtils.h"
#include "export/BubbleMarkup.h"
#include "export/ExportOutputLog.h"
#include "export/ExportPageTarget.h"
#include "export/MessageBodyRenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <stdexcept>

ExportMessagesHtml::ExportMessagesHtml(const QString& folder, const QString& fileName, ExportOutputLog* log)
    : m_folder(folder), m_fileName(fileName), m_log(log),
      m_media(QDir(folder).filePath(ExportPageTarget::filesFolder()), log)
{
}

void ExportMessagesHtml::setOptions(const ExportOptions& options)
{
    m_options = options;
    m_media.setStickerFiles(options.stickerFiles);
}

QString ExportMessagesHtml::pageFileName(int page)
{
    while (m_pageNames.size() < page) {
        const int next = int(m_pageNames.size()) + 1;
        if (next == 1)
            m_pageNames.append(m_fileName);
        else if (m_pageName)
            m_pageNames.append(m_pageName(next));
        else
            m_pageNames.append(QFileInfo(m_fileName).completeBaseName() +
                               QStringLiteral("_page%1.html").arg(next));
    }
    return m_pageNames.at(page - 1);
}

void ExportMessagesHtml::begin()
{
    openPage();
}

void ExportMessagesHtml::openPage()
{
    const int page = int(m_pages.size()) + 1;
    const QString name = pageFileName(page);
    auto file = std::make_unique<ExportTextFile>(QDir(m_folder).filePath(name), ExportTextFile::AsWritten);
    file->setOpenFiles(m_openFiles);
    if (!file->open())
        throw std::runtime_error(file->failureText().toStdString());
    const QString title = page == 1 ? m_title : tr("%1 (page %2)").arg(m_title).arg(page);
    file->writeLine(BubbleMarkup::documentStart());
    file->writeLine(
        QStringLiteral("<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"));
    file->writeLine(BubbleMarkup::title(title));
    file->writeLine(
        QStringLiteral("<link href=\"files/style.css\" type=\"text/css\" rel=\"stylesheet\"/></head><body>"));
    const QString links = navigation(page, false);
    if (!links.isEmpty())
        file->writeLine(links);
    file->writeLine(QStringLiteral("<h2 style=\"text-align:center;\">") + htmlEscape(title) +
                    QStringLiteral("</h2>"));
    m_pages.push_back(std::move(file));
    m_onPage = 0;
    // Each page begins with the day of its first message.
    m_lastDay = QDate();
}

void ExportMessagesHtml::closePage(bool hasNext)
{
    ExportTextFile& file = *m_pages.back();
    const QString links = navigation(int(m_pages.size()), hasNext);
    if (!links.isEmpty())
        file.writeLine(links);
    file.writeLine(QStringLiteral("</body></html>"));
    // A finished page holds no buffer and no open file until it is put in place.
    file.park();
}

QString ExportMessagesHtml::link(const QString& fileName, const QString& text) const
{
    return QStringLiteral("<a href=\"") + QString::fromLatin1(QUrl::toPercentEncoding(fileName)) +
           QStringLiteral("\">") + htmlEscape(text) + QStringLiteral("</a>");
}

QString ExportMessagesHtml::navigation(int page, bool hasNext)
{
    QStringList links;
    if (!m_indexName.isEmpty())
        links << link(m_indexName, tr("All chats"));
    if (page > 1)
        links << link(pageFileName(page - 1), tr("Previous page"));
    if (hasNext)
        links << link(pageFileName(page + 1), tr("Next page"));
    if (links.isEmpty())
        return QString();
    return QStringLiteral("<div style=\"text-align:center; margin:10px;\">") +
           links.join(QStringLiteral(" | ")) + QStringLiteral("</div>");
}

void ExportMessagesHtml::writeMessage(const _LineMsg& message)
{
    if (m_options.messagesPerPage > 0 && m_onPage >= m_options.messagesPerPage) {
        closePage(true);
        openPage();
    }
    ExportTextFile& file = *m_pages.back();
    const QDate day = message.time.date();
    if (day != m_lastDay) {
        m_lastDay = day;
        file.writeLine(BubbleMarkup::daySeparator(day));
    }
    // The media first, so that the bubble links the names their copies got.
    const ExportPageTarget target(m_media.copy(message), m_options);
    file.writeLine(MessageBodyRenderer::bubble(message, target));
    ++m_onPage;
    ++m_messageCount;
    if (!m_firstTime.isValid() || message.time < m_firstTime)
        m_firstTime = message.time;
    if (!m_lastTime.isValid() || message.time > m_lastTime)
        m_lastTime = message.time;
}

void ExportMessagesHtml::end()
{
    if (m_pages.empty())
        return;
    closePage(false);
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        ExportTextFile& file = *m_pages[i];
        const QString path = file.path();
        const bool replaced = QFileInfo::exists(path);
        if (!file.commit())
            throw std::runtime_error(file.failureText().toStdString());
        if (m_log && !replaced)
            m_log->addFile(path);
    }
}
