#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QCoreApplication>
#include <QDir>
#include <optional>

class JobControl;

// Copies the photos, videos, voice messages and files of a message source into a folder. Each copy is
// named after its message's time ("atta_yyyyMMdd-hhmmss.jpg"; file attachments keep their own name) and
// carries that time as its modification time, so the copies sort by when they were sent. Existing files
// are never overwritten: a name already taken gets "(1)", "(2)", ..., unless the file there (under the
// name or one of its numbered forms) already holds the same bytes, which an earlier run copied: then the
// attachment is counted as already there and not copied again. A cancel stops at the next message and
// keeps the copies made; temporary files a killed run left in the folder are removed by the next run.
class MediaExtractor
{
    Q_DECLARE_TR_FUNCTIONS(MediaExtractor)

public:
    MediaExtractor(PAbsLineMsgsSource source, const QString& outputFolder);

    // Copies every attachment. Throws std::runtime_error when the folder cannot be made or the source
    // cannot be read, JobCancelled after a cancel; copies that failed are counted (failedCount) and the
    // first failure's reason kept (firstFailure), the others still being copied.
    void run(JobControl& control);

    // What one message contributes: the file to copy and the name it should get in outputFolder (before
    // de-duplication). None for messages without an attachment on the computer.
    struct Extraction
    {
        QString sourceFile;
        QString targetPath;
    };
    static std::optional<Extraction> extractionFor(const _LineMsg& message, const QDir& outputFolder);

    // A file name that fits file systems' 255-byte limit with room for a "(N)" suffix: the base is cut
    // (never inside a character), the suffix after the last dot is kept.
    static QString fittingFileName(const QString& fileName);

    int copiedCount() const { return m_copied; }
    // Attachments whose copy an earlier run made.
    int alreadyThereCount() const { return m_alreadyThere; }
    int failedCount() const { return m_failed; }
    QString firstFailure() const { return m_firstFailure; }

private:
    // Copies one attachment (counting it); false (with the reason in m_firstFailure) when the copy failed.
    bool copyAttachment(const Extraction& extraction, const QDateTime& messageTime);

    PAbsLineMsgsSource m_source;
    QString m_outputFolder;
    int m_copied = 0;
    int m_alreadyThere = 0;
    int m_failed = 0;
    QString m_firstFailure;
};
