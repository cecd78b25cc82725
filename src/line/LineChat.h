#pragma once

#include "line/LineUserSet.h"

#include <QDateTime>
#include <QString>

struct _LineGroup;
struct _LineUser;

// One chat, owned by a _LineData.
struct _LineChat
{
    enum Type : int
    {
        Single = 0, // one peer
        Multi = 1,  // multi-user room
        Group = 2,
    };

    qint64 id = 0;
    QString uid; // mid of the peer, room or group
    int type = Single;
    QDateTime lastUpdated;
    _LineGroup* group = nullptr; // not owned; may be null
    LineUserSet members;         // not owned

    // A group chat with a group: the group's title; otherwise the members' display names joined with ",".
    QString chatTitle(bool withMembers) const;

    // "single", "multi", "group" as the local database stores them; unknown types give "single".
    static QString typeWord(int type);
    // The type of a word, ignoring case; anything else is Single.
    static int typeFromWord(const QString& word);
};
