#pragma once

#include "export/AbsFormatExport.h"
#include "export/ExportTextFile.h"
#include "line/LineMsg.h"

#include <QHash>

// The CSV quoting rule: double quotes are doubled, and a text holding a double quote, a line feed, a
// carriage return or a comma is enclosed in double quotes.
QString csvField(const QString& text);

// CSV with the heading "date,send,user,content": the time as "yyyy-MM-dd hh:mm:ss", 1 for the owner's
// messages and 0 for received ones, the user (the chat title in single chats and for the owner's
// messages, else the sender's name; empty without a chat) and the one-line text.
class ExportMessagesCsv : public AbsFormatExport<_LineMsg>
{
public:
    explicit ExportMessagesCsv(const QString& path);

    void begin() override;
    void writeMessage(const _LineMsg& message) override;
    void end() override;

private:
    void writeField(QStringView text);
    // Titles are built from the members' names; chats do not change during an export.
    const QString& chatTitle(const _LineChat* chat);

    ExportTextFile m_file;
    QHash<const _LineChat*, QString> m_chatTitles;
};
