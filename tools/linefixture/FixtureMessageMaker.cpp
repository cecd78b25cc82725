#include "FixtureMessageMaker.h"

#include "FixtureMedia.h"
#include "FixturePlist.h"
#include "LineFixtureSpecial.h"
#include "app/Decomposition.h"
#include "app/FileNames.h"

#include <array>
#include <cmath>

namespace {

constexpr qint64 kSpecialStart = 1433116800000;  // 2015-06-01
constexpr qint64 kOrdinaryStart = 1451606400000; // 2016-01-01
constexpr qint64 kAbsurdTime = 9999999999999;

constexpr std::array kWords = {"hello",  "see",        "you",     "tomorrow", "at", "the",    "station",
                               "thanks", "lunch",      "meeting", "photo",    "ok", "great",  "late",
                               "今日",   "ありがとう", "また",    "明日",     "駅", "ランチ", "了解",
                               "謝謝",   "晚點",       "見面",    "😀",        "🎉",  "train",  "coffee"};

QByteArray codePoint(char32_t value)
{
    return QString::fromUcs4(&value, 1).toUtf8();
}

// Two plane-16 code points, one more, then the closing U+10FFFF (or U+FFFD when damaged).
QByteArray emojiRun(FixtureRandom& random, bool damaged)
{
    QByteArray run = codePoint(0x100001 + char32_t(random.below(0x40))) +
                     codePoint(0x100000 + char32_t(random.below(0x300)));
    run += codePoint(0x100000 + char32_t(random.below(0x300)));
    run += damaged ? QByteArray("\xEF\xBF\xBD") : codePoint(0x10FFFF);
    return run;
}

QByteArray stickerMetadata(int stickerId, int packageId, int version)
{
    return FixturePlist::binaryDict({{QStringLiteral("STKVER"), QString::number(version)},
                                     {QStringLiteral("STKID"), QString::number(stickerId)},
                                     {QStringLiteral("STKOPT"), QString()},
                                     {QStringLiteral("STKPKGID"), QString::number(packageId)}});
}

} // namespace

bool FixtureMessage::listable() const
{
    static const QList<int> known = {0, 107, 1, 2, 3, 7, 13, 14, 100, 112};
    return id && !id->isEmpty() && timestamp < 4000000000000 && known.contains(contentType);
}

FixtureMessageMaker::FixtureMessageMaker(const FixturePlan& plan, const LineFixtureOptions& options,
                                         QString accountPrefix, FixtureRandom& random)
    : m_plan(plan), m_options(options), m_prefix(std::move(accountPrefix)), m_random(random),
      m_time(kSpecialStart)
{
    for (int i = 0; i < 8; ++i) {
        m_thumbnails << FixtureMedia::jpeg(96, 72, random.next());
        m_photos << FixtureMedia::jpeg(320, 240, random.next());
    }
}

QString FixtureMessageMaker::nextId()
{
    // LINE's message ids are unique across accounts: stores built from different seeds share none.
    return QString::number(6000000000000LL + qint64(m_options.seed % 4000) * 1000000000LL + ++m_serial);
}

qint64 FixtureMessageMaker::nextTime()
{
    const quint64 roll = m_random.below(100);
    if (roll < 5)
        return m_time; // the same millisecond as the previous message
    if (roll < 7)
        return m_time - 1 - qint64(m_random.below(5000)); // an earlier time than the previous row
    m_time += 1000 + qint64(m_random.below(600000));
    return m_time;
}

int FixtureMessageMaker::pickChat()
{
    const int enabled = m_plan.enabledChats;
    const int disabled = int(m_plan.chats.size()) - enabled;
    if (disabled > 0 && (enabled == 0 || m_random.chance(0.01)))
        return enabled + int(m_random.below(quint64(disabled)));
    // Log-uniform: the first chats are busy, the last ones quiet, as in a real history.
    const double scaled = std::pow(double(enabled) + 1.0, m_random.unit()) - 1.0;
    return std::min(enabled - 1, int(scaled));
}

qint64 FixtureMessageMaker::pickSender(int chatIndex)
{
    const QList<qint64> senders = m_plan.sendersOf(m_plan.chats[chatIndex]);
    if (senders.isEmpty() || m_random.chance(0.35))
        return 0;
    return senders[int(m_random.below(quint64(senders.size())))];
}

QByteArray FixtureMessageMaker::sentence()
{
    QByteArray text;
    const int words = 2 + int(m_random.below(10));
    for (int i = 0; i < words; ++i) {
        if (i > 0)
            text += ' ';
        text += kWords[m_random.below(kWords.size())];
    }
    return text;
}

