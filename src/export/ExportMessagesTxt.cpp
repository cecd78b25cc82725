#include "export/ExportMessagesTxt.h"

#include "line/LineChat.h"
#include "line/LineUser.h"

#include <QCoreApplication>
#include <stdexcept>

ExportMessagesTxt::ExportMessagesTxt(const QString& path)
    : m_file(path), m_locale(QLocale::system()),
      m_dateTimeFormat(m_locale.dateTimeFormat(QLocale::ShortFormat))
{
}

void ExportMessagesTxt::begin()
{
    if (!m_file.open())
        throw std::runtime_error(m_file.errorString().toStdString());
}

void ExportMessagesTxt::writeMessage(const _LineMsg& message)
{
    QString name;
    if (!message.isOutgoing())
        name = message.sender->displayName();
    else if (message.chat)
        name = message.chat->chatTitle(false);
    else
        name = QCoreApplication::translate("_LineUser", "Unknown");

    QString record;
    record.reserve(64 + name.size() + message.text.size());
    record += QLatin1String("Date: ");
    record += m_locale.toString(message.time, m_dateTimeFormat);
    record += message.isOutgoing() ? QLatin1String("\nTo: ") : QLatin1String("\nFrom: ");
    record += name;
    record += QLatin1Char('\n');
    record += message.displayText();
    record += QLatin1String("\n\n");
    m_file.write(record);
}

void ExportMessagesTxt::end()
{
    if (!m_file.commit())
        throw std::runtime_error(m_file.errorString().toStdString());
}
