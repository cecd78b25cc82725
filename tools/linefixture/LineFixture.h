#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// What the builder made, for tests to compare a reader's results with.
struct LineFixtureUser
{
    qint64 pk = 0;
    QString mid;
    QString addressBookName;
    QString name;
    QString customName;
};

struct LineFixtureChat
{
    qint64 pk = 0;
    QString mid;
    int type = 0; // 0 single, 1 multi-user room, 2 group
    bool enabled = true;
    QStringList memberMids; // without the owner, in the order the builder linked them
    QString groupId;        // group chats
    QString groupName;
    QStringList groupMemberMids; // without the owner
    qint64 visibleMessages = 0;  // rows a reader lists: real id, sane time, known content type
};

struct LineFixture
{
    QString appRoot;
    QString ownerMid;
    QString ownerName;
    QString ownerTel;
    QString accountPrefix;          // relative, ends with "/"
    QString storeRelativePath;      // relative to appRoot
    QString groupStoreRelativePath; // empty without UnifiedGroup.sqlite
    QList<LineFixtureUser> users;
    QList<LineFixtureChat> chats; // enabled and disabled
    qint64 visibleMessages = 0;
    qint64 messageRows = 0;
    // Catalogue name (LineFixtureSpecial) -> message id (ZID) of that row.
    QHash<QString, QString> special;

    QString storePath() const;
    QString groupStorePath() const; // empty without one
    const LineFixtureChat* chatByMid(const QString& mid) const;
    const LineFixtureUser* userByMid(const QString& mid) const;
};
