#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <memory>

class AbsLineDb;
class CliContext;
class QCommandLineParser;
class _LineData;
struct _LineChat;
struct _LineMsg;

// The listings shared by the "line" and "localdb" command groups: chats and messages of a loaded
// database, as a readable table or as one JSON object per line.
namespace LineListing {

// "yyyy-MM-dd hh:mm:ss", "-" for no time.
QString tableTime(const QDateTime& time);
// One line of text: line breaks and tabs become spaces.
QString oneLine(QString text);

QJsonObject chatJson(AbsLineDb& db, const _LineChat& chat);
QJsonObject messageJson(const _LineMsg& message);

// Adds --json (both commands) and --chat UID and --desc (messages).
void addChatsOptions(QCommandLineParser& parser);
void addMessagesOptions(QCommandLineParser& parser);

// Loads the database's contacts and prints its chats / messages as the parsed options say. Errors of the
// database throw.
int printChats(CliContext& context, const QCommandLineParser& parser, const std::shared_ptr<AbsLineDb>& db);
int printMessages(CliContext& context, const QCommandLineParser& parser,
                  const std::shared_ptr<AbsLineDb>& db);

} // namespace LineListing
