#pragma once

#include "line/LineMsg.h"

#include <QDir>
#include <QString>

class ExportOutputLog;

// The media of exported messages, copied into the export's files folder so that the pages can link them
// beside themselves. Each copy keeps its file's name, made unique in the folder; copies, and the folder
// when it is created here, are recorded in the log when one is given, so that a cancelled export takes
// them back. A file that is missing is not copied, silently: its name is still handed out, and the page
// then links a name with nothing behind it.
class ExportMediaFiles
{
public:
    // The names in the folder that one message's media got.
    struct Names
    {
        QString file;    // what the message links to; empty for types without media
        QString picture; // what a photo or video shows; empty when there is no picture to show
    };

    // Creates the folder when missing.
    ExportMediaFiles(const QString& folder, ExportOutputLog* log);

    // Photo: the photo, or its thumbnail when the photo is missing (".jpg" added to a name without a
    // suffix), which is also the picture when that file exists. Video: the video, then its thumbnail
    // (".jpg" added likewise) as the picture when it exists. Voice note and file: the file. Other types:
    // nothing.
    Names copy(const _LineMsg& message);

    // Copies a file into the folder under its own name (defaultSuffix appended when the name has no
    // suffix), made unique with a "(n)" when taken, and returns the name used; the name is returned even
    // when there was nothing to copy.
    QString copyIntoFiles(const QString& path, const QString& defaultSuffix);

private:
    QDir m_folder;
    ExportOutputLog* m_log;
};