FixtureMessage FixtureMessageMaker::base(int chatIndex, qint64 senderPk, int contentType)
{
    FixtureMessage message;
    message.chatIndex = chatIndex;
    message.senderPk = senderPk;
    message.contentType = contentType;
    message.id = nextId();
    message.timestamp = nextTime();
    message.sendStatus = senderPk == 0 ? 1 : 0;
    message.readCount = senderPk == 0 ? int(m_random.below(4)) : 0;
    return message;
}

QString FixtureMessageMaker::attachment(const FixtureMessage& message, const QString& tail) const
{
    return m_prefix + QStringLiteral("Message Attachments/") + m_plan.chats[message.chatIndex].mid +
           QLatin1Char('/') + message.id.value_or(QString()) + tail;
}

QString FixtureMessageMaker::thumbFile(const FixtureMessage& message) const
{
    return m_prefix + QStringLiteral("Message Thumbnails/") +
           fileNameSafe(m_plan.chats[message.chatIndex].mid) + QLatin1Char('/') +
           fileNameSafe(message.id.value_or(QString())) + QStringLiteral(".thumb");
}

void FixtureMessageMaker::makeText(FixtureMessage& message)
{
    QByteArray text = sentence();
    const quint64 roll = m_random.below(1000);
    if (roll < 40)
        text += ' ' + emojiRun(m_random, false) + ' ' + sentence();
    else if (roll < 45)
        text += emojiRun(m_random, true);
    message.text = text;
}

void FixtureMessageMaker::makePhoto(FixtureMessage& message, bool file, bool thumbFile, bool blob)
{
    message.latitude = 320;
    message.longitude = 240;
    if (message.senderPk == 0)
        message.text = QByteArray("You sent a photo.");
    if (blob)
        message.thumbnail = m_thumbnails[int(m_random.below(quint64(m_thumbnails.size())))];
    if (file && m_options.attachments)
        message.files.append({attachment(message, QStringLiteral(".jpg")),
                              m_photos[int(m_random.below(quint64(m_photos.size())))]});
    if (thumbFile && m_options.messageThumbnails)
        message.files.append(
            {this->thumbFile(message), m_thumbnails[int(m_random.below(quint64(m_thumbnails.size())))]});
}

void FixtureMessageMaker::makeVideo(FixtureMessage& message, const char* suffix, bool thumbFile)
{
    message.latitude = 640;
    message.longitude = 360;
    if (m_options.thumbnailBlobs)
        message.thumbnail = m_thumbnails[int(m_random.below(quint64(m_thumbnails.size())))];
    if (m_options.attachments)
        message.files.append({attachment(message, QString::fromLatin1(suffix)),
                              FixtureMedia::mpeg4("mp42", 2048, m_random.next())});
    if (thumbFile && m_options.messageThumbnails)
        message.files.append(
            {this->thumbFile(message), m_thumbnails[int(m_random.below(quint64(m_thumbnails.size())))]});
}

void FixtureMessageMaker::makeVoice(FixtureMessage& message, const char* suffix)
{
    const qint64 length = 980 * (1 + qint64(m_random.below(120)));
    message.latitude = double(length);
    if (message.senderPk == 0)
        message.metadata = FixturePlist::binaryDict({{QStringLiteral("receiverCount"), 1}});
    else
        message.metadata = FixturePlist::binaryDict({{QStringLiteral("OBS_POP"), QStringLiteral("b")},
                                                     {QStringLiteral("AUDLEN"), QString::number(length)}});
    if (m_options.attachments)
        message.files.append({attachment(message, QString::fromLatin1(suffix)),
                              FixtureMedia::mpeg4("M4A ", 1024, m_random.next())});
}

void FixtureMessageMaker::makeSticker(FixtureMessage& message, int stickerId, bool withMetadata)
{
    message.longitude = stickerId;
    message.text = QByteArray();
    if (!withMetadata)
        return;
    for (const FixtureStickerPackage& package : m_plan.stickerPackages) {
        if (stickerId >= package.firstStickerId && stickerId <= package.lastStickerId) {
            message.metadata = stickerMetadata(stickerId, int(package.packageId), package.version);
            return;
        }
    }
    message.metadata = stickerMetadata(stickerId, 0, 0);
}

void FixtureMessageMaker::makeFile(FixtureMessage& message, const QString& name, const QString& storedName)
{
    const QByteArray bytes = sentence().repeated(20);
    message.metadata = FixturePlist::binaryDict(
        {{QStringLiteral("FILE_NAME"), name},
         {QStringLiteral("FILE_SIZE"), QString::number(bytes.size())},
         {QStringLiteral("FILE_EXPIRE_TIMESTAMP"), QString::number(message.timestamp + 1209600000)},
         {QStringLiteral("OBS_POP"), QStringLiteral("sg-1")}});
    if (m_options.attachments)
        message.files.append({attachment(message, QLatin1Char('_') + storedName), bytes});
}

