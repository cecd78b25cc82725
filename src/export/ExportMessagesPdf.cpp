#include "export/ExportMessagesPdf.h"

#include "app/PartFiles.h"

#include "app/JobControl.h"
#include "export/ChatFileName.h"
#include "export/ExportOutputLog.h"
#include "export/ExportPdfFile.h"
#include "export/PdfTextMapping.h"
#include "export/PrintLineMsgsExec.h"
#include "line/LineChat.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSet>
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {
// Printed pages are laid out in the pixels of a screen.
constexpr int kResolution = 96;
constexpr qreal kMarginPoints = 20;

struct ChatPart
{
    _LineChat* chat;
    PAbsLineMsgsSource source;
    QString name;
};
} // namespace

ExportMessagesPdf::ExportMessagesPdf(PAbsLineMsgsSource source, const QString& folder)
    : m_source(std::move(source)), m_folder(folder)
{
}

qint64 ExportMessagesPdf::run(JobControl& control)
{
    ExportOutputLog log;
    try {
        const qint64 exported = run(control, log);
        log.clear();
        return exported;
    } catch (...) {
        log.rollback();
        throw;
    }
}

qint64 ExportMessagesPdf::run(JobControl& control, ExportOutputLog& log)
{
    m_files.clear();
    m_pages = 0;
    control.setStatus(tr("IDS_EXPORTING_MESSAGES_TO_FILE"));
    if (!log.makeFolder(m_folder))
        throw std::runtime_error(
            tr("Cannot create the folder %1.").arg(QDir::toNativeSeparators(m_folder)).toStdString());
    // What an export that was killed left behind: never one of the user's files.
    PartFiles::removeLeftovers(m_folder);

    // Chats in the order of their file names, so that an export is the same every time.
    std::vector<ChatPart> chats;
    if (m_source) {
        const QHash<_LineChat*, PAbsLineMsgsSource> split = m_source->splitByChat();
        for (auto it = split.cbegin(); it != split.cend(); ++it) {
            if (it.key() && it.value())
                chats.push_back({it.key(), it.value(), chatFileName(it.key(), 1)});
        }
    }
    std::sort(chats.begin(), chats.end(), [](const ChatPart& a, const ChatPart& b) {
        return a.name != b.name ? a.name < b.name : a.chat->uid < b.chat->uid;
    });
    std::vector<qint64> counts;
    qint64 total = 0;
    for (const ChatPart& chat : chats) {
        counts.push_back(chat.source->count());
        total += counts.back();
    }

    QSet<QString> usedNames; // compared ignoring case, as Windows does
    const auto claimName = [&](const QString& base) {
        QString name = base + QStringLiteral(".pdf");
        for (int n = 2; usedNames.contains(name.toLower()); ++n)
            name = QStringLiteral("%1(%2).pdf").arg(base).arg(n);
        usedNames.insert(name.toLower());
        return name;
    };

    std::vector<std::unique_ptr<ExportPdfFile>> written;
    PdfTextMapping mapping;
    qint64 exported = 0;
    for (std::size_t c = 0; c < chats.size(); ++c) {
        const ChatPart& chat = chats[c];
        const qint64 count = counts[c];
        qint64 start = 0;
        for (int part = 1; start < count; ++part) {
            control.throwIfCancelled();
            const QString name = claimName(chatFileName(chat.chat, part));
            auto file = std::make_unique<ExportPdfFile>(QDir(m_folder).filePath(name));
            QFile& device = file->open();
            qint64 printed = 0;
            {
                QPdfWriter writer(&device);
                writer.setResolution(kResolution);
                writer.setCreator(QCoreApplication::applicationName());
                writer.setTitle(chat.chat->chatTitle(true));
                writer.setPageLayout(
                    QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                QMarginsF(kMarginPoints, kMarginPoints, kMarginPoints, kMarginPoints),
                                QPageLayout::Point));
                mapping.beginFile();
                PrintLineMsgsExec pages(writer, chat.source, start, kPagesPerFile, part - 1);
                pages.setTextMapping(&mapping);
                const QString progressName =
                    QStringLiteral("%1-%2").arg(chat.chat->chatTitle(true)).arg(part);
                const qint64 before = exported;
                pages.setProgress([&](qint64 done, qint64) {
                    control.setProgress(
                        before + done, total,
                        QStringLiteral("%1: %2/%3").arg(progressName).arg(before + done).arg(total));
                });
                pages.run(control);
                control.throwIfCancelled();
                printed = pages.printedCount();
                m_pages += pages.pageCount();
            }                 // the writer finishes the file here
            if (printed <= 0) // cannot happen: a run always prints its first message
                throw std::runtime_error(tr("Cannot write the file %1.").arg(file->target()).toStdString());
            QString error;
            if (!mapping.appendTo(device, &error))
                qWarning("export: the text of %s keeps Qt's character maps: %s", qPrintable(name),
                         qPrintable(error));
            file->finish();
            written.push_back(std::move(file));
            start += printed;
            exported += printed;
        }
    }
    control.flushProgress(exported, total, tr("Messages: %1/%2").arg(exported).arg(total));

    for (const auto& file : written) {
        file->commit();
        log.addFile(file->target());
        m_files.append(file->target());
    }
    return exported;
}

QString ExportMessagesPdf::successText(qint64 count)
{
    return tr("IDS_SUC_EXPORT_%1_MMS").arg(count);
}
