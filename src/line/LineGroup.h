#pragma once

#include "line/LineUserSet.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

struct _LineUser;

// One LINE group, owned by a _LineData.
struct _LineGroup
{
    Q_DECLARE_TR_FUNCTIONS(_LineGroup)

public:
    qint64 id = 0;
    QString uid; // LINE group id
    QString name;
    QDateTime createdTime;
    QString pictureStatus;
    _LineUser* creator = nullptr; // not owned; may be null
    LineUserSet members;          // not owned

    // "[GROUP] name", with members "[GROUP] name: a,b,c"; a group without a name is its members' names
    // joined with ",".
    QString groupTitle(bool withMembers) const;
    // The members' display names joined with ",".
    QString memberNames() const;
};
