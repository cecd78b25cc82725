#include "LineListing.h"

#include "CliCommand.h"
#include "line/AbsLineDb.h"
#include "line/LineChat.h"
#include "line/LineData.h"
#include "line/LineMsgsDataSource.h"
#include "line/LineUser.h"
#include "line/MessageType.h"

#include <QJsonArray>
#include <QJsonValue>

namespace LineListing {
namespace {

const QString kJson = QStringLiteral("json");
const QString kChat = QStringLiteral("chat");
const QString kDesc = QStringLiteral("desc");

QJsonValue isoTime(const QDateTime& time)
{
    return time.isValid() ? QJsonValue(cliTime(time)) : QJsonValue();
}

std::shared_ptr<_LineData> loadData(const std::shared_ptr<AbsLineDb>& db)
{
    auto data = std::make_shared<_LineData>(db);
    db->loadContacts(data);
    return data;
}

} // namespace

QJsonObject chatJson(AbsLineDb& db, const _LineChat& chat)
{
    QJsonArray members;
    for (const _LineUser* member : chat.members)
        members.append(member->uid);
    QJsonObject object;
    object.insert(QStringLiteral("uid"), chat.uid);
    object.insert(QStringLiteral("type"), _LineChat::typeWord(chat.type));
    object.insert(QStringLiteral("title"), chat.chatTitle(false));
    object.insert(QStringLiteral("members"), members);
    object.insert(QStringLiteral("lastUpdated"), isoTime(chat.lastUpdated));
    object.insert(QStringLiteral("messages"), db.countMessages(&chat));
    return object;
}

QString tableTime(const QDateTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QStringLiteral("-");
}

QString oneLine(QString text)
{
    for (QChar& c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    return text;
}

QJsonObject messageJson(const _LineMsg& message)
{
    QJsonObject object;
    object.insert(QStringLiteral("id"), message.id);
    object.insert(QStringLiteral("uid"), message.uid);
    object.insert(QStringLiteral("type"), MessageType::word(message.type));
    object.insert(QStringLiteral("time"), isoTime(message.time));
    object.insert(QStringLiteral("chat"), message.chat ? message.chat->uid : QString());
    object.insert(QStringLiteral("sender"), message.sender ? message.sender->uid : QString());
    object.insert(QStringLiteral("text"), message.displayText());
    object.insert(QStringLiteral("filePath"), message.filePath);
    object.insert(QStringLiteral("thumbPath"), message.thumbPath);
    object.insert(QStringLiteral("atta"), QJsonObject::fromVariantHash(message.atta));
    return object;
}

void addChatsOptions(QCommandLineParser& parser)
{
    parser.addOption({kJson, QStringLiteral("Print one JSON object per line.")});
}

void addMessagesOptions(QCommandLineParser& parser)
{
    addChatsOptions(parser);
    parser.addOption(
        {kChat, QStringLiteral("Only the messages of the chat with this LINE id."), QStringLiteral("UID")});
    parser.addOption({kDesc, QStringLiteral("Newest first.")});
}

int printChats(CliContext& context, const QCommandLineParser& parser, const std::shared_ptr<AbsLineDb>& db)
{
    const std::shared_ptr<_LineData> data = loadData(db);
    const bool json = parser.isSet(kJson);
    if (!json)
        context.out << QStringLiteral("%1  %2  %3  %4  %5\n")
                           .arg(QStringLiteral("UID").leftJustified(33),
                                QStringLiteral("TYPE").leftJustified(6),
                                QStringLiteral("MESSAGES").rightJustified(8),
                                QStringLiteral("LAST UPDATED").leftJustified(19), QStringLiteral("TITLE"));
    for (const _LineChat* chat : data->chatsById()) {
        if (context.interrupted())
            return context.cancelled();
        if (json) {
            context.printJson(chatJson(*db, *chat));
            continue;
        }
        context.out << QStringLiteral("%1  %2  %3  %4  %5\n")
                           .arg(chat->uid.leftJustified(33), _LineChat::typeWord(chat->type).leftJustified(6),
                                QString::number(db->countMessages(chat)).rightJustified(8),
                                tableTime(chat->lastUpdated).leftJustified(19),
                                oneLine(chat->chatTitle(false)));
    }
    context.out.flush();
    return CliOk;
}

int printMessages(CliContext& context, const QCommandLineParser& parser, const std::shared_ptr<AbsLineDb>& db)
{
    const std::shared_ptr<_LineData> data = loadData(db);
    _LineChat* chat = nullptr;
    if (parser.isSet(kChat)) {
        const QString uid = parser.value(kChat);
        for (_LineChat* candidate : data->chatsById()) {
            if (candidate->uid == uid) {
                chat = candidate;
                break;
            }
        }
        if (!chat)
            return context.fail(QStringLiteral("there is no chat with the id '%1'").arg(uid));
    }
    const bool json = parser.isSet(kJson);
    if (!json)
        context.out << QStringLiteral("%1  %2  %3  %4\n")
                           .arg(QStringLiteral("TIME").leftJustified(19),
                                QStringLiteral("TYPE").leftJustified(8),
                                QStringLiteral("FROM").leftJustified(20), QStringLiteral("TEXT"));
    LineMsgsDataSource source(data, chat, !parser.isSet(kDesc));
    const qint64 count = source.count();
    for (qint64 i = 0; i < count; ++i) {
        if (context.interrupted())
            return context.cancelled();
        const _LineMsg message = source.message(i);
        if (json) {
            context.printJson(messageJson(message));
            continue;
        }
        const QString from = message.sender ? message.sender->displayName() : QStringLiteral("(me)");
        context.out << QStringLiteral("%1  %2  %3  %4\n")
                           .arg(tableTime(message.time).leftJustified(19),
                                MessageType::word(message.type).leftJustified(8),
                                oneLine(from).leftJustified(20), oneLine(message.displayText()));
    }
    context.out.flush();
    return CliOk;
}

} // namespace LineListing
