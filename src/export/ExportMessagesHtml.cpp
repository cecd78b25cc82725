#include "export/ExportMessagesHtml.h"

#include "export/BubbleMarkup.h"
#include "export/ExportOutputLog.h"
#include "export/ExportPageTarget.h"
#include "export/MessageBodyRenderer.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

ExportMessagesHtml::ExportMessagesHtml(const QString& folder, const QString& fileName, ExportOutputLog* log)
    : m_path(QDir(folder).filePath(fileName)), m_file(m_path, ExportTextFile::AsWritten), m_log(log),
      m_media(QDir(folder).filePath(ExportPageTarget::filesFolder()), log)
{
}

void ExportMessagesHtml::begin()
{
    if (!m_file.open())
        throw std::runtime_error(m_file.errorString().toStdString());
    m_file.writeLine(BubbleMarkup::documentStart());
    m_file.writeLine(
        QStringLiteral("<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"));
    m_file.writeLine(BubbleMarkup::title(tr("Ferrowyn")));
    m_file.writeLine(
        QStringLiteral("<link href=\"files/style.css\" type=\"text/css\" rel=\"stylesheet\"/></head><body>"));
}

void ExportMessagesHtml::writeMessage(const _LineMsg& message)
{
    const QDate day = message.time.date();
    if (day != m_lastDay) {
        m_lastDay = day;
        m_file.writeLine(BubbleMarkup::daySeparator(day));
    }
    // The media first, so that the bubble links the names their copies got.
    const ExportPageTarget target(m_media.copy(message));
    m_file.writeLine(MessageBodyRenderer::bubble(message, target));
}

void ExportMessagesHtml::end()
{
    m_file.writeLine(QStringLiteral("</body></html>"));
    const bool replaced = QFileInfo::exists(m_path);
    if (!m_file.commit())
        throw std::runtime_error(m_file.errorString().toStdString());
    if (m_log && !replaced)
        m_log->addFile(m_path);
}
