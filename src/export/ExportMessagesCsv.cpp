#include "export/ExportMessagesCsv.h"

#include "export/ExportDateTime.h"
#include "line/LineChat.h"
#include "line/LineUser.h"

#include <stdexcept>

namespace {
// A carriage return is a line break to spreadsheets and CSV readers as much as a line feed is, so a field
// holding one is quoted too, or the reader splits the record there.
bool needsQuotes(QStringView text)
{
    for (QChar c : text) {
        if (c == u'"' || c == u'\n' || c == u'\r' || c == u',')
            return true;
    }
    return false;
}
} // namespace

QString csvField(const QString& text)
{
    if (!needsQuotes(text))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    out += QLatin1Char('"');
    for (QChar c : text) {
        out += c;
        if (c == u'"')
            out += c;
    }
    out += QLatin1Char('"');
    return out;
}

ExportMessagesCsv::ExportMessagesCsv(const QString& path) : m_file(path)
{
}

void ExportMessagesCsv::begin()
{
    if (!m_file.open())
        throw std::runtime_error(m_file.failureText().toStdString());
    m_file.write(QLatin1StringView("date,send,user,content\n"));
}

void ExportMessagesCsv::writeMessage(const _LineMsg& message)
{
    char time[kIsoDateTimeSize];
    m_file.write(QLatin1StringView(time, formatIsoDateTime(time, message.time)));
    m_file.write(message.isOutgoing() ? QLatin1StringView(",1,") : QLatin1StringView(",0,"));
    if (message.chat) {
        if (message.chat->type == _LineChat::Single || message.isOutgoing())
            writeField(chatTitle(message.chat));
        else
            writeField(message.sender->displayName());
    }
    m_file.write(QLatin1StringView(","));
    writeField(message.displayText());
    m_file.write(QLatin1StringView("\n"));
}

void ExportMessagesCsv::writeField(QStringView text)
{
    if (!needsQuotes(text)) {
        m_file.write(text);
        return;
    }
    // csvField written in pieces: the quotes doubled, the whole enclosed.
    m_file.write(QLatin1StringView("\""));
    qsizetype start = 0;
    for (qsizetype quote = text.indexOf(u'"'); quote >= 0; quote = text.indexOf(u'"', start)) {
        m_file.write(text.sliced(start, quote + 1 - start));
        m_file.write(QLatin1StringView("\""));
        start = quote + 1;
    }
    m_file.write(text.sliced(start));
    m_file.write(QLatin1StringView("\""));
}

const QString& ExportMessagesCsv::chatTitle(const _LineChat* chat)
{
    auto it = m_chatTitles.constFind(chat);
    if (it == m_chatTitles.cend())
        it = m_chatTitles.insert(chat, chat->chatTitle(false));
    return *it;
}

void ExportMessagesCsv::end()
{
    if (!m_file.commit())
        throw std::runtime_error(m_file.failureText().toStdString());
}
