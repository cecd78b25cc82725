#include "export/ExportMessagesCsv.h"

#include "export/ExportDateTime.h"
#include "line/LineChat.h"
#include "line/LineUser.h"

#include <stdexcept>

QString csvField(const QString& text)
{
    bool quote = false;
    qsizetype quotes = 0;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            ++quotes;
        else if (c == QLatin1Char('\n') || c == QLatin1Char(','))
            quote = true;
    }
    if (quotes == 0 && !quote)
        return text;
    QString out;
    out.reserve(text.size() + quotes + 2);
    out += QLatin1Char('"');
    for (QChar c : text) {
        out += c;
        if (c == QLatin1Char('"'))
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
        throw std::runtime_error(m_file.errorString().toStdString());
    m_file.write(QLatin1StringView("date,send,user,content\n"));
}

void ExportMessagesCsv::writeMessage(const _LineMsg& message)
{
    QString user;
    if (message.chat) {
        if (message.chat->type == _LineChat::Single || message.isOutgoing())
            user = csvField(message.chat->chatTitle(false));
        else
            user = csvField(message.sender->displayName());
    }
    const QString text = csvField(message.displayText());

    QString row;
    row.reserve(32 + user.size() + text.size());
    appendIsoDateTime(row, message.time);
    row += message.isOutgoing() ? QLatin1String(",1,") : QLatin1String(",0,");
    row += user;
    row += QLatin1Char(',');
    row += text;
    row += QLatin1Char('\n');
    m_file.write(row);
}

void ExportMessagesCsv::end()
{
    if (!m_file.commit())
        throw std::runtime_error(m_file.errorString().toStdString());
}
