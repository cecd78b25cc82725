#pragma once

#include "line/AbsLineDb.h"
#include "line/LineDbSchema.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>

struct _LineChat;
struct _LineGroup;
struct _LineUser;

// The program's own message store on the computer: a folder holding "vantorel-line.db" and the media
// copies in "thumbs" and "files". Reads through AbsLineDb and takes merged messages through the look-ups
// and inserts below. Failures are thrown (std::runtime_error with a text meant for the user).
class LineLocalDb : public AbsLineDb
{
    Q_DECLARE_TR_FUNCTIONS(LineLocalDb)

public:
    static inline const QString DbFileName = QStringLiteral("vantorel-line.db");
    // The chat folder of media of a message that has no chat.
    static inline const QString NoChatFolder = QStringLiteral("000000000000000000000000000000000");

    explicit LineLocalDb(const QString& folder);
    ~LineLocalDb() override;

    QString folder() const { return m_folder; }
    QString dbFilePath() const;
    QString thumbsFolder() const { return m_thumbsFolder; }
    QString filesFolder() const { return m_filesFolder; }
    // True when the folder holds a database file (with content), without opening anything.
    static bool existsIn(const QString& folder);

    // Creates the media folders, creates the database from the schema script when it is missing (a new
    // file appears only complete), adds the columns and index of newer versions and removes users whose
    // mid is not a user mid, with their messages and memberships. Does nothing when already open.
    void open() override;
    qint64 countMessages(const _LineChat* chat) override;

    // Gives this connection a larger bounded page cache (64 MiB), for work that looks up and adds many
    // rows, such as a merge.
    void enlargePageCache();

    // Look-ups by LINE id, each giving the row's _id or 0. A message uid that is empty or "0" is never
    // looked up (0).
    qint64 findChat(const QString& uid);
    qint64 findGroup(const QString& uid);
    qint64 findUser(const QString& uid);
    qint64 findMessage(qint64 chatId, const QString& uid);

    // Inserts, each giving the new _id. Users a row refers to (group creator, message sender) are found
    // by uid or inserted first.
    qint64 insertChat(const _LineChat& chat);
    qint64 insertUser(const _LineUser& user);
    qint64 insertGroup(const _LineGroup& group);
    qint64 insertMessage(qint64 chatId, const _LineMsg& message);
    void linkChatUsers(qint64 chatId, const _LineChat& chat);
    void linkGroupMembers(qint64 groupId, const _LineGroup& group);

    // Where the copies of a message's thumbnail and media file belong; empty when the type has none.
    struct MediaPaths
    {
        QString thumbPath;
        QString filePath;
    };
    MediaPaths mediaPaths(const _LineMsg& message) const;

    // Deletes the given messages (read from this database), then every chat left without messages. A
    // message with a real uid goes with every row of its chat carrying that uid; one without (empty or
    // "0") only by its own row key. Media copies stay.
    void deleteMessages(const QList<_LineMsg>& messages);
    // Deletes one chat and its messages. Media copies stay.
    void deleteChat(qint64 chatId);

    const LineDbSchema& schema() const { return m_schema; }

protected:
    const MessageTable& messageTable() const override { return m_messageTable; }
    MessageReader messageReader(const Sqlite3Cursor& cursor, const _LineData* data) const override;
    void fillContacts(_LineData& data) override;

private:
    void createDatabase(const QString& path);
    void checkTables();
    void migrate();
    void removeForeignUsers();
    qint64 userIdOrInsert(const _LineUser& user);
    // The line_msg columns read, looked up once per query (-1 for a column the file lacks).
    struct Columns
    {
        int id = -1, uid = -1, type = -1, ts = -1, chat = -1, from = -1, content = -1, ver = -1, atta = -1;
        static Columns of(const Sqlite3Cursor& cursor);
    };
    _LineMsg messageFromRow(const Sqlite3Cursor& cursor, const Columns& columns, const _LineData* data) const;

    QString chatFolderName(const _LineChat* chat) const;

    static constexpr int MaxRememberedChatFolders = 65536;

    QString m_folder;
    QString m_thumbsFolder;
    QString m_filesFolder;
    LineDbSchema m_schema;
    MessageTable m_messageTable;
    mutable QHash<QString, QString> m_chatFolderNames; // chat uid -> its file-name-safe form
};
