#include "export/ExportMessagesLineTxt.h"

#include "export/ExportOutputLog.h"
#include "line/LineUser.h"

#include <QFileInfo>
#include <stdexcept>

ExportMessagesLineTxt::ExportMessagesLineTxt(const QString& ownerName, const QString& title, bool isGroup,
                                             const QString& path, ExportOutputLog* log,
                                             const QDateTime& savedOn)
    : m_ownerName(ownerName.isEmpty() ? QStringLiteral("Me") : ownerName), m_title(title), m_isGroup(isGroup),
      m_path(path), m_file(path), m_log(log), m_savedOn(savedOn)
{
}

void ExportMessagesLineTxt::begin()
{
    if (!m_file.open())
        throw std::runtime_error(m_file.failureText().toStdString());
    const QDateTime savedOn = m_savedOn.isValid() ? m_savedOn : QDateTime::currentDateTime();
    m_file.writeLine(m_isGroup ? QStringLiteral("Chat history in \"%1\"").arg(m_title)
                               : QStringLiteral("Chat history with %1").arg(m_title));
    m_file.writeLine(
        QStringLiteral("Saved on: %1").arg(savedOn.toString(QStringLiteral("MM/dd/yyyy, hh:mm AP"))));
}

void ExportMessagesLineTxt::writeMessage(const _LineMsg& message)
{
    const QDate day = message.time.date();
    if (day != m_lastDay) {
        m_lastDay = day;
        m_file.write(QLatin1StringView("\n"));
        m_file.writeLine(day.toString(QStringLiteral("ddd, M/d/yyyy")));
    }
    QString line = message.time.toString(QStringLiteral("hh:mm"));
    line += QLatin1Char('\t');
    line += message.isOutgoing() ? m_ownerName : message.sender->displayName();
    line += QLatin1Char('\t');
    line += message.displayText();
    m_file.writeLine(line);
}

void ExportMessagesLineTxt::end()
{
    const bool replaced = QFileInfo::exists(m_path);
    if (!m_file.commit())
        throw std::runtime_error(m_file.failureText().toStdString());
    if (m_log && !replaced)
        m_log->addFile(m_path);
}
