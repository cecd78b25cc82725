#include "export/ExportMessagesHtml.h"

#include "app/FileNames.h"
#include "app/TextUtils.h"
#include "export/BubbleMarkup.h"
#include "export/ExportOutputLog.h"
#include "line/MessageType.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace {
const QString kFilesFolder = QStringLiteral("files");
constexpr int kImageSize = 128;
// Shown where a picture has no file to show, as in the bubble view (a copy of linebb's placeholder).
const QString kPlaceholder = QStringLiteral("files/empty_photo.jpg");
} // namespace

ExportMessagesHtml::ExportMessagesHtml(const QString& folder, const QString& fileName, ExportOutputLog* log)
    : m_folder(folder), m_filesDir(QDir(folder).filePath(kFilesFolder)),
      m_path(QDir(folder).filePath(fileName)), m_file(m_path, ExportTextFile::AsWritten), m_log(log)
{
    if (!m_filesDir.exists()) {
        if (m_log)
            m_log->makeFolder(m_filesDir.path());
        else
            QDir().mkpath(m_filesDir.path());
    }
}

void ExportMessagesHtml::begin()
{
    if (!m_file.open())
        throw std::runtime_error(m_file.errorString().toStdString());
    m_file.writeLine(BubbleMarkup::documentStart());
    m_file.writeLine(
        QStringLiteral("<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"));
    m_file.writeLine(QStringLiteral("<title>%1</title>").arg(tr("Ferrowyn").toHtmlEscaped()));
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
    m_file.writeLine(BubbleMarkup::senderLine(message) + BubbleMarkup::bubbleStart(message) +
                     bodyOf(message) + BubbleMarkup::bubbleEnd(message));
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

QString ExportMessagesHtml::copyIntoFiles(const QString& path, const QString& defaultSuffix)
{
    QString name = QFileInfo(path).fileName();
    if (QFileInfo(name).suffix().isEmpty() && !defaultSuffix.isEmpty())
        name += QLatin1Char('.') + defaultSuffix;
    if (path.isEmpty())
        return name; // nothing to copy, and no name to make unique
    const QString target = uniqueFileName(m_filesDir.filePath(name));
    if (QFileInfo(path).isFile() && QFile::copy(path, target) && m_log)
        m_log->addFile(target);
    return QFileInfo(target).fileName();
}

QString ExportMessagesHtml::filesLink(const QString& name) const
{
    return BubbleMarkup::relativeFileLink(kFilesFolder, name);
}

QString ExportMessagesHtml::bodyOf(const _LineMsg& message)
{
    switch (message.type) {
    case MessageType::Photo: {
        const QString picture = QFileInfo(message.filePath).isFile() ? message.filePath : message.thumbPath;
        const QString link = filesLink(copyIntoFiles(picture, QStringLiteral("jpg")));
        const QString src = QFileInfo(picture).isFile() ? link : kPlaceholder;
        return QStringLiteral("<div>") +
               BubbleMarkup::imageLink(link, src, kImageSize, QString(), BubbleMarkup::NewWindow) +
               QStringLiteral("</div>");
    }
    case MessageType::Video: {
        const QString video = filesLink(copyIntoFiles(message.filePath, QString()));
        const QString thumb = QFileInfo(message.thumbPath).isFile()
                                  ? filesLink(copyIntoFiles(message.thumbPath, QStringLiteral("jpg")))
                                  : kPlaceholder;
        return QStringLiteral("<div>") +
               BubbleMarkup::imageLink(video, thumb, kImageSize, QString(), BubbleMarkup::NewWindow) +
               QStringLiteral("</div>");
    }
    case MessageType::Voice: {
        const QString voice = filesLink(copyIntoFiles(message.filePath, QString()));
        return QStringLiteral(
                   "<img width=\"32px\" src=\"files/voice.png\" align=\"middle\"/><a href=\"%1\">%2</a>")
            .arg(htmlAttributeEscape(voice), htmlEscape(message.voiceLength()));
    }
    case MessageType::Sticker:
        return BubbleMarkup::stickerBody(message, BubbleMarkup::NewWindow);
    case MessageType::File: {
        const QString file = filesLink(copyIntoFiles(message.filePath, QString()));
        return QStringLiteral("<a target=\"_blank\" href=\"%1\">%2</a>")
            .arg(htmlAttributeEscape(file), htmlEscape(message.fileName()));
    }
    case MessageType::Contact:
        return BubbleMarkup::contactBody(message);
    case MessageType::Location:
        return BubbleMarkup::locationBody(message);
    default:
        return BubbleMarkup::richText(message.text);
    }
}
