#include "ChatFixture.h"

#include "line/MessageType.h"

#include <QColor>
#include <QFile>
#include <QImage>

namespace {
QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2023, 3, day), QTime(hour, minute, second));
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void writeImage(const QString& path, QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "JPG");
}
} // namespace

ChatFixture::ChatFixture() : m_data(std::make_shared<_LineData>(nullptr))
{
    auto user = [this](qint64 id, const QString& uid) {
        auto record = std::make_unique<_LineUser>();
        record->id = id;
        record->uid = uid;
        return m_data->insertUser(std::move(record));
    };
    alice = user(1, QStringLiteral("u001"));
    alice->addressBookName = QStringLiteral("Alice");
    bob = user(2, QStringLiteral("u002"));
    bob->name = QStringLiteral("Bob <b>&amp;");
    carol = user(3, QStringLiteral("u003"));
    carol->customName = QStringLiteral("Carol \"C\" \U0001F600");

    auto groupRecord = std::make_unique<_LineGroup>();
    groupRecord->id = 1;
    groupRecord->uid = QStringLiteral("c002");
    groupRecord->name = QStringLiteral("Team,\u00A0\"A\"\u202A <x>");
    team = m_data->insertGroup(std::move(groupRecord));

    auto chat = [this](qint64 id, const QString& uid, int type, QList<_LineUser*> members) {
        auto record = std::make_unique<_LineChat>();
        record->id = id;
        record->uid = uid;
        record->type = type;
        for (_LineUser* member : members)
            record->members.insert(member);
        return m_data->insertChat(std::move(record));
    };
    single = chat(1, QStringLiteral("u001"), _LineChat::Single, {alice});
    group = chat(2, QStringLiteral("c002"), _LineChat::Group, {alice, bob, carol});
    group->group = team;
    team->members = group->members;
    room = chat(3, QStringLiteral("r003"), _LineChat::Multi, {bob, carol});

    writeImage(mediaPath(QStringLiteral("photo1")), QSize(40, 30), QColor(0xE0, 0x40, 0x40));
    writeImage(mediaPath(QStringLiteral("thumb1")), QSize(20, 15), QColor(0x40, 0x80, 0xE0));
    writeBytes(mediaPath(QStringLiteral("clip.mp4")), "not really a video");
    writeBytes(mediaPath(QStringLiteral("voice1")), "not really a voice note");
    writeBytes(mediaPath(QStringLiteral("report.pdf")), "%PDF-1.4 not really a document");

    add(single, alice, MessageType::Text, at(1, 9, 15), QStringLiteral("Good morning \U0001F600"));
    add(single, nullptr, MessageType::Text, at(1, 9, 16, 30), QStringLiteral("Morning!\nSee you at 10, OK?"));
    add(group, bob, MessageType::Text, at(1, 10, 0),
        QStringLiteral("<script>alert(\"x\")</script> & <b>bold</b> <img src=x onerror=alert(1)>"));
    _LineMsg& photo = add(group, nullptr, MessageType::Photo, at(1, 10, 5));
    photo.filePath = mediaPath(QStringLiteral("photo1"));
    photo.thumbPath = mediaPath(QStringLiteral("thumb1"));
    photo.setWidth(40);
    photo.setHeight(30);
    _LineMsg& video = add(group, alice, MessageType::Video, at(1, 11, 0));
    video.filePath = mediaPath(QStringLiteral("clip.mp4"));
    _LineMsg& voice = add(single, alice, MessageType::Voice, at(1, 23, 59, 59));
    voice.filePath = mediaPath(QStringLiteral("voice1"));
    voice.setSize(75 * 980);

    _LineMsg& sticker = add(single, nullptr, MessageType::Sticker, at(2, 0, 0, 1));
    sticker.setSticker({52002734, 11537, 1});
    _LineMsg& contact = add(room, carol, MessageType::Contact, at(2, 12, 0));
    contact.setContact(QStringLiteral("u999"), QStringLiteral("Dave\\nSmith <d>"));
    _LineMsg& file = add(room, nullptr, MessageType::File, at(2, 12, 30));
    file.filePath = mediaPath(QStringLiteral("report.pdf"));
    file.setFileName(QStringLiteral("report <1>, \"final\".pdf"));
    file.setSize(30);
    _LineMsg& location = add(group, bob, MessageType::Location, at(2, 18, 45));
    location.setLocation({35.681236, 139.767125, QStringLiteral("Tokyo Station\r\n1-9-1 Marunouchi")});

    add(single, alice, MessageType::Text, at(4, 8, 0),
        QStringLiteral("Line1\r\nLine2\rTail, with \"quotes\""));
    add(group, carol, MessageType::Text, at(4, 20, 0), QStringLiteral("Done \u2705 \uE001 \u203C"));
    add(nullptr, alice, MessageType::Text, at(4, 21, 0), QStringLiteral("lost message"));
}

_LineMsg& ChatFixture::add(_LineChat* chat, _LineUser* sender, int type, const QDateTime& time,
                           const QString& text)
{
    _LineMsg message;
    message.id = messages.size() + 1;
    message.uid = QStringLiteral("m%1").arg(message.id);
    message.type = type;
    message.time = time;
    message.text = text;
    message.content = text.toUtf8();
    message.chat = chat;
    message.sender = sender;
    messages.append(message);
    return messages.last();
}

GeneratedMessages::GeneratedMessages(qint64 count, int chats) : m_data(std::make_shared<_LineData>(nullptr))
{
    QList<_LineChat*> chatList;
    for (int i = 0; i < chats; ++i) {
        auto user = std::make_unique<_LineUser>();
        user->id = i + 1;
        user->uid = QStringLiteral("u%1").arg(i + 1, 32, 10, QLatin1Char('0'));
        user->name = QStringLiteral("Friend %1").arg(i + 1);
        _LineUser* member = m_data->insertUser(std::move(user));
        auto chat = std::make_unique<_LineChat>();
        chat->id = i + 1;
        chat->uid = member->uid;
        chat->members.insert(member);
        chatList.append(m_data->insertChat(std::move(chat)));
    }
    QList<_LineMsg> messages;
    messages.reserve(count);
    const QDateTime start(QDate(2020, 1, 1), QTime(8, 0));
    const QString texts[] = {
        QStringLiteral("See you tomorrow at the station, OK?"),
        QStringLiteral("\u4ECA\u65E5\u306F\u3042\u308A\u304C\u3068\u3046\uFF01"),
        QStringLiteral("Ha ha \U0001F602 that is \"great\""),
        QStringLiteral("Line one\nLine two"),
    };
    for (qint64 i = 0; i < count; ++i) {
        _LineMsg message;
        message.id = i + 1;
        message.uid = QString::number(1000000000 + i);
        message.time = start.addSecs(i * 1200); // 72 a day
        message.chat = chatList.at(int(i % chats));
        message.sender = i % 3 == 0 ? nullptr : message.chat->members.first();
        switch (i % 20) {
        case 5:
            message.type = MessageType::Photo;
            break;
        case 11:
            message.type = MessageType::Sticker;
            message.setSticker({int(i), 11537, 1});
            break;
        case 17:
            message.type = MessageType::File;
            message.setFileName(QStringLiteral("notes-%1.pdf").arg(i));
            break;
        default:
            message.type = MessageType::Text;
            message.text = texts[i % 4];
            message.content = message.text.toUtf8();
        }
        messages.append(std::move(message));
    }
    m_source = std::make_shared<LineMsgsListSource>(std::move(messages));
}
