#include "export/MediaExtractor.h"

#include "app/CopyTarget.h"
#include "app/FileNames.h"
#include "app/JobControl.h"
#include "app/NewFileCopy.h"
#include "app/PartFiles.h"
#include "app/TextUtils.h"
#include "line/MessageType.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace {
// 255 bytes is the common limit of a file name; "(99999)" must still fit after it.
constexpr int kMaxFileNameBytes = 240;
// Longer "suffixes" are part of the name rather than a type.
constexpr int kMaxKeptSuffixLength = 16;

QString baseNameFor(const _LineMsg& message)
{
    return QStringLiteral("atta_") + message.time.toString(QStringLiteral("yyyyMMdd-hhmmss"));
}

QString suffixOr(const QFileInfo& file, const QString& fallback)
{
    const QString suffix = file.suffix();
    return suffix.isEmpty() ? fallback : suffix;
}
} // namespace

MediaExtractor::MediaExtractor(PAbsLineMsgsSource source, const QString& outputFolder)
    : m_source(std::move(source)), m_outputFolder(outputFolder)
{
}

QString MediaExtractor::fittingFileName(const QString& fileName)
{
    if (fileName.toUtf8().size() <= kMaxFileNameBytes)
        return fileName;
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const bool keepSuffix = dot > 0 && fileName.size() - dot - 1 <= kMaxKeptSuffixLength;
    const QString suffix = keepSuffix ? fileName.mid(dot) : QString();
    QString base = keepSuffix ? fileName.left(dot) : fileName;
    while (!base.isEmpty() && (base + suffix).toUtf8().size() > kMaxFileNameBytes) {
        base.chop(1);
        if (!base.isEmpty() && base.back().isHighSurrogate())
            base.chop(1);
    }
    return base + suffix;
}

std::optional<MediaExtractor::Extraction> MediaExtractor::extractionFor(const _LineMsg& message,
                                                                        const QDir& outputFolder)
{
    const QFileInfo media(message.filePath);
    const bool hasMedia = !message.filePath.isEmpty() && media.isFile();
    const QString base = baseNameFor(message);
    switch (message.type) {
    case MessageType::Photo:
    case MessageType::Video: {
        if (hasMedia) {
            const QString fallback =
                message.type == MessageType::Photo ? QStringLiteral("jpg") : QStringLiteral("mp4");
            return Extraction{message.filePath,
                              outputFolder.filePath(base + QLatin1Char('.') + suffixOr(media, fallback))};
        }
        if (!message.thumbPath.isEmpty() && QFileInfo(message.thumbPath).isFile())
            return Extraction{message.thumbPath, outputFolder.filePath(base + QStringLiteral(".thumb.jpg"))};
        return std::nullopt;
    }
    case MessageType::Voice:
        if (hasMedia)
            return Extraction{
                message.filePath,
                outputFolder.filePath(base + QLatin1Char('.') + suffixOr(media, QStringLiteral("aac")))};
        return std::nullopt;
    case MessageType::File:
        if (hasMedia) {
            const QString name = percentFileName(message.uid + QLatin1Char('_') + message.fileName());
            return Extraction{message.filePath, outputFolder.filePath(fittingFileName(name))};
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool MediaExtractor::copyAttachment(const Extraction& extraction, const QDateTime& messageTime)
{
    const CopyTarget copyTarget = CopyTarget::find(extraction.sourceFile, extraction.targetPath);
    if (copyTarget.alreadyThere) {
        ++m_alreadyThere;
        return true;
    }
    const QString& target = copyTarget.path;
    // Written under a temporary name and renamed when complete: a failed copy leaves nothing under target.
    QString error;
    if (!copyToNewFile(extraction.sourceFile, target, &error)) {
        if (m_firstFailure.isEmpty())
            m_firstFailure = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(target), error);
        return false;
    }
    ++m_copied;
    if (messageTime.isValid()) {
        // Read-only is enough to set the times of a file we own, and works for read-only copies too.
        QFile copy(target);
        if (copy.open(QIODevice::ReadOnly)) {
            copy.setFileTime(messageTime, QFileDevice::FileModificationTime);
            copy.setFileTime(messageTime, QFileDevice::FileAccessTime);
        }
    }
    return true;
}

void MediaExtractor::run(JobControl& control)
{
    m_copied = m_alreadyThere = m_failed = 0;
    m_firstFailure.clear();
    const QDir outputFolder(m_outputFolder);
    control.setStatus(tr("IDS_EXTRACTING_MEDIA_FILES"));
    if (!QDir().mkpath(outputFolder.absolutePath()))
        throw std::runtime_error(tr("Cannot create the folder %1.")
                                     .arg(QDir::toNativeSeparators(outputFolder.absolutePath()))
                                     .toStdString());
    PartFiles::removeLeftovers(outputFolder.absolutePath());
    const qint64 total = m_source->count();
    for (qint64 index = 0; index < total; ++index) {
        control.throwIfCancelled();
        control.setProgress(index + 1, total);
        const _LineMsg message = m_source->message(index);
        const std::optional<Extraction> extraction = extractionFor(message, outputFolder);
        if (!extraction)
            continue;
        if (!copyAttachment(*extraction, message.time))
            ++m_failed;
    }
}
