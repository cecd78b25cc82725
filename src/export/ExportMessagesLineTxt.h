#pragma once

#include "export/AbsFormatExport.h"
#include "export/ExportTextFile.h"
#include "line/LineMsg.h"

#include <QDate>
#include <QDateTime>

class ExportOutputLog;

// One chat in the layout of LINE's own chat-history text: a heading ("Chat history in "<group>"" or
// "Chat history with <name>", then "Saved on: MM/dd/yyyy, hh:mm AP"), an empty line and
// "ddd, M/d/yyyy" before each new day, and one line per message: "hh:mm", tab, sender, tab, text.
class ExportMessagesLineTxt : public AbsFormatExport<_LineMsg>
{
public:
    // An empty owner name becomes "Me". savedOn defaults to the time begin() runs. The file, once put in
    // place by end(), is recorded in log when one is given.
    ExportMessagesLineTxt(const QString& ownerName, const QString& title, bool isGroup, const QString& path,
                          ExportOutputLog* log = nullptr, const QDateTime& savedOn = QDateTime());

    // Shares the export's bound on open files; set before begin().
    void setOpenFiles(ExportOpenFiles* openFiles) { m_file.setOpenFiles(openFiles); }

    void begin() override;
    void writeMessage(const _LineMsg& message) override;
    void end() override;

private:
    QString m_ownerName;
    QString m_title;
    bool m_isGroup;
    QString m_path;
    ExportTextFile m_file;
    QDate m_lastDay;
    ExportOutputLog* m_log;
    QDateTime m_savedOn;
};
