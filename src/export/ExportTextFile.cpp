#include "export/ExportTextFile.h"

#include "app/PartFiles.h"
#include "export/ExportOpenFiles.h"
#include "platform/FileSync.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace {
// Large enough that writing costs few system calls, small enough to be irrelevant for memory.
constexpr qsizetype kFlushSize = 256 * 1024;

// What a file made fresh gets (the usual rights of a user's document); a replaced file keeps its own.
constexpr QFileDevice::Permissions kNewFilePermissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                         QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                         QFileDevice::ReadGroup | QFileDevice::ReadOther;

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}
} // namespace

ExportTextFile::ExportTextFile(const QString& path, LineEnds lineEnds) : m_target(path), m_lineEnds(lineEnds)
{
}

ExportTextFile::~ExportTextFile()
{
    discard();
}

bool ExportTextFile::open()
{
    discard();
    m_error.clear();
    m_lastWasCarriageReturn = false;
    m_buffer.resize(0);

    // Beside the target, so that the final rename stays on one file system.
    QTemporaryFile temporary(PartFiles::templateFor(m_target));
    temporary.setAutoRemove(false);
    if (!temporary.open()) {
        m_error = temporary.errorString();
        return false;
    }
    m_temporary = temporary.fileName();
    temporary.close();
    const QFileInfo existing(m_target);
    QFile::setPermissions(m_temporary, existing.isFile() ? existing.permissions() : kNewFilePermissions);
    m_begun = true;
    if (!reopen()) {
        QFile::remove(m_temporary);
        m_begun = false;
        return false;
    }
    return true;
}

bool ExportTextFile::reopen()
{
    if (m_openFiles)
        m_openFiles->opening(this);
    m_file.setFileName(m_temporary);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        fail(m_file.errorString());
        if (m_openFiles)
            m_openFiles->closed(this);
        return false;
    }
    if (m_buffer.capacity() < kFlushSize)
        m_buffer.reserve(kFlushSize + 4096);
    return true;
}

void ExportTextFile::closeFile()
{
    if (m_file.isOpen())
        m_file.close();
    if (m_openFiles)
        m_openFiles->closed(this);
}

void ExportTextFile::fail(const QString& error)
{
    // Only the first failure is kept: it is the cause of the others.
    if (m_error.isEmpty())
        m_error = error.isEmpty() ? QStringLiteral("write error") : error;
}

void ExportTextFile::park()
{
    flushBuffer();
    closeFile();
    m_buffer = QByteArray(); // a parked file holds no memory
}

void ExportTextFile::reopenWhenParked()
{
    // Writing to a parked file takes it back among the open ones, so only those hold buffers.
    if (m_begun && !m_file.isOpen() && m_error.isEmpty())
        reopen();
}

void ExportTextFile::write(QStringView text)
{
    if (text.isEmpty())
        return;
    reopenWhenParked();
    if (m_lineEnds == AsWritten) {
        encode(text);
    } else {
        // Encoded piece by piece between line feeds, so that no converted copy of the text is made.
        qsizetype start = 0;
        for (qsizetype lineFeed = text.indexOf(u'\n'); lineFeed >= 0; lineFeed = text.indexOf(u'\n', start)) {
            encode(text.sliced(start, lineFeed - start));
            appendLineFeed(lineFeed > 0 ? text[lineFeed - 1] == u'\r' : m_lastWasCarriageReturn);
            start = lineFeed + 1;
        }
        encode(text.sliced(start));
        m_lastWasCarriageReturn = text.back() == u'\r';
    }
    flushWhenFull();
}

void ExportTextFile::write(QLatin1StringView text)
{
    if (text.isEmpty())
        return;
    reopenWhenParked();
    if (m_lineEnds == AsWritten) {
        m_buffer.append(text.data(), text.size());
    } else {
        qsizetype start = 0;
        for (qsizetype lineFeed = text.indexOf(u'\n'); lineFeed >= 0; lineFeed = text.indexOf(u'\n', start)) {
            m_buffer.append(text.data() + start, lineFeed - start);
            appendLineFeed(lineFeed > 0 ? text[lineFeed - 1] == QLatin1Char('\r') : m_lastWasCarriageReturn);
            start = lineFeed + 1;
        }
        m_buffer.append(text.data() + start, text.size() - start);
        m_lastWasCarriageReturn = text.back() == QLatin1Char('\r');
    }
    flushWhenFull();
}

void ExportTextFile::writeLine(QStringView text)
{
    write(text);
    write(QLatin1StringView("\n"));
}

void ExportTextFile::encode(QStringView text)
{
    if (text.isEmpty())
        return;
    const qsizetype used = m_buffer.size();
    m_buffer.resize(used + m_encoder.requiredSpace(text.size()));
    char* end = m_encoder.appendToBuffer(m_buffer.data() + used, text);
    m_buffer.resize(end - m_buffer.constData());
}

void ExportTextFile::appendLineFeed(bool afterCarriageReturn)
{
    if (afterCarriageReturn)
        m_buffer.append('\n');
    else
        m_buffer.append("\r\n", 2);
}

void ExportTextFile::flushWhenFull()
{
    if (m_openFiles)
        m_lastWritten = m_openFiles->tick();
    if (m_buffer.size() >= kFlushSize)
        flushBuffer();
}

void ExportTextFile::flushBuffer()
{
    if (m_buffer.isEmpty() || !m_begun)
        return;
    // After a failed write nothing more is written and commit() fails.
    if (m_error.isEmpty() && (m_file.isOpen() || reopen()) && m_file.write(m_buffer) != m_buffer.size())
        fail(m_file.errorString());
    m_buffer.resize(0); // keeps the allocation for the next round
}

bool ExportTextFile::commit()
{
    if (!m_begun)
        return false;
    flushBuffer();
    if (m_error.isEmpty() && (m_file.isOpen() || reopen()) && !syncFileToDisk(m_file))
        fail(m_file.errorString());
    closeFile();
    if (m_error.isEmpty()) {
        // Replaces an older file in one step where the system allows it.
        std::error_code error;
        std::filesystem::rename(fsPath(m_temporary), fsPath(m_target), error);
        if (error)
            fail(QString::fromStdString(error.message()));
    }
    if (!m_error.isEmpty()) {
        discard();
        return false;
    }
    m_begun = false;
    m_buffer = QByteArray();
    return true;
}

void ExportTextFile::discard()
{
    m_buffer = QByteArray();
    if (!m_begun)
        return;
    closeFile();
    QFile::remove(m_temporary);
    m_begun = false;
}

QString ExportTextFile::errorString() const
{
    return m_error.isEmpty() ? m_file.errorString() : m_error;
}

QString ExportTextFile::failureText() const
{
    return tr("%1 cannot be written: %2")
        .arg(QDir::toNativeSeparators(QFileInfo(m_target).absoluteFilePath()), errorString());
}
