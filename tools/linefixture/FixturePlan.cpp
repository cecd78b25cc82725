#include "FixturePlan.h"

#include <QSet>
#include <array>

namespace {

constexpr std::array kGivenNames = {"Aiko",  "Haruto", "Yui",  "Sota",   "Mei",  "Ren",  "Hina",
                                    "Kaito", "Emma",   "Liam", "Olivia", "Noah", "Chen", "Wei",
                                    "Ling",  "Jun",    "Min",  "Sakura", "Yuki", "Taro"};
constexpr std::array kFamilyNames = {"Sato",  "Suzuki", "Takahashi", "Tanaka", "Wang", "Lin",
                                     "Chang", "Smith",  "Garcia",    "Kim",    "Ito",  "Yamamoto"};
constexpr std::array kLocalNames = {"佐藤 花子", "鈴木 一郎", "高橋 さくら", "田中 太郎", "王 小明",
                                    "林 美玲",   "張 志豪",   "山本 ゆい",   "伊藤 健",   "陳 怡君"};
constexpr std::array kGroupNames = {"Family 🏠",   "Tennis club", "大学の友達", "Project Ferro", "同學會",
                                    "Neighbours", "Book circle", "旅行 2019",  "Office lunch",  "Band"};

template <typename Array>
QString pick(const Array& values, FixtureRandom& random)
{
    return QString::fromUtf8(values[random.below(values.size())]);
}

// 2012-01-01 .. 2016-01-01 in Core Data seconds.
double createdTime(FixtureRandom& random)
{
    return 347155200.0 + double(random.below(4 * 365 * 86400)) + random.unit();
}

} // namespace

QString fixtureMid(char kind, FixtureRandom& random)
{
    QString mid{QLatin1Char(kind)};
    for (int i = 0; i < 2; ++i)
        mid += QStringLiteral("%1").arg(random.next(), 16, 16, QLatin1Char('0'));
    return mid;
}

FixturePlan FixturePlan::make(const LineFixtureOptions& options, FixtureRandom& random)
{
    FixturePlan plan;
    plan.ownerMid = options.ownerMid.isEmpty() ? fixtureMid('u', random) : options.ownerMid;

    qint64 pk = 0;
    for (int i = 0; i < options.users; ++i) {
        FixtureUser user;
        user.pk = ++pk;
        user.mid = fixtureMid('u', random);
        const bool local = random.chance(0.4);
        user.name = local ? pick(kLocalNames, random)
                          : pick(kGivenNames, random) + QLatin1Char(' ') + pick(kFamilyNames, random);
        if (random.chance(0.5))
            user.addressBookName = pick(kGivenNames, random) + QStringLiteral(" (book)");
        if (random.chance(0.15))
            user.customName = pick(kGivenNames, random) + QStringLiteral(" (custom)");
        user.pictureUrl = QStringLiteral("/os/p/") + user.mid;
        user.createdTime = createdTime(random);
        plan.users.append(user);
    }
    if (options.ownerInUsers) {
        FixtureUser owner;
        owner.pk = ++pk;
        owner.mid = plan.ownerMid;
        owner.name = options.ownerName;
        owner.createdTime = createdTime(random);
        plan.users.append(owner);
        plan.ownerPk = owner.pk;
    }

    const int contacts = options.users;
    auto randomUserPk = [&]() -> qint64 {
        return contacts > 0 ? qint64(random.below(quint64(contacts))) + 1 : 0;
    };
    auto someMembers = [&](int wanted) {
        QList<qint64> members;
        for (int tries = 0; members.size() < wanted && tries < wanted * 4; ++tries) {
            const qint64 member = randomUserPk();
            if (member > 0 && !members.contains(member))
                members.append(member);
        }
        return members;
    };

    const int total = options.chats + options.disabledChats;
    plan.enabledChats = options.chats;
    for (int i = 0; i < total; ++i) {
        FixtureChat chat;
        chat.pk = i + 1;
        chat.enabled = i < options.chats;
        // The first three enabled chats are one of each kind; the rest mostly single chats.
        if (i == 0 || !chat.enabled)
            chat.type = chat.enabled ? 0 : int(i % 2);
        else if (i == 1)
            chat.type = 2;
        else if (i == 2)
            chat.type = 1;
        else {
            const double kind = random.unit();
            chat.type = kind < 0.6 ? 0 : (kind < 0.75 ? 1 : 2);
        }
        if (chat.type == 0) {
            // One chat per peer while peers last; afterwards a peer may have two (a real store has that
            // after a re-added friend).
            chat.peerPk = (i < contacts) ? qint64(i) + 1 : randomUserPk();
            chat.mid = chat.peerPk > 0 ? plan.users[int(chat.peerPk - 1)].mid : fixtureMid('u', random);
            if (chat.peerPk > 0)
                chat.memberPks.append(chat.peerPk);
        } else if (chat.type == 1) {
            chat.mid = fixtureMid('r', random);
            chat.memberPks = someMembers(2 + int(random.below(5)));
        } else {
            FixtureGroup group;
            group.pk = plan.groups.size() + 1;
            group.id = fixtureMid('c', random);
            group.name = pick(kGroupNames, random);
            group.pictureStatus =
                QStringLiteral("0h%1").arg(random.next() % 100000000, 8, 10, QLatin1Char('0'));
            group.memberPks = someMembers(3 + int(random.below(8)));
            group.creatorPk = group.memberPks.isEmpty() ? 0 : group.memberPks.first();
            group.createdTime = createdTime(random);
            chat.mid = group.id;
            chat.groupIndex = int(plan.groups.size());
            plan.groups.append(group);
        }
        plan.chats.append(chat);
    }
    // Single chats whose peer repeats a mid would make two chats with one uid; keep mids unique.
    QSet<QString> seen;
    for (FixtureChat& chat : plan.chats) {
        if (seen.contains(chat.mid)) {
            chat.mid = fixtureMid('u', random);
            chat.peerPk = 0;
            chat.memberPks.clear();
        }
        seen.insert(chat.mid);
    }

    plan.stickerPackages = {
        {1, 100, 1, 40}, {2, 3, 100, 140}, {446, 1, 1988, 2027}, {11537, 2, 52002734, 52002773}};
    return plan;
}

const FixtureUser* FixturePlan::user(qint64 pk) const
{
    return pk >= 1 && pk <= users.size() ? &users[int(pk - 1)] : nullptr;
}

QList<qint64> FixturePlan::sendersOf(const FixtureChat& chat) const
{
    if (chat.groupIndex >= 0)
        return groups[chat.groupIndex].memberPks;
    return chat.memberPks;
}
