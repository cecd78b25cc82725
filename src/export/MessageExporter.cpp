#include "export/MessageExporter.h"

#include "app/AssetDir.h"
#include "app/JobControl.h"
#include "app/PartFiles.h"
#include "app/PausePoint.h"
#include "app/TextUtils.h"
#include "export/ChatFileName.h"
#include "export/ExportIndexPage.h"
#include "export/ExportMessagesCsv.h"
#include "export/ExportMessagesHtml.h"
#include "export/ExportMessagesLineTxt.h"
#include "export/ExportMessagesPdf.h"
#include "export/ExportMessagesTxt.h"
#include "export/ExportOpenFiles.h"
#include "export/ExportOutputLog.h"
#include "line/LineChat.h"
#include "line/LineGroup.h"
#include "line/LineUser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <QUrl>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace {
using Exporter = AbsFormatExport<_LineMsg>;

constexpr int kMaxNameBytes = 200;

// "name.suffix", or "name(n).suffix" for the n-th chat that would get the same name in one export.
// Names are compared ignoring case, as Windows does.
QString claimName(QSet<QString>& used, const QString& base, const QString& suffix)
{
    QString name = base + suffix;
    for (int n = 2; used.contains(name.toLower()); ++n)
        name = QStringLiteral("%1(%2)%3").arg(base).arg(n).arg(suffix);
    used.insert(name.toLower());
    return name;
}

// Cuts percent-encoded text to at most maxBytes without splitting a "%XX" triple, adding "~" and a hash
// of the whole so that cut names stay distinct.
QString shortenedEncodedName(const QString& encoded, int maxBytes)
{
    if (encoded.size() <= maxBytes)
        return encoded;
    const QString mark = QLatin1Char('~') + md5Hex(encoded).left(8);
    qsizetype cut = maxBytes - mark.size();
    const qsizetype percent = encoded.lastIndexOf(QLatin1Char('%'), cut - 1);
    if (percent >= 0 && percent + 3 > cut)
        cut = percent;
    return encoded.left(cut) + mark;
}
} // namespace

MessageExporter::MessageExporter(PAbsLineMsgsSource source, const QString& outputPath, int format,
                                 const QString& ownerName)
    : m_source(std::move(source)), m_outputPath(outputPath), m_format(format), m_ownerName(ownerName),
      m_openFileLimit(ExportOpenFiles::kDefaultLimit)
{
}

QString MessageExporter::lineTextFileName(const _LineChat* chat, QString* title, bool* isGroup)
{
    QString chatTitle;
    bool group = false;
    QString pattern = QStringLiteral("US-Chat history with %1");
    if (chat && (chat->type != _LineChat::Single || chat->group)) {
        // Several people: the chat is named, never one of them (the first member of a room or of a
        // group without a record is the device's owner).
        group = true;
        pattern = QStringLiteral("US-Chat history in \"%1\"");
        chatTitle = chat->group && !chat->group->name.isEmpty() ? chat->group->name : chat->chatTitle(false);
    } else if (chat && !chat->members.isEmpty()) {
        chatTitle = chat->members.first()->displayName();
    }
    if (chatTitle.isEmpty())
        chatTitle = QCoreApplication::translate("_LineUser", "Unknown");
    if (title)
        *title = chatTitle;
    if (isGroup)
        *isGroup = group;
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(pattern.arg(chatTitle)));
    return shortenedEncodedName(encoded, kMaxNameBytes) + QStringLiteral(".txt");
}

qint64 MessageExporter::run(JobControl& control)
{
    control.setStatus(tr("IDS_EXPORTING_MESSAGES_TO_FILE"));
    ExportOutputLog log;
    try {
        const qint64 exported = exportAll(log, control);
        log.clear();
        return exported;
    } catch (...) {
        log.rollback();
        throw;
    }
}

