#pragma once

#include "line/LineMsg.h"
#include "line/LineStickerFiles.h"

#include <QDir>
#include <QHash>
#include <QString>

class ExportOutputLog;

// The media of exported messages, copied into the export's files folder so that the pages can link them
// beside themselves. Each copy keeps its file's name, made unique in the folder, unless the folder
// already holds the same bytes under that name or a numbered form of it (an earlier export into the
// folder, or the same file for another message): that file is linked instead of copying again. Copies,
// and the folder when it is created here, are recorded in the log when one is given, so that a cancelled
// export takes them back (a file that was already there stays). A file that is missing is not copied,
// silently: its name is still handed out, and the page then links a name with nothing behind it.
class ExportMediaFiles
{
public:
    // The names in the folder that one message's media got.
    struct Names
    {
        QString file;    // what the message links to; empty for types without media
        QString picture; // what a photo, video or sticker shows; empty when there is no picture to show
    };

    // Creates the folder when missing.
    ExportMediaFiles(const QString& folder, ExportOutputLog* log);

    // Where sticker images come from; none by default.
    void setStickerFiles(const LineStickerFiles& stickers) { m_stickers = stickers; }

    // Photo: the photo, or its thumbnail when the photo is missing (".jpg" added to a name without a
    // suffix), which is also the picture when that file exists. Video: the video, then its thumbnail
    // (".jpg" added likewise) as the picture when it exists. Voice note and file: the file. Sticker: its
    // image from the sticker files as the picture, when there is one. Other types: nothing.
    Names copy(const _LineMsg& message);

    // Copies a file into the folder under its own name (defaultSuffix appended when the name has no
    // suffix), made unique with a "(n)" when taken, and returns the name used; the name is returned even
    // when there was nothing to copy.
    QString copyIntoFiles(const QString& path, const QString& defaultSuffix);

private:
    QDir m_folder;
    ExportOutputLog* m_log;
    LineStickerFiles m_stickers;
    QHash<QString, QString> m_copied; // source path -> name in the folder, for files met again
};
