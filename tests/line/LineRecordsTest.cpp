#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineGroup.h"
#include "line/LineUser.h"

#include <gtest/gtest.h>

namespace {

_LineUser named(const QString& addressBook, const QString& custom, const QString& server)
{
    _LineUser user;
    user.addressBookName = addressBook;
    user.customName = custom;
    user.name = server;
    return user;
}

std::unique_ptr<_LineUser> newUser(qint64 id, const QString& name)
{
    auto user = std::make_unique<_LineUser>();
    user->id = id;
    user->uid = QStringLiteral("u%1").arg(id);
    user->name = name;
    return user;
}

} // namespace

TEST(LineUserNames, DisplayNamePrecedence)
{
    EXPECT_EQ(named("Book", "Custom", "Server").displayName(), "Book");
    EXPECT_EQ(named("", "Custom", "Server").displayName(), "Custom");
    EXPECT_EQ(named("", "", "Server").displayName(), "Server");
    EXPECT_EQ(named("", "", "").displayName(), "Unknown");
}

TEST(LineUserSetOrder, InsertionOrderWithoutDuplicates)
{
    _LineUser a, b, c;
    LineUserSet set;
    EXPECT_TRUE(set.insert(&b));
    EXPECT_TRUE(set.insert(&a));
    EXPECT_FALSE(set.insert(&b));
    EXPECT_FALSE(set.insert(nullptr));
    EXPECT_TRUE(set.insert(&c));
    EXPECT_EQ(set.values(), (QList<_LineUser*>{&b, &a, &c}));
    EXPECT_EQ(set.first(), &b);
    EXPECT_TRUE(set.remove(&a));
    EXPECT_FALSE(set.remove(&a));
    EXPECT_FALSE(set.contains(&a));
    EXPECT_EQ(set.values(), (QList<_LineUser*>{&b, &c}));
    set.clear();
    EXPECT_TRUE(set.isEmpty());
    EXPECT_EQ(set.first(), nullptr);
}

TEST(LineTitles, GroupTitle)
{
    _LineUser taro = named("Taro", "", ""), hanako = named("", "", "Hanako");
    _LineGroup group;
    group.name = "Family";
    EXPECT_EQ(group.groupTitle(false), "[GROUP] Family");
    EXPECT_EQ(group.groupTitle(true), "[GROUP] Family: ");
    group.members.insert(&taro);
    group.members.insert(&hanako);
    EXPECT_EQ(group.groupTitle(false), "[GROUP] Family");
    EXPECT_EQ(group.groupTitle(true), "[GROUP] Family: Taro,Hanako");
    group.name.clear();
    EXPECT_EQ(group.groupTitle(false), "Taro,Hanako");
    EXPECT_EQ(group.groupTitle(true), "Taro,Hanako");
}

TEST(LineTitles, ChatTitle)
{
    _LineUser taro = named("Taro", "", ""), nobody = named("", "", "");
    _LineGroup group;
    group.name = "%1 club";
    group.members.insert(&taro);
    _LineChat chat;
    EXPECT_EQ(chat.chatTitle(true), "");
    chat.members.insert(&taro);
    chat.members.insert(&nobody);
    EXPECT_EQ(chat.chatTitle(false), "Taro,Unknown");
    // A group chat without its group falls back to the members; a multi room never uses a group.
    chat.type = _LineChat::Group;
    EXPECT_EQ(chat.chatTitle(true), "Taro,Unknown");
    chat.group = &group;
    EXPECT_EQ(chat.chatTitle(false), "[GROUP] %1 club");
    EXPECT_EQ(chat.chatTitle(true), "[GROUP] %1 club: Taro");
    chat.type = _LineChat::Multi;
    EXPECT_EQ(chat.chatTitle(true), "Taro,Unknown");
}

TEST(LineChatTypes, Words)
{
    EXPECT_EQ(_LineChat::typeWord(_LineChat::Single), "single");
    EXPECT_EQ(_LineChat::typeWord(_LineChat::Multi), "multi");
    EXPECT_EQ(_LineChat::typeWord(_LineChat::Group), "group");
    EXPECT_EQ(_LineChat::typeWord(7), "single");
    EXPECT_EQ(_LineChat::typeFromWord("GROUP"), _LineChat::Group);
    EXPECT_EQ(_LineChat::typeFromWord("Multi"), _LineChat::Multi);
    EXPECT_EQ(_LineChat::typeFromWord("room"), _LineChat::Single);
}

TEST(LineDataRecords, LookupsInsertsAndReplacement)
{
    _LineData data(nullptr);
    EXPECT_EQ(data.pageSize(), 5000);
    EXPECT_EQ(data.user(1), nullptr);
    EXPECT_EQ(data.insertUser(nullptr), nullptr);
    _LineUser* first = data.insertUser(newUser(2, "first"));
    data.insertUser(newUser(1, "one"));
    EXPECT_EQ(data.user(2), first);

    // A member set still pointing at the replaced record stays valid.
    auto chat = std::make_unique<_LineChat>();
    chat->id = 10;
    chat->members.insert(first);
    _LineChat* chatRecord = data.insertChat(std::move(chat));
    _LineUser* second = data.insertUser(newUser(2, "second"));
    EXPECT_EQ(data.user(2), second);
    EXPECT_EQ(data.users().size(), 2);
    EXPECT_EQ(chatRecord->members.first()->name, "first");

    auto group = std::make_unique<_LineGroup>();
    group->id = 5;
    _LineGroup* groupRecord = data.insertGroup(std::move(group));
    EXPECT_EQ(data.group(5), groupRecord);
    EXPECT_EQ(data.chat(10), chatRecord);
    EXPECT_EQ(data.usersById().first()->name, "one");
    EXPECT_EQ(data.usersById().last(), second);
}

TEST(LineDataRecords, PageSizeAndCacheKey)
{
    _LineData data(nullptr, 0);
    EXPECT_EQ(data.pageSize(), 5000);
    EXPECT_EQ(data.cachedChat(), nullptr);
    EXPECT_EQ(data.cachedPageNumber(), 0);
    EXPECT_TRUE(data.cachedAscending());
    EXPECT_FALSE(data.cacheHolds(nullptr, 0, true));
    _LineChat chat;
    data.setCachedPage(&chat, 3, false, {_LineMsg()});
    EXPECT_TRUE(data.cacheHolds(&chat, 3, false));
    EXPECT_FALSE(data.cacheHolds(&chat, 3, true));
    EXPECT_FALSE(data.cacheHolds(&chat, 2, false));
    EXPECT_FALSE(data.cacheHolds(nullptr, 3, false));
    data.clearCachedPage();
    EXPECT_FALSE(data.cacheHolds(&chat, 3, false));
    EXPECT_TRUE(data.cachedMessages().isEmpty());
}
