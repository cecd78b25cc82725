#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>

class ExportOutputLog;

// The "index.html" of a web page export: a table of the exported chats (name, message count, first and
// last message) linking each chat's first page.
class ExportIndexPage
{
    Q_DECLARE_TR_FUNCTIONS(ExportIndexPage)

public:
    static const QString FileName; // "index.html"

    struct Chat
    {
        QString title;
        QString fileName; // the chat's first page, beside the index
        qint64 messages = 0;
        QDateTime first;
        QDateTime last;
    };

    // Writes folder/index.html in one piece (replacing an older one), recorded in log when it is new.
    // Throws std::runtime_error with the path when it cannot be written.
    static void write(const QString& folder, const QList<Chat>& chats, ExportOutputLog* log);
};
