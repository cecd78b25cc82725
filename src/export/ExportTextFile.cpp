#include "export/ExportTextFile.h"

namespace {
// Large enough that writing costs few system calls, small enough to be irrelevant for memory.
constexpr qsizetype kFlushSize = 256 * 1024;
} // namespace

ExportTextFile::ExportTextFile(const QString& path, LineEnds lineEnds) : m_file(path), m_lineEnds(lineEnds)
{
    m_buffer.reserve(kFlushSize + 4096);
}

ExportTextFile::~ExportTextFile()
{
    discard();
}

bool ExportTextFile::open()
{
    m_error.clear();
    m_lastWasCarriageReturn = false;
    m_buffer.clear();
    return m_file.open(QIODevice::WriteOnly);
}

void ExportTextFile::write(QStringView text)
{
    appendUtf8(text.toUtf8());
}

void ExportTextFile::write(QLatin1StringView text)
{
    appendUtf8(QByteArray::fromRawData(text.data(), text.size()));
}

void ExportTextFile::writeLine(QStringView text)
{
    write(text);
    write(QLatin1StringView("\n"));
}

void ExportTextFile::appendUtf8(const QByteArray& utf8)
{
    if (utf8.isEmpty())
        return;
    if (m_lineEnds == AsWritten) {
        m_buffer.append(utf8);
    } else {
        const char* data = utf8.constData();
        const qsizetype size = utf8.size();
        qsizetype copied = 0;
        for (qsizetype i = 0; i < size; ++i) {
            if (data[i] != '\n')
                continue;
            const bool afterCarriageReturn = i > 0 ? data[i - 1] == '\r' : m_lastWasCarriageReturn;
            if (afterCarriageReturn)
                continue;
            m_buffer.append(data + copied, i - copied);
            m_buffer.append('\r');
            copied = i; // the line feed itself goes with the next piece
        }
        m_buffer.append(data + copied, size - copied);
        m_lastWasCarriageReturn = data[size - 1] == '\r';
    }
    if (m_buffer.size() >= kFlushSize)
        flushBuffer();
}

void ExportTextFile::flushBuffer()
{
    if (m_buffer.isEmpty() || !m_file.isOpen())
        return;
    // After a failed write nothing more is written and commit() fails; the first error's text is kept.
    if (m_error.isEmpty() && m_file.write(m_buffer) != m_buffer.size()) {
        m_error = m_file.errorString();
        m_file.cancelWriting();
    }
    m_buffer.clear();
}

bool ExportTextFile::commit()
{
    if (!m_file.isOpen())
        return false;
    flushBuffer();
    if (m_file.commit())
        return true;
    if (m_error.isEmpty())
        m_error = m_file.errorString();
    return false;
}

void ExportTextFile::discard()
{
    m_buffer.clear();
    if (!m_file.isOpen())
        return;
    // A cancelled commit closes the file and removes the temporary copy.
    m_file.cancelWriting();
    m_file.commit();
}

QString ExportTextFile::errorString() const
{
    return m_error.isEmpty() ? m_file.errorString() : m_error;
}