qint64 MessageExporter::exportAll(ExportOutputLog& log, JobControl& control)
{
    if (m_format < PlainText || m_format > LineText)
        throw std::runtime_error(tr("not support export format.").toStdString());
    if (m_format == Pdf) // painted pages, not a stream of messages: a format of its own
        return ExportMessagesPdf(m_source, m_outputPath).run(control, log);
    const qint64 total = m_source ? m_source->count() : 0;
    prepareTarget(log);

    // Destroyed before the caller rolls back: an exporter that did not end throws its temporary file away.
    std::unique_ptr<Exporter> single;
    std::unordered_map<const _LineChat*, std::unique_ptr<Exporter>> perChat;
    std::vector<Exporter*> inOrder;
    QSet<QString> usedNames;
    if (m_format == Html)
        usedNames.insert(ExportIndexPage::FileName);
    QList<ExportMessagesHtml*> pages;
    ExportOpenFiles openFiles(m_openFileLimit);
    const auto countOpenFiles = qScopeGuard([&] { m_mostFilesOpen = openFiles.mostOpen(); });

    qint64 count = 0;
    for (qint64 i = 0; i < total; ++i) {
        control.throwIfCancelled();
        const _LineMsg message = m_source->message(i);
        if (!message.chat)
            continue;
        ++count;
        control.setProgress(count, total, tr("Messages: %1/%2").arg(count).arg(total));

        Exporter* exporter = nullptr;
        switch (m_format) {
        case PlainText:
        case Csv:
            if (!single) {
                if (m_format == PlainText)
                    single = std::make_unique<ExportMessagesTxt>(m_outputPath);
                else
                    single = std::make_unique<ExportMessagesCsv>(m_outputPath);
                single->begin();
                inOrder.push_back(single.get());
            }
            exporter = single.get();
            break;
        case Html:
        case LineText: {
            std::unique_ptr<Exporter>& slot = perChat[message.chat];
            if (!slot) {
                if (m_format == Html) {
                    QString name = chatFileName(message.chat, 1) + QStringLiteral(".html");
                    for (int n = 2; usedNames.contains(name.toLower()); ++n)
                        name = chatFileName(message.chat, n) + QStringLiteral(".html");
                    usedNames.insert(name.toLower());
                    auto page = std::make_unique<ExportMessagesHtml>(m_outputPath, name, &log);
                    page->setOpenFiles(&openFiles);
                    page->setOptions(m_options);
                    page->setIndexName(ExportIndexPage::FileName);
                    QString title = message.chat->chatTitle(false);
                    page->setTitle(title.isEmpty() ? QCoreApplication::translate("_LineUser", "Unknown")
                                                   : title);
                    const QString base = name.chopped(5);
                    page->setPageNamer([&usedNames, base](int n) {
                        return claimName(usedNames, base + QStringLiteral("_page%1").arg(n),
                                         QStringLiteral(".html"));
                    });
                    pages.append(page.get());
                    slot = std::move(page);
                } else {
                    QString title;
                    bool isGroup = false;
                    QString name = lineTextFileName(message.chat, &title, &isGroup);
                    name = claimName(usedNames, name.chopped(4), QStringLiteral(".txt"));
                    auto text = std::make_unique<ExportMessagesLineTxt>(
                        m_ownerName, title, isGroup, QDir(m_outputPath).filePath(name), &log);
                    text->setOpenFiles(&openFiles);
                    slot = std::move(text);
                }
                slot->begin();
                inOrder.push_back(slot.get());
            }
            exporter = slot.get();
            break;
        }
        default:
            break;
        }
        if (exporter)
            exporter->writeMessage(message);
        if (count == 1)
            PausePoint::reach("export-message-written");
    }
    if (total > 0)
        control.flushProgress(count, total, tr("Messages: %1/%2").arg(count).arg(total));

    for (Exporter* exporter : inOrder)
        exporter->end();
    if (m_format == Html) {
        QList<ExportIndexPage::Chat> chats;
        for (const ExportMessagesHtml* page : std::as_const(pages))
            chats.append(
                {page->title(), page->fileName(), page->messageCount(), page->firstTime(), page->lastTime()});
        ExportIndexPage::write(m_outputPath, chats, &log);
    }
    return count;
}

void MessageExporter::prepareTarget(ExportOutputLog& log) const
{
    const QFileInfo target(m_outputPath);
    auto makeFolder = [&log](const QString& folder) {
        if (!log.makeFolder(folder))
            throw std::runtime_error(
                tr("Cannot create the folder %1.").arg(QDir::toNativeSeparators(folder)).toStdString());
    };
    if (m_format == Html || m_format == LineText) {
        if (target.exists() && !target.isDir())
            throw std::runtime_error(tr("%1 is a file; give the name of a folder to export into.")
                                         .arg(QDir::toNativeSeparators(target.absoluteFilePath()))
                                         .toStdString());
        makeFolder(target.absoluteFilePath());
        // What an export that was killed left behind: never one of the user's files.
        PartFiles::removeLeftovers(target.absoluteFilePath());
        if (m_format == Html) {
            const QString files = QDir(target.absoluteFilePath()).filePath(QStringLiteral("files"));
            makeFolder(files);
            PartFiles::removeLeftovers(files);
            copyPageResources(log);
        }
        return;
    }
    if (m_format == Pdf)
        return;
    if (target.isDir())
        throw std::runtime_error(tr("%1 is a folder; give the name of a file to export into.")
                                     .arg(QDir::toNativeSeparators(target.absoluteFilePath()))
                                     .toStdString());
    makeFolder(target.absolutePath());
    PartFiles::removeLeftovers(target.absolutePath(), target.fileName());
}

void MessageExporter::copyPageResources(ExportOutputLog& log) const
{
    const QDir linebb(linebbDir());
    const QDir files(QDir(m_outputPath).filePath(QStringLiteral("files")));
    if (!linebb.exists())
        qWarning("export: the page resources folder %s is missing", qPrintable(linebb.path()));
    const QStringList names = linebb.entryList(QDir::Files);
    for (const QString& name : names) {
        const QString target = files.filePath(name);
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue; // an existing file of the same name is kept
        if (QFile::copy(linebb.filePath(name), target))
            log.addFile(target);
    }
}
