#pragma once

#include "FixtureRandom.h"
#include "LineFixtureOptions.h"

#include <QList>
#include <QString>

// The people and conversations of one fixture store, planned before anything is written.
struct FixtureUser
{
    qint64 pk = 0;
    QString mid;
    QString addressBookName;
    QString name;
    QString customName;
    QString pictureUrl;
    double createdTime = 0; // Core Data seconds
};

struct FixtureGroup
{
    qint64 pk = 0;
    QString id;
    QString name;
    QString pictureStatus;
    qint64 creatorPk = 0; // a ZUSER row
    double createdTime = 0;
    QList<qint64> memberPks; // ZUSER rows; the owner is never listed
};

struct FixtureChat
{
    qint64 pk = 0;
    QString mid;
    int type = 0; // 0 single, 1 multi, 2 group
    bool enabled = true;
    QList<qint64> memberPks; // rows of the chat-members join table
    int groupIndex = -1;     // into FixturePlan::groups for group chats
    qint64 peerPk = 0;       // single chats: the other user
};

struct FixtureStickerPackage
{
    qint64 packageId = 0;
    int version = 0;
    int firstStickerId = 0;
    int lastStickerId = 0;
};

struct FixturePlan
{
    QString ownerMid;
    qint64 ownerPk = 0; // 0 unless the owner has a ZUSER row
    QList<FixtureUser> users;
    QList<FixtureChat> chats; // enabled first, then disabled
    QList<FixtureGroup> groups;
    QList<FixtureStickerPackage> stickerPackages;
    int enabledChats = 0;

    static FixturePlan make(const LineFixtureOptions& options, FixtureRandom& random);

    const FixtureUser* user(qint64 pk) const;
    // The users who may send into a chat (never the owner).
    QList<qint64> sendersOf(const FixtureChat& chat) const;
};

// "u", "c" or "r" followed by 32 lower-case hex digits, as LINE's mids look.
QString fixtureMid(char kind, FixtureRandom& random);