void FixtureMessageMaker::makeContact(FixtureMessage& message)
{
    const FixtureUser* user =
        m_plan.users.isEmpty() ? nullptr : &m_plan.users[int(m_random.below(quint64(m_plan.users.size())))];
    message.text = QByteArray();
    message.metadata = FixturePlist::binaryDict(
        {{QStringLiteral("mid"), user ? user->mid : fixtureMid('u', m_random)},
         {QStringLiteral("displayName"), (user ? user->name : QStringLiteral("Nobody")).toHtmlEscaped()}});
}

void FixtureMessageMaker::makeLocation(FixtureMessage& message)
{
    message.latitude = 35.0 + m_random.unit();
    message.longitude = 139.0 + m_random.unit();
    message.text = QByteArray("Somewhere\\nin Tokyo");
}

QList<FixtureMessage> FixtureMessageMaker::specials()
{
    using namespace LineFixtureSpecial;
    QList<FixtureMessage> rows;
    if (m_plan.enabledChats == 0)
        return rows;
    const int chat = 0;
    const qint64 peer = m_plan.chats[0].peerPk;
    auto add = [&](const QString& name, FixtureMessage message) {
        message.special = name;
        rows.append(std::move(message));
        return &rows.last();
    };
    const QByteArray hello("Hello ");

    FixtureMessage m = base(chat, peer, 0);
    m.text = hello + emojiRun(m_random, false) + QByteArray(" world");
    add(TextEmoji, m);
    m = base(chat, 0, 0);
    m.text = hello + emojiRun(m_random, true) + QByteArray(" again");
    add(TextDamagedEmoji, m);
    m = base(chat, peer, 0);
    m.text = QByteArray("lone ") + codePoint(0x100078) + QByteArray(" point");
    add(TextLoneEmoji, m);
    m = base(chat, peer, 107);
    m.text = QByteArray("typed as 107");
    add(Text107, m);

    m = base(chat, peer, 112);
    makePhoto(m, true, false, true);
    add(Photo112, m);
    m = base(chat, peer, 1);
    makePhoto(m, true, true, true);
    add(PhotoFull, m);
    m = base(chat, 0, 1);
    makePhoto(m, false, false, true);
    add(PhotoBlobOnly, m);
    m = base(chat, peer, 1);
    m.latitude = 800;
    m.longitude = 600;
    if (m_options.attachments)
        m.files.append({attachment(m, QStringLiteral(".jpg")), FixtureMedia::jpeg(800, 600, 0x3366cc)});
    add(PhotoFileOnly, m);
    m = base(chat, peer, 1);
    m.latitude = 300;
    m.longitude = 500;
    m.thumbnail = QByteArray("this is not an image");
    if (m_options.attachments)
        m.files.append({attachment(m, QStringLiteral(".jpg")), FixtureMedia::png(300, 500, 0x22aa44)});
    add(PhotoBrokenThumb, m);

    m = base(chat, peer, 2);
    makeVideo(m, ".mp4", true);
    add(VideoMp4, m);
    m = base(chat, 0, 2);
    makeVideo(m, ".mov", false);
    add(VideoMov, m);
    m = base(chat, peer, 3);
    makeVoice(m, ".m4a");
    add(VoiceM4a, m);
    m = base(chat, peer, 3);
    makeVoice(m, ".aac");
    add(VoiceAac, m);
    m = base(chat, 0, 3);
    makeVoice(m, ".mp4");
    add(VoiceOutgoing, m);

    m = base(chat, peer, 7);
    makeSticker(m, 12, true);
    add(StickerMeta, m);
    m = base(chat, peer, 7);
    makeSticker(m, 120, false);
    add(StickerPackage, m);
    m = base(chat, 0, 7);
    makeSticker(m, 120, false);
    add(StickerPackageAgain, m);
    m = base(chat, peer, 7);
    makeSticker(m, 5000, false);
    add(StickerNoPackage, m);
    m = base(chat, peer, 7);
    makeSticker(m, 1990, false);
    m.metadata = QByteArray("not a property list\x00\x01", 21);
    add(StickerBadMeta, m);

    m = base(chat, peer, 13);
    makeContact(m);
    m.metadata = FixturePlist::binaryDict(
        {{QStringLiteral("mid"), QStringLiteral("u0123456789abcdef0123456789abcdef")},
         {QStringLiteral("displayName"), QStringLiteral("Taro &amp; &lt;Co&gt;\\r\\nLtd")}});
    add(Contact, m);
    const QString fileName = QStringLiteral("Résumé がっこう.pdf");
    m = base(chat, peer, 14);
    makeFile(m, fileName, fileNameSafe(toDecomposed(fileName)));
    add(File, m);
    const QString oddName = QStringLiteral("plan: v2?.txt");
    m = base(chat, 0, 14);
    makeFile(m, oddName, windowsValidName(oddName));
    add(FileWindowsName, m);
    m = base(chat, peer, 100);
    m.latitude = 35.681236;
    m.longitude = 139.767125;
    m.text = QByteArray("Tokyo Station\\nMarunouchi");
    add(Location, m);

    m = base(chat, 999999, 0);
    m.text = QByteArray("from a user the store does not know");
    add(UnknownSender, m);
    m = base(chat, peer, 0);
    m.text = QByteArray("same time, lower key");
    const qint64 sameTime = m.timestamp;
    add(SameTimeFirst, m);
    m = base(chat, 0, 0);
    m.timestamp = sameTime;
    m.text = QByteArray("same time, higher key");
    add(SameTimeSecond, m);

    m = base(chat, peer, 106);
    m.text = QByteArray("LINE system row");
    add(Type106, m);
    m = base(chat, peer, 18);
    m.text = QByteArray("content type the program does not know");
    add(TypeUnknown, m);
    m = base(chat, peer, 0);
    m.timestamp = kAbsurdTime;
    m.text = QByteArray("from the far future");
    add(AbsurdTime, m);
    m = base(chat, peer, 0);
    m.id.reset();
    m.text = QByteArray("no id");
    rows.append(m);
    m = base(chat, peer, 0);
    m.id = QString();
    m.text = QByteArray("empty id");
    rows.append(m);

    if (m_plan.enabledChats > 1 && m_plan.chats[1].groupIndex >= 0) {
        const QList<qint64> senders = m_plan.sendersOf(m_plan.chats[1]);
        m = base(1, senders.isEmpty() ? 0 : senders.first(), 0);
        m.text = QByteArray("hello group");
        add(GroupText, m);
    }
    for (int i = m_plan.enabledChats; i < m_plan.chats.size(); ++i) {
        m = base(i, pickSender(i), 0);
        m.text = QByteArray("in a hidden chat");
        add(i == m_plan.enabledChats ? DisabledChatMessage : QString(), m);
    }
    return rows;
}

