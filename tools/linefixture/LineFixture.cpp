#include "LineFixture.h"

#include <QDir>

QString LineFixture::storePath() const
{
    return QDir(appRoot).filePath(storeRelativePath);
}

QString LineFixture::groupStorePath() const
{
    return groupStoreRelativePath.isEmpty() ? QString() : QDir(appRoot).filePath(groupStoreRelativePath);
}

const LineFixtureChat* LineFixture::chatByMid(const QString& mid) const
{
    for (const LineFixtureChat& chat : chats) {
        if (chat.mid == mid)
            return &chat;
    }
    return nullptr;
}

const LineFixtureUser* LineFixture::userByMid(const QString& mid) const
{
    for (const LineFixtureUser& user : users) {
        if (user.mid == mid)
            return &user;
    }
    return nullptr;
}
