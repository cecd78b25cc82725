#pragma once

#include "line/LineData.h"
#include "line/LineMsgsListSource.h"

#include <QList>
#include <QTemporaryDir>
#include <memory>

// Three chats (a single chat with Alice, the group "Team" and a room), three users and thirteen
// messages over three days (1, 2 and 4 March 2023, local time) covering every message type, emoji,
// and hostile texts: markup, quotes, commas, CR/LF, a no-break space and U+202A in the group's name. The
// last message has no chat. Media files live in a temporary folder owned by the fixture.
class ChatFixture
{
public:
    ChatFixture();
    ChatFixture(const ChatFixture&) = delete;
    ChatFixture& operator=(const ChatFixture&) = delete;

    PAbsLineMsgsSource source() const { return std::make_shared<LineMsgsListSource>(messages); }
    QString mediaPath(const QString& name) const { return m_media.filePath(name); }

    QList<_LineMsg> messages;
    _LineUser* alice = nullptr;
    _LineUser* bob = nullptr;
    _LineUser* carol = nullptr;
    _LineGroup* team = nullptr;
    _LineChat* single = nullptr;
    _LineChat* group = nullptr;
    _LineChat* room = nullptr;

private:
    _LineMsg& add(_LineChat* chat, _LineUser* sender, int type, const QDateTime& time,
                  const QString& text = {});

    std::shared_ptr<_LineData> m_data;
    QTemporaryDir m_media;
};

// count messages in n chats (single chats with one member each), a few a day, mostly text with every
// other type mixed in, for paging tests and benchmarks. Owns its data set.
class GeneratedMessages
{
public:
    GeneratedMessages(qint64 count, int chats);
    PAbsLineMsgsSource source() const { return m_source; }

private:
    std::shared_ptr<_LineData> m_data;
    PAbsLineMsgsSource m_source;
};
