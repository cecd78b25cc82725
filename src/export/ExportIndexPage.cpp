#include "export/ExportIndexPage.h"

#include "app/TextUtils.h"
#include "export/BubbleMarkup.h"
#include "export/ExportOutputLog.h"
#include "export/ExportTextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <stdexcept>

const QString ExportIndexPage::FileName = QStringLiteral("index.html");

namespace {
QString cell(const QString& html)
{
    return QStringLiteral("<td>") + html + QStringLiteral("</td>");
}

QString when(const QDateTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd hh:mm")) : QString();
}
} // namespace

void ExportIndexPage::write(const QString& folder, const QList<Chat>& chats, ExportOutputLog* log)
{
    const QString path = QDir(folder).filePath(FileName);
    ExportTextFile file(path, ExportTextFile::AsWritten);
    if (!file.open())
        throw std::runtime_error(file.failureText().toStdString());
    const QString title = tr("Exported chats");
    file.writeLine(BubbleMarkup::documentStart());
    file.writeLine(
        QStringLiteral("<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"));
    file.writeLine(BubbleMarkup::title(title));
    file.writeLine(
        QStringLiteral("<style type=\"text/css\">body{font-family:sans-serif;margin:20px;}"
                       "table{border-collapse:collapse;}th,td{border:1px solid #ccc;padding:4px 8px;"
                       "text-align:left;}td.n{text-align:right;}</style></head><body>"));
    file.writeLine(QStringLiteral("<h2>") + htmlEscape(title) + QStringLiteral("</h2>"));
    file.writeLine(QStringLiteral("<table><tr><th>") + htmlEscape(tr("Chat")) + QStringLiteral("</th><th>") +
                   htmlEscape(tr("Messages")) + QStringLiteral("</th><th>") +
                   htmlEscape(tr("First message")) + QStringLiteral("</th><th>") +
                   htmlEscape(tr("Last message")) + QStringLiteral("</th></tr>"));
    for (const Chat& chat : chats) {
        const QString link = QStringLiteral("<a href=\"") +
                             QString::fromLatin1(QUrl::toPercentEncoding(chat.fileName)) +
                             QStringLiteral("\">") + htmlEscape(chat.title) + QStringLiteral("</a>");
        file.writeLine(QStringLiteral("<tr>") + cell(link) + QStringLiteral("<td class=\"n\">") +
                       QString::number(chat.messages) + QStringLiteral("</td>") + cell(when(chat.first)) +
                       cell(when(chat.last)) + QStringLiteral("</tr>"));
    }
    file.writeLine(QStringLiteral("</table></body></html>"));
    const bool replaced = QFileInfo::exists(path);
    if (!file.commit())
        throw std::runtime_error(file.failureText().toStdString());
    if (log && !replaced)
        log->addFile(path);
}
