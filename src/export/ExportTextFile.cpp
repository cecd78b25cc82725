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
    m_buffer.resize(0);
    return m_file.open(QIODevice::WriteOnly);
}

void ExportTextFile::write(QStringView text)
{
    if (text.isEmpty())
        return;
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
    m_buffer.resize(0); // keeps the allocation for the next round
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
