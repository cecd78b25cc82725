#pragma once

#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineGroup.h"
#include "line/LineMsg.h"
#include "line/LineUser.h"
#include "line/MessageType.h"

#include <QDateTime>
#include <memory>

// Users, chats, groups and messages made in memory for tests, owned by one data set without a database.
class LineRecordsBuilder
{
public:
    LineRecordsBuilder() : m_data(std::make_shared<_LineData>(nullptr)) {}

    _LineUser* user(const QString& uid, const QString& name = QString())
    {
        auto created = std::make_unique<_LineUser>();
        created->id = ++m_nextId;
        created->uid = uid;
        created->name = name.isEmpty() ? uid : name;
        created->createdTime = QDateTime::fromSecsSinceEpoch(1400000000 + m_nextId);
        return m_data->insertUser(std::move(created));
    }

    _LineChat* chat(const QString& uid, int type, std::initializer_list<_LineUser*> members = {})
    {
        auto created = std::make_unique<_LineChat>();
        created->id = ++m_nextId;
        created->uid = uid;
        created->type = type;
        for (_LineUser* member : members)
            created->members.insert(member);
        return m_data->insertChat(std::move(created));
    }

    _LineGroup* group(_LineChat* chat, const QString& name, _LineUser* creator,
                      std::initializer_list<_LineUser*> members)
    {
        auto created = std::make_unique<_LineGroup>();
        created->id = ++m_nextId;
        created->uid = chat->uid;
        created->name = name;
        created->creator = creator;
        created->pictureStatus = QStringLiteral("0h1234");
        created->createdTime = QDateTime::fromSecsSinceEpoch(1300000000);
        for (_LineUser* member : members)
            created->members.insert(member);
        _LineGroup* group = m_data->insertGroup(std::move(created));
        chat->group = group;
        return group;
    }

    static _LineMsg text(_LineChat* chat, _LineUser* sender, const QString& uid, qint64 seconds,
                         const QByteArray& content)
    {
        _LineMsg message;
        message.uid = uid;
        message.type = MessageType::Text;
        message.time = QDateTime::fromSecsSinceEpoch(seconds);
        message.content = content;
        message.text = QString::fromUtf8(content);
        message.chat = chat;
        message.sender = sender;
        return message;
    }

    const std::shared_ptr<_LineData>& data() const { return m_data; }

private:
    std::shared_ptr<_LineData> m_data;
    qint64 m_nextId = 0;
};