FixtureMessage FixtureMessageMaker::ordinary()
{
    if (!m_ordinaryStarted) {
        m_time = std::max(m_time, kOrdinaryStart);
        m_ordinaryStarted = true;
    }
    const int chat = pickChat();
    const qint64 sender = pickSender(chat);
    const quint64 roll = m_random.below(1000);
    FixtureMessage message;
    if (roll < 790) {
        message = base(chat, sender, 0);
        makeText(message);
    } else if (roll < 860) {
        message = base(chat, sender, 1);
        makePhoto(message, true, m_random.chance(0.5), m_options.thumbnailBlobs);
    } else if (roll < 920) {
        message = base(chat, sender, 7);
        const FixtureStickerPackage& package =
            m_plan.stickerPackages[int(m_random.below(quint64(m_plan.stickerPackages.size())))];
        const int span = package.lastStickerId - package.firstStickerId + 1;
        makeSticker(message, package.firstStickerId + int(m_random.below(quint64(span))),
                    m_random.chance(0.8));
    } else if (roll < 935) {
        message = base(chat, sender, 2);
        makeVideo(message, m_random.chance(0.8) ? ".mp4" : ".mov", m_random.chance(0.5));
    } else if (roll < 950) {
        message = base(chat, sender, 3);
        makeVoice(message, m_random.chance(0.7) ? ".m4a" : ".aac");
    } else if (roll < 960) {
        message = base(chat, sender, 14);
        const QString name = QStringLiteral("document-%1.pdf").arg(m_serial);
        makeFile(message, name, name);
    } else if (roll < 967) {
        message = base(chat, sender, 13);
        makeContact(message);
    } else if (roll < 974) {
        message = base(chat, sender, 100);
        makeLocation(message);
    } else if (roll < 984) {
        message = base(chat, sender, 107);
        message.text = sentence();
    } else if (roll < 992) {
        message = base(chat, sender, 112);
        makePhoto(message, true, false, m_options.thumbnailBlobs);
    } else if (roll < 997) {
        message = base(chat, sender, 106); // LINE's own notices ("joined the group"): never listed
        message.text = QByteArray("notice");
    } else {
        message = base(chat, sender, 18 + int(m_random.below(10))); // types the program does not read
        message.text = sentence();
    }
    return message;
}
