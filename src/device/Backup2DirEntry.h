#pragma once

#include <QDateTime>
#include <QString>

// One entry of a backup folder as the device sees it in a DLContentsOfDirectory answer.
struct Backup2DirEntry
{
    enum Type
    {
        File = 1,
        Directory = 2,
    };

    QString name;
    int type = File;
    qint64 size = 0;
    QDateTime mtime;
};
