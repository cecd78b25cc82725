#include "export/ExportMessagesTxt.h"

#include "line/LineChat.h"
#include "line/LineUser.h"

#include <QCoreApplication>
#include <stdexcept>

// The format is the system's, with the user's own settings; names and digits come from the locale data of
// the system's language, which answers without asking the system each time.
ExportMessagesTxt::ExportMessagesTxt(const QString& path)
    : m_file(path), m_dateTimeFormat(QLocale(QLocale::system().name()),
                                     QLocale::system().dateTimeFormat(QLocale::ShortFormat))
{
}

void ExportMessagesTxt::begin()
{
    if (!m_file.open())
        throw std::runtime_error(m_file.failureText().toStdString());
}

void ExportMessagesTxt::writeMessage(const _LineMsg& message)
{
    m_file.write(QLatin1StringView("Date: "));
    m_file.write(m_dateTimeFormat.format(message.time));
    if (message.isOutgoing()) {
        m_file.write(QLatin1StringView("\nTo: "));
        m_file.write(message.chat ? chatTitle(message.chat)
                                  : QCoreApplication::translate("_LineUser", "Unknown"));
    } else {
        m_file.write(QLatin1StringView("\nFrom: "));
        m_file.write(message.sender->displayName());
    }
    m_file.write(QLatin1StringView("\n"));
    m_file.write(message.displayText());
    m_file.write(QLatin1StringView("\n\n"));
}

const QString& ExportMessagesTxt::chatTitle(const _LineChat* chat)
{
    auto it = m_chatTitles.constFind(chat);
    if (it == m_chatTitles.cend())
        it = m_chatTitles.insert(chat, chat->chatTitle(false));
    return *it;
}

void ExportMessagesTxt::end()
{
    if (!m_file.commit())
        throw std::runtime_error(m_file.failureText().toStdString());
}
