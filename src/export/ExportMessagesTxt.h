#pragma once

#include "export/AbsFormatExport.h"
#include "export/CachedDateTimeFormat.h"
#include "export/ExportTextFile.h"
#include "line/LineMsg.h"

#include <QHash>

// Plain text, also used for ".doc" files: for each message "Date: <short local date and time>",
// "From: <sender>" (or "To: <chat title>" for the owner's messages), the one-line text and an empty line.
class ExportMessagesTxt : public AbsFormatExport<_LineMsg>
{
public:
    explicit ExportMessagesTxt(const QString& path);

    void begin() override;
    void writeMessage(const _LineMsg& message) override;
    void end() override;

private:
    // Titles are built from the members' names; chats do not change during an export.
    const QString& chatTitle(const _LineChat* chat);

    ExportTextFile m_file;
    QHash<const _LineChat*, QString> m_chatTitles;
    CachedDateTimeFormat m_dateTimeFormat;
};
